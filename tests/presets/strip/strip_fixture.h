// The preset strip in an open editor window on the headless window backend: a minimal derived
// editor that makes the frame the way the plug-in's editor does, a private settings store, a scratch
// folder and the scripted pop-up menu, entry field and file dialog.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/toolkit.h"
#include "platform/frame_window_headless.h"
#include "platform/native_dialogs_headless.h"
#include "preset_strip/preset_strip_controls.h"
#include "preset_strip/preset_system_editor.h"
#include "support/preset_fixture.h"
#include "support/strip_host.h"

namespace presettest {

// Makes the frame before the strip's open and deletes it after the strip's close, and records what
// the strip's controls report ("1013 0.5") before the strip handles it.
class StripEditor : public CPresetSystemEditor {
public:
    StripEditor(gui::EditorHost* host, presets::PresetStore* store);

    bool open(void* parentWindow) override;
    void close() override;
    void idle() override;
    void controlChanged(CControl* control) override;

    platform::HeadlessFrameWindow& window() const;
    CFrame* getFrame() const { return frame; }

    int idles = 0;
    std::vector<std::string> reports;
};

// The strip open on an effect whose slots hold the factory presets.
class StripTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Mouse gestures at window pixels.
    void click(int x, int y, std::uint32_t buttons = platform::kMouseLeft);
    void doubleClick(int x, int y, std::uint32_t modifiers = 0);
    void hover(int x, int y) { editor->window().move(x, y, 0); }

    // Answers every file dialog from now on with path (or cancels with nullopt), recording the
    // requests.
    void answerFileDialogs(std::optional<std::string> path);
    // Answers every pop-up with this command, recording the entries it showed.
    void answerPopups(int command);

    // Whether the control's rectangle on the window shows frame n of its film strip.
    bool showsFrame(const CRect& rect, std::int32_t bitmapId, int frames, int n);

    std::string menuTitle(int entry) const;
    std::string fieldText() const;

    platform::RegistrySandbox sandbox;
    ScratchFolder scratch;
    std::unique_ptr<RecordingEffect> effect = std::make_unique<RecordingEffect>();
    StripEditor* editor = nullptr; // owned by the effect
    std::vector<platform::FileDialogRequest> dialogs;
    std::vector<std::vector<platform::PopupItem>> popups;
};

} // namespace presettest
