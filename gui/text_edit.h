// A text field that hands the user over to a native single-line entry field while it has the
// focus. Every end of an edit commits the text: the Enter key, or the focus leaving the field
// (a click elsewhere); there is no cancel key.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "gui/param_display.h"
#include "platform/native_dialogs.h"

class CTextEdit : public CParamDisplay, private platform::TextEntryClient {
public:
    static constexpr int kMaxTextLength = 255;

    CTextEdit(const CRect& size, CControlListener* listener, std::int32_t tag, const char* text = nullptr,
              CBitmap* background = nullptr, std::int32_t style = 0);
    ~CTextEdit() override;

    // At most 255 characters are kept.
    virtual void setText(const char* text);
    const char* getText() const { return text.c_str(); }
    // Copies the text with its terminator into a buffer of at least 256 bytes.
    void getText(char* out) const;

    // A left click makes the field the frame's focus view, which opens the entry field; handled,
    // no moves or release wanted.
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    // Opens the native entry field over the control, with the text selected whole.
    void takeFocus() override;
    // Closes the entry field and commits its text: the listener is told if it differs from the
    // text before the edit, then the containers above get "LooseFocus" until one handles it.
    void looseFocus() override;

    bool isEditing() const { return entry != nullptr; }
    // Whether the last edit ended with the Enter key.
    bool wasEnterPressed() const { return enterPressed; }
    // Where the entry field goes, in window pixels.
    platform::PixelRect entryRect() const;

protected:
    std::string getDisplayText() const override { return text; }
    // Reads the entry field's text into the control and destroys the field, telling nobody; false
    // when no field was open. For fields that report their edits their own way.
    bool closeEntry();
    const std::string& getTextBeforeEdit() const { return textBeforeEdit; }

private:
    void entryEnter() override;
    void entryFocusLost() override;

    std::string text;
    std::string textBeforeEdit;
    std::unique_ptr<platform::TextEntry> entry;
    bool enterPressed = false;
};
