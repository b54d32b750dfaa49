// The pop-up menu on X11: an override-redirect window drawn in the editor's look, with the columns,
// check marks, separators and grayed entries of the menu, and a modal loop on the editor's
// connection until a choice, Escape or a click outside. The loop holds the pointer and keyboard
// grabs; they are released on every way out, since a grab left behind freezes the whole desktop.
#include <X11/keysym.h>

#include <algorithm>

#include "platform/frame_window_x11.h"
#include "platform/native_dialogs.h"
#include "platform/popup_layout.h"
#include "platform/x11_drawn_window.h"
#include "platform/x11_look.h"

namespace platform {

namespace {

using namespace x11::look;

constexpr long kMenuEvents = ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask;
constexpr int kGrabAttempts = 20; // another client's grab may need a moment to end

class GrabbedMenu {
public:
    GrabbedMenu(x11::X11FrameWindow& owner, const std::vector<PopupItem>& items, int screenX, int screenY,
                bool rightButton)
        : owner(owner), items(items), rightButton(rightButton), layout(measure(items)),
          window(owner.connection(), owner.connection().root(), placement(screenX, screenY), kMenuEvents,
                 true, [this](XEvent& e) { handle(e); }) {}

    ~GrabbedMenu() {
        Display* d = owner.connection().display();
        x11::ErrorTrap trap(d);
        XUngrabPointer(d, CurrentTime);
        XUngrabKeyboard(d, CurrentTime);
    }

    int run() {
        if (!window.valid()) return -1;
        Display* d = owner.connection().display();
        {
            x11::ErrorTrap trap(d);
            XMapRaised(d, window.id());
            draw();
        }
        if (!grab()) return -1;
        while (!done && window.valid() && owner.xWindow()) {
            owner.pumpWhileModal();
            if (!done) owner.connection().waitForEvent(20);
        }
        return chosen;
    }

private:
    static PopupLayout measure(const std::vector<PopupItem>& items) {
        const TextPainter* painter = textPainter();
        return layoutPopup(
            items, [painter](const std::string& t) { return painter ? painter->width(t, kFont) : 0; });
    }

    PixelRect placement(int x, int y) const {
        x11::Connection& c = owner.connection();
        PopupPlacement at =
            placePopup(x, y, layout.width, layout.height, {0, 0, c.screenWidth(), c.screenHeight()});
        return {at.x, at.y, at.x + layout.width, at.y + layout.height};
    }

    bool grab() {
        Display* d = owner.connection().display();
        for (int attempt = 0; attempt < kGrabAttempts; ++attempt) {
            int pointer =
                XGrabPointer(d, window.id(), True, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                             GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
            int keyboard = XGrabKeyboard(d, window.id(), False, GrabModeAsync, GrabModeAsync, CurrentTime);
            if (pointer == GrabSuccess && keyboard == GrabSuccess) return true;
            XUngrabPointer(d, CurrentTime);
            XUngrabKeyboard(d, CurrentTime);
            owner.connection().waitForEvent(10);
        }
        return false;
    }

    // Menu coordinates of a pointer event on any window (with the grab, events outside the menu
    // come relative to it too, but the root position is the sure one).
    int itemAt(int rootX, int rootY) const {
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates(owner.connection().display(), owner.connection().root(), window.id(), rootX,
                              rootY, &x, &y, &child);
        return layout.hitTest(x, y);
    }

    bool outside(int rootX, int rootY) const {
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates(owner.connection().display(), owner.connection().root(), window.id(), rootX,
                              rootY, &x, &y, &child);
        return x < 0 || y < 0 || x >= layout.width || y >= layout.height;
    }

    bool choosingButton(unsigned int button) const {
        return button == Button1 || (rightButton && button == Button3);
    }

    void handle(XEvent& e) {
        switch (e.type) {
        case MotionNotify:
            mark(itemAt(e.xmotion.x_root, e.xmotion.y_root));
            break;
        case ButtonPress:
            if (outside(e.xbutton.x_root, e.xbutton.y_root)) dismiss();
            break;
        case ButtonRelease: {
            if (!choosingButton(e.xbutton.button)) break;
            // The release of the press that opened the menu chooses only over an entry, as a drag
            // from the control to an entry does.
            int item = itemAt(e.xbutton.x_root, e.xbutton.y_root);
            if (item >= 0) choose(item);
            break;
        }
        case KeyPress:
            key(x11::keyEventOf(e.xkey));
            break;
        case DestroyNotify:
            dismiss();
            break;
        default:
            break;
        }
    }

    void key(const KeyEvent& k) {
        switch (k.key) {
        case VirtualKey::Escape:
            dismiss();
            break;
        case VirtualKey::Up:
            mark(layout.nextChoosable(marked, -1));
            break;
        case VirtualKey::Down:
            mark(layout.nextChoosable(marked, +1));
            break;
        case VirtualKey::Return:
        case VirtualKey::Enter:
            if (marked >= 0) choose(marked);
            break;
        default:
            break;
        }
    }

    void choose(int item) {
        chosen = items[std::size_t(item)].command;
        done = true;
    }

    void dismiss() {
        chosen = -1;
        done = true;
    }

    void mark(int item) {
        if (item == marked) return;
        marked = item;
        draw();
    }

    void drawCheck(const PixelRect& r, std::uint32_t colour) {
        // A tick of 2-pixel dots: down to the right, then up to the right.
        int x = r.left + 3, y = (r.top + r.bottom) / 2;
        for (int i = 0; i < 3; ++i)
            window.fill({x + i, y + i - 1, x + i + 2, y + i + 1}, colour);
        for (int i = 0; i < 5; ++i)
            window.fill({x + 3 + i, y + 1 - i, x + 5 + i, y + 3 - i}, colour);
    }

    void draw() {
        PixelRect all{0, 0, layout.width, layout.height};
        window.fill(all, kBackground);
        window.outline(all, kEdge);
        for (std::size_t c = 1; c < layout.columns.size(); ++c) {
            int x = layout.columns[c].x - 1;
            window.fill({x, 1, x + 1, layout.height - 1}, kEdge);
        }
        PopupMetrics metrics;
        for (std::size_t i = 0; i < items.size(); ++i) {
            const PopupItem& item = items[i];
            const PixelRect& r = layout.items[i];
            if (item.separator) {
                int y = (r.top + r.bottom) / 2;
                window.fill({r.left + 2, y, r.right - 2, y + 1}, kEdge);
                continue;
            }
            if (int(i) == marked && !item.grayed) window.fill(r, kMarked);
            std::uint32_t colour = item.grayed ? kDim : kText;
            PixelRect check{r.left + metrics.textPadding, r.top,
                            r.left + metrics.textPadding + metrics.checkWidth, r.bottom};
            if (item.checked) drawCheck(check, colour);
            window.text(check.right, window.centredBaseline(r, kFont), item.title, kFont, colour, r);
        }
        window.show();
    }

    x11::X11FrameWindow& owner;
    const std::vector<PopupItem>& items;
    bool rightButton;
    PopupLayout layout;
    x11::DrawnWindow window;
    int marked = -1;
    int chosen = -1;
    bool done = false;
};

} // namespace

int trackPopupMenu(FrameWindow* owner, const std::vector<PopupItem>& items, int screenX, int screenY,
                   bool rightButton) {
    auto* frame = dynamic_cast<x11::X11FrameWindow*>(owner);
    if (!frame || !frame->xWindow() || items.empty()) return -1;
    GrabbedMenu menu(*frame, items, screenX, screenY, rightButton);
    return menu.run();
}

} // namespace platform
