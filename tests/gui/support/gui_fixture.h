// Shared pieces of the toolkit tests: a frame on a headless window, views and listeners that
// record what reaches them, a test clock, and bitmaps made from pixels.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gui/toolkit.h"
#include "platform/frame_window_headless.h"
#include "platform/native_dialogs_headless.h"
#include "tests/support/journal.h"
#include "tests/support/test_clock.h"

namespace guitest {

// What views and listeners were told, in order, as short texts ("down A 12,3 b=2").
using testsupport::Journal;

std::string pointText(const CPoint& p);

// A view that records its events and answers with set results.
class ProbeView : public CView {
public:
    ProbeView(const std::string& name, const CRect& size, Journal& journal)
        : CView(size), name(name), journal(journal) {}

    CMouseEventResult downResult = kMouseEventHandled;
    CMouseEventResult moveResult = kMouseEventHandled;
    bool wheelResult = true;
    std::int32_t keyResult = 1;

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;
    std::int32_t onKeyDown(gui::KeyEvent& key) override;
    void takeFocus() override { journal.add("takeFocus " + name); }
    void looseFocus() override { journal.add("looseFocus " + name); }

    std::string name;
    Journal& journal;
};

// A container that records the notifications it receives.
class ProbeContainer : public CViewContainer {
public:
    ProbeContainer(const std::string& name, const CRect& size, Journal& journal)
        : CViewContainer(size), name(name), journal(journal) {}
    CMessageResult notify(CView* sender, const char* message) override;
    CMessageResult answer = kMessageUnknown;
    std::string name;
    Journal& journal;
};

// A listener that records changes ("changed 7 0.5"), edits and modifier clicks.
class RecordingListener : public CControlListener {
public:
    explicit RecordingListener(Journal& journal) : journal(journal) {}
    void controlChanged(CControl* control) override;
    void controlBeginEdit(CControl* control) override;
    void controlEndEdit(CControl* control) override;
    std::int32_t controlModifierClicked(CControl* control, CButtonState buttons) override;
    std::int32_t acceptModifierClick = 0;
    Journal& journal;
};

// The editor side of a frame without a host: records edits and pump passes.
class RecordingEditor : public VSTGUIEditorInterface {
public:
    explicit RecordingEditor(Journal& journal) : journal(journal) {}
    void doIdleStuff() override { journal.add("pump"); }
    void beginEdit(std::int32_t index) override { journal.add("host begin " + std::to_string(index)); }
    void endEdit(std::int32_t index) override { journal.add("host end " + std::to_string(index)); }
    std::int32_t getKnobMode() const override { return knobMode; }
    std::int32_t knobMode = kLinearMode;
    Journal& journal;
};

// A clock the test moves; sleeping moves it too.
using testsupport::TestClock;

// A frame of the given size on a headless window, with a recording editor.
class FrameFixture {
public:
    explicit FrameFixture(CRect size = CRect(0, 0, 200, 150));
    ~FrameFixture();

    CFrame& operator*() { return *frame; }
    CFrame* operator->() { return frame; }
    platform::HeadlessFrameWindow& window() { return *headless; }

    int press(CCoord x, CCoord y, CButtonState buttons = kLButton) {
        return headless->press(x, y, std::uint32_t(buttons));
    }
    int move(CCoord x, CCoord y, CButtonState buttons = 0) {
        return headless->move(x, y, std::uint32_t(buttons));
    }
    int release(CCoord x, CCoord y, CButtonState buttons = 0) {
        return headless->release(x, y, std::uint32_t(buttons));
    }
    // A full click: press and release at one point.
    void click(CCoord x, CCoord y, CButtonState buttons = kLButton);
    // Paints the whole window and returns what it shows at a point.
    std::uint32_t paintedPixel(CCoord x, CCoord y);

    Journal journal;
    RecordingEditor editor{journal};
    CFrame* frame;
    platform::HeadlessFrameWindow* headless;
};

// Bitmaps from pixels: a solid one, and a film strip whose frame k is one solid colour.
CBitmap* solidBitmap(CCoord width, CCoord height, std::uint32_t argb);
CBitmap* stripBitmap(CCoord width, CCoord frameHeight, const std::vector<std::uint32_t>& frameColours);

// A DIB as a BITMAP resource holds it: BITMAPINFOHEADER, optional palette, rows bottom-up padded to
// 4 bytes. pixels are ARGB top-down; for 8 bits they are palette indices.
std::vector<unsigned char> makeDib(int width, int height, int bits, const std::vector<std::uint32_t>& pixels,
                                   const std::vector<std::uint32_t>& palette = {}, bool topDown = false);

// FNV-1a over pixels: a short fingerprint of a rendering.
std::uint64_t fingerprint(const std::uint32_t* pixels, std::size_t count);

} // namespace guitest
