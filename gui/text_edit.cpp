#include "gui/text_edit.h"

#include <cstring>

#include "gui/frame.h"

CTextEdit::CTextEdit(const CRect& size, CControlListener* listener, std::int32_t tag, const char* txt,
                     CBitmap* background, std::int32_t style)
    : CParamDisplay(size, listener, tag, background, style) {
    setText(txt);
}

// The field goes without a commit: the listener may be gone already.
CTextEdit::~CTextEdit() {
    entry.reset();
}

void CTextEdit::setText(const char* txt) {
    std::string t;
    for (int i = 0; txt && i < kMaxTextLength && txt[i]; ++i)
        t.push_back(txt[i]);
    if (t == text) return;
    text = t;
    setDirty();
}

void CTextEdit::getText(char* out) const {
    if (out) std::memcpy(out, text.c_str(), text.size() + 1);
}

CMouseEventResult CTextEdit::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    CFrame* frame = getFrame();
    if (frame && frame->getFocusView() != this)
        frame->setFocusView(this);
    else if (!frame)
        takeFocus();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

platform::PixelRect CTextEdit::entryRect() const {
    CRect r = size;
    localToFrame(r);
    int fontSize = fontDesc.getSize();
    int top = (r.top + r.bottom) / 2 + fontSize / 2 - fontSize - 1;
    return {r.left, top, r.left + r.getWidth() + 1, top + fontSize + 4};
}

void CTextEdit::takeFocus() {
    if (entry) return;
    enterPressed = false;
    CFrame* frame = getFrame();
    platform::TextEntryStyle shape;
    shape.rect = entryRect();
    shape.text = text;
    shape.align = horiAlign == kLeftText    ? platform::TextAlign::left
                  : horiAlign == kRightText ? platform::TextAlign::right
                                            : platform::TextAlign::centre;
    shape.fontFamily = fontDesc.getName();
    shape.fontHeight = fontDesc.getSize();
    shape.fontColour = fontColor.argb();
    shape.backColour = backColor.argb();
    shape.maxChars = kMaxTextLength;
    textBeforeEdit = text;
    entry = platform::TextEntry::create(frame ? frame->getPlatformWindow() : nullptr, shape, *this);
}

bool CTextEdit::closeEntry() {
    if (!entry) return false;
    std::string typed = entry->text();
    if (typed.size() > std::size_t(kMaxTextLength)) typed.resize(std::size_t(kMaxTextLength));
    entry.reset();
    text = typed;
    setDirty();
    return true;
}

void CTextEdit::looseFocus() {
    CFrame* frame = getFrame();
    if (frame && frame->getFocusView() == this) frame->setFocusView(nullptr);
    if (!closeEntry()) return;
    if (text != textBeforeEdit && listener) listener->controlChanged(this);
    for (CViewContainer* c = getParentView(); c; c = c->getParentView())
        if (c->notify(this, kMsgLooseFocus) == kMessageNotified) break;
}

void CTextEdit::entryEnter() {
    enterPressed = true;
    CFrame* frame = getFrame();
    if (frame && frame->getFocusView() == this)
        frame->setFocusView(nullptr);
    else
        looseFocus();
}

void CTextEdit::entryFocusLost() {
    looseFocus();
}
