// The single-line entry field on X11, where there is no native edit control: a child window of the
// frame drawn with the control's typeface, size and colours over a LineEditor. It takes the keyboard
// focus while it lives, so that no key typed into it reaches the host (Backspace would delete the
// host's track); Enter and the loss of the focus end it.
#include <X11/Xatom.h>
#include <X11/keysym.h>

#include <algorithm>

#include "platform/frame_window_x11.h"
#include "platform/line_editor.h"
#include "platform/native_dialogs.h"
#include "platform/x11_drawn_window.h"

namespace platform {

namespace {

constexpr long kEntryEvents = KeyPressMask | ButtonPressMask | FocusChangeMask;
constexpr int kTextInset = 2; // pixels between the field's edge and its text

class X11TextEntry final : public TextEntry {
public:
    X11TextEntry(x11::X11FrameWindow& owner, const TextEntryStyle& style, TextEntryClient& client)
        : owner(owner), style(style), client(client), editor(style.text, style.maxChars),
          field(owner.connection(), owner.xWindow(), style.rect, kEntryEvents, false,
                [this](XEvent& e) { handle(e); }) {}

    ~X11TextEntry() override {
        if (!field.valid()) return;
        Display* d = owner.connection().display();
        x11::ErrorTrap trap(d);
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(d, &focus, &revert);
        // The keys go back to the editor, unless the user has gone elsewhere meanwhile.
        if (focus == field.id()) owner.takeFocus(CurrentTime);
    }

    bool open() {
        if (!field.valid()) return false;
        Display* d = owner.connection().display();
        x11::ErrorTrap trap(d);
        XMapRaised(d, field.id());
        draw();
        XSetInputFocus(d, field.id(), RevertToParent, CurrentTime);
        return true;
    }

    std::string text() const override { return editor.text(); }

private:
    void handle(XEvent& e) {
        switch (e.type) {
        case KeyPress:
            key(e.xkey);
            break;
        case ButtonPress:
            if (e.xbutton.button == Button1) placeCaret(e.xbutton.x, (e.xbutton.state & ShiftMask) != 0);
            break;
        case FocusOut:
            // A grab (our own pop-up, a host's menu) takes the focus only for a while.
            if (e.xfocus.mode == NotifyGrab || e.xfocus.mode == NotifyUngrab ||
                e.xfocus.detail == NotifyInferior || e.xfocus.detail == NotifyPointer)
                break;
            client.entryFocusLost(); // may destroy this entry: nothing after it
            break;
        case SelectionNotify:
            paste(e.xselection);
            break;
        default:
            break;
        }
    }

    void key(XKeyEvent& e) {
        KeyEvent k = x11::keyEventOf(e);
        if (k.key == VirtualKey::Return || k.key == VirtualKey::Enter) {
            client.entryEnter(); // may destroy this entry: nothing after it
            return;
        }
        if ((k.modifiers & kModifierControl) && (k.character == 'v' || k.character == 'V')) {
            requestPaste(e.time);
            return;
        }
        if (editWithKey(editor, k)) draw();
    }

    void requestPaste(Time when) {
        x11::Connection& c = owner.connection();
        XConvertSelection(c.display(), c.atom("CLIPBOARD"), c.atom("UTF8_STRING"), c.atom("ORVEL_PASTE"),
                          field.id(), when);
        XFlush(c.display());
    }

    // The clipboard's text goes in whole, if it fits.
    void paste(XSelectionEvent& e) {
        if (e.property == None) return;
        x11::Connection& c = owner.connection();
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, remaining = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(c.display(), field.id(), e.property, 0, 4096, True, AnyPropertyType, &type,
                               &format, &items, &remaining, &data) != Success)
            return;
        if (data && format == 8 && remaining == 0) {
            std::string_view pasted(reinterpret_cast<const char*>(data), items);
            // A pasted line break ends the text there, as a single-line field takes it.
            pasted = pasted.substr(0, std::min(pasted.find('\n'), pasted.find('\r')));
            editor.insertText(pasted);
        }
        if (data) XFree(data);
        draw();
    }

    int textLeft(int textWidth) const {
        int fieldWidth = field.width() - 2 * kTextInset;
        if (textWidth > fieldWidth) return kTextInset - scroll;
        switch (style.align) {
        case TextAlign::right:
            return field.width() - kTextInset - textWidth;
        case TextAlign::centre:
            return (field.width() - textWidth) / 2;
        default:
            return kTextInset;
        }
    }

    int widthOf(std::size_t bytes) const {
        return field.textWidth(std::string_view(editor.text()).substr(0, bytes), style.fontHeight);
    }

    void placeCaret(int x, bool extend) {
        const std::string& t = editor.text();
        int left = textLeft(widthOf(t.size()));
        std::size_t best = 0;
        int bestDistance = std::abs(x - left);
        for (std::size_t at = utf8::nextBoundary(t, 0); at <= t.size(); at = utf8::nextBoundary(t, at)) {
            int distance = std::abs(x - (left + widthOf(at)));
            if (distance < bestDistance) best = at, bestDistance = distance;
            if (at == t.size()) break;
        }
        editor.setCaret(best, extend);
        draw();
    }

    // Keeps the caret inside the field when the text is wider than it.
    void scrollToCaret(int textWidth) {
        int fieldWidth = field.width() - 2 * kTextInset;
        if (textWidth <= fieldWidth) {
            scroll = 0;
            return;
        }
        int caretX = widthOf(editor.caret());
        if (caretX - scroll > fieldWidth) scroll = caretX - fieldWidth;
        if (caretX - scroll < 0) scroll = caretX;
        scroll = std::clamp(scroll, 0, textWidth - fieldWidth);
    }

    void draw() {
        const std::string& t = editor.text();
        int full = widthOf(t.size());
        scrollToCaret(full);
        PixelRect all{0, 0, field.width(), field.height()};
        field.fill(all, style.backColour);
        int left = textLeft(full);
        int baseline = field.centredBaseline(all, style.fontHeight);
        field.text(left, baseline, t, style.fontHeight, style.fontColour, all);
        LineEditor::Range selection = editor.selectionRange();
        if (!selection.empty()) {
            // The selection in the field's colours swapped.
            PixelRect marked{left + widthOf(selection.begin), 1, left + widthOf(selection.end),
                             field.height() - 1};
            field.fill(marked, style.fontColour);
            field.text(left, baseline, t, style.fontHeight, style.backColour, marked);
        } else {
            int caretX = left + widthOf(editor.caret());
            field.fill({caretX, 1, caretX + 1, field.height() - 1}, style.fontColour);
        }
        field.show();
    }

    x11::X11FrameWindow& owner;
    TextEntryStyle style;
    TextEntryClient& client;
    LineEditor editor;
    x11::DrawnWindow field;
    int scroll = 0; // pixels of text scrolled out at the left
};

} // namespace

std::unique_ptr<TextEntry> TextEntry::create(FrameWindow* owner, const TextEntryStyle& style,
                                             TextEntryClient& client) {
    auto* frame = dynamic_cast<x11::X11FrameWindow*>(owner);
    if (!frame || !frame->xWindow() || style.rect.empty()) return nullptr;
    auto entry = std::make_unique<X11TextEntry>(*frame, style, client);
    if (!entry->open()) return nullptr;
    return entry;
}

} // namespace platform
