// The open and save dialogs on X11. The desktop's own dialog first (zenity or kdialog, run as a
// child process); without one, a small dialog of our own, drawn in the toolkit's typeface: the
// folders and matching files of a folder, a name field, the filter, OK and Cancel. Either way the
// dialog is modal on the host's user-interface thread, and the editor keeps painting meanwhile.
#include <X11/Xatom.h>
#include <X11/keysym.h>
#include <unistd.h>

#include <algorithm>

#include "platform/external_dialogs_posix.h"
#include "platform/file_browser.h"
#include "platform/frame_window_x11.h"
#include "platform/line_editor.h"
#include "platform/native_dialogs.h"
#include "platform/x11_drawn_window.h"
#include "platform/x11_look.h"

namespace platform {

namespace {

using namespace x11::look;

constexpr int kWidth = 440, kHeight = 380;
constexpr int kRowHeight = 18;
constexpr PixelRect kTitleRow{10, 8, 430, 28};
constexpr PixelRect kFolderRow{10, 30, 430, 48};
constexpr PixelRect kList{10, 52, 430, 268};
constexpr PixelRect kNameLabel{10, 276, 60, 298};
constexpr PixelRect kNameField{60, 276, 430, 298};
constexpr PixelRect kFilterRow{10, 304, 430, 322};
constexpr PixelRect kMessageRow{10, 326, 260, 344};
constexpr PixelRect kOkButton{270, 342, 345, 370};
constexpr PixelRect kCancelButton{355, 342, 430, 370};
constexpr Time kDoubleClickMs = 500;

bool inside(const PixelRect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

bool isFile(const std::string& path) {
    return access(path.c_str(), F_OK) == 0 && !isFolder(path);
}

// The top-level window that holds a window (the host's), for the dialog to stay above.
Window topLevelOf(Display* d, Window w) {
    for (;;) {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(d, w, &root, &parent, &children, &count)) return w;
        if (children) XFree(children);
        if (!parent || parent == root) return w;
        w = parent;
    }
}

class BuiltInFileDialog {
public:
    BuiltInFileDialog(x11::X11FrameWindow& owner, const FileDialogRequest& request)
        : owner(owner), request(request), name({}, request.maxPathChars),
          window(owner.connection(), owner.connection().root(), placement(owner),
                 KeyPressMask | ButtonPressMask | StructureNotifyMask, false,
                 [this](XEvent& e) { handle(e); }) {
        folder = isFolder(request.initialDirectory) ? normalizePath(request.initialDirectory) : homeFolder();
        load(folder);
    }

    bool run(std::string& path) {
        if (!window.valid()) return false;
        decorate();
        draw();
        x11::Connection& c = owner.connection();
        {
            // Without a window manager the window shows at once; with one, MapNotify gives the focus.
            x11::ErrorTrap trap(c.display());
            XMapRaised(c.display(), window.id());
            XSetInputFocus(c.display(), window.id(), RevertToParent, CurrentTime);
        }
        while (!done && window.valid() && owner.xWindow()) {
            owner.pumpWhileModal();
            if (!done) c.waitForEvent(20);
        }
        if (!accepted) return false;
        path = result;
        return true;
    }

private:
    struct Entry {
        std::string name;
        bool folder;
    };

    static PixelRect placement(x11::X11FrameWindow& owner) {
        int x = 0, y = 0;
        owner.screenOrigin(x, y);
        x11::Connection& c = owner.connection();
        int left = std::clamp(x + 40, 0, std::max(0, c.screenWidth() - kWidth));
        int top = std::clamp(y + 40, 0, std::max(0, c.screenHeight() - kHeight));
        return {left, top, left + kWidth, top + kHeight};
    }

    void decorate() {
        x11::Connection& c = owner.connection();
        Display* d = c.display();
        x11::ErrorTrap trap(d);
        XChangeProperty(d, window.id(), c.atom("_NET_WM_NAME"), c.atom("UTF8_STRING"), 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(request.title.data()),
                        int(request.title.size()));
        XStoreName(d, window.id(), request.title.c_str());
        XSetTransientForHint(d, window.id(), topLevelOf(d, owner.xWindow()));
        Atom dialogType = c.atom("_NET_WM_WINDOW_TYPE_DIALOG");
        XChangeProperty(d, window.id(), c.atom("_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&dialogType), 1);
        Atom closing = c.atom("WM_DELETE_WINDOW");
        XSetWMProtocols(d, window.id(), &closing, 1);
        if (XSizeHints* hints = XAllocSizeHints()) {
            hints->flags = PMinSize | PMaxSize;
            hints->min_width = hints->max_width = kWidth;
            hints->min_height = hints->max_height = kHeight;
            XSetWMNormalHints(d, window.id(), hints);
            XFree(hints);
        }
    }

    std::string filterPatterns() const {
        return request.filters.empty() ? std::string("*") : request.filters[std::size_t(filter)].pattern;
    }

    void load(const std::string& where) {
        FolderListing listing = listFolder(where, filterPatterns());
        if (!listing.ok()) {
            message = listing.error;
            return;
        }
        folder = where;
        entries.clear();
        for (const std::string& f : listing.folders)
            entries.push_back({f, true});
        for (const std::string& f : listing.files)
            entries.push_back({f, false});
        selected = -1;
        top = 0;
        message.clear();
    }

    int visibleRows() const { return (kList.bottom - kList.top - 4) / kRowHeight; }

    void select(int index) {
        if (entries.empty()) return;
        selected = std::clamp(index, 0, int(entries.size()) - 1);
        if (selected < top) top = selected;
        if (selected >= top + visibleRows()) top = selected - visibleRows() + 1;
        if (!entries[std::size_t(selected)].folder)
            name = LineEditor(entries[std::size_t(selected)].name, name.maxChars());
    }

    void open(const Entry& entry) {
        std::string target = entry.name == ".." ? parentOf(folder) : joinPath(folder, entry.name);
        if (entry.folder) {
            load(normalizePath(target));
            return;
        }
        name = LineEditor(entry.name, name.maxChars());
        accept();
    }

    void accept() {
        if (name.text().empty()) {
            if (selected >= 0) open(entries[std::size_t(selected)]);
            return;
        }
        std::string full = resolveTypedName(name.text(), folder);
        if (isFolder(full)) {
            load(full);
            name = LineEditor({}, name.maxChars());
            return;
        }
        if (request.save) {
            full = withDefaultExtension(full, request.defaultExtension);
            if (!isFolder(parentOf(full))) {
                message = "No such folder";
                return;
            }
        } else if (!isFile(full)) {
            message = "No such file";
            return;
        }
        if (int(utf8::length(full)) > request.maxPathChars) {
            message = "The path is too long";
            return;
        }
        result = full;
        accepted = done = true;
    }

    void cancel() { done = true; }

    void handle(XEvent& e) {
        switch (e.type) {
        case MapNotify: {
            // Focus can be given only once the window shows (a window manager maps it later).
            x11::ErrorTrap trap(owner.connection().display());
            XSetInputFocus(owner.connection().display(), window.id(), RevertToParent, CurrentTime);
            return;
        }
        case DestroyNotify:
            cancel();
            return;
        case ClientMessage:
            if (Atom(e.xclient.data.l[0]) == owner.connection().atom("WM_DELETE_WINDOW")) cancel();
            return;
        case ButtonPress:
            press(e.xbutton);
            break;
        case KeyPress:
            key(e.xkey);
            break;
        default:
            return;
        }
        if (!done) draw();
    }

    void press(XButtonEvent& e) {
        if (e.button == Button4 || e.button == Button5) {
            int most = std::max(0, int(entries.size()) - visibleRows());
            top = std::clamp(top + (e.button == Button4 ? -3 : 3), 0, most);
            return;
        }
        if (e.button != Button1) return;
        if (inside(kOkButton, e.x, e.y)) return accept();
        if (inside(kCancelButton, e.x, e.y)) return cancel();
        if (inside(kFilterRow, e.x, e.y) && request.filters.size() > 1) {
            filter = (filter + 1) % int(request.filters.size());
            load(folder);
            return;
        }
        if (!inside(kList, e.x, e.y)) return;
        int index = top + (e.y - kList.top - 2) / kRowHeight;
        if (index < 0 || index >= int(entries.size())) return;
        bool twice = index == lastClicked && e.time - lastClickTime <= kDoubleClickMs;
        lastClicked = twice ? -1 : index;
        lastClickTime = e.time;
        select(index);
        if (twice) open(entries[std::size_t(index)]);
    }

    void key(XKeyEvent& e) {
        KeyEvent k = x11::keyEventOf(e);
        switch (k.key) {
        case VirtualKey::Escape:
            return cancel();
        case VirtualKey::Return:
        case VirtualKey::Enter:
            return accept();
        case VirtualKey::Up:
            return select(selected - 1);
        case VirtualKey::Down:
            return select(selected + 1);
        case VirtualKey::PageUp:
            return select(selected - visibleRows());
        case VirtualKey::PageDown:
            return select(selected + visibleRows());
        default:
            editWithKey(name, k);
        }
    }

    void button(const PixelRect& r, const char* label) {
        window.fill(r, kButton);
        window.outline(r, kEdge);
        int w = window.textWidth(label, kFont);
        window.text(r.left + (r.right - r.left - w) / 2, window.centredBaseline(r, kFont), label, kFont,
                    kText, r);
    }

    // Text cut at the left when it is too wide, so that the end of a long path shows.
    void tail(const PixelRect& r, const std::string& text, std::uint32_t colour) {
        int w = window.textWidth(text, kFont);
        int x = w > r.right - r.left ? r.right - w : r.left;
        window.text(x, window.centredBaseline(r, kFont), text, kFont, colour, r);
    }

    void draw() {
        window.fill({0, 0, kWidth, kHeight}, kBackground);
        window.text(kTitleRow.left, window.centredBaseline(kTitleRow, 13), request.title, 13, kText,
                    kTitleRow);
        tail(kFolderRow, folder, kDim);
        window.fill(kList, kPanel);
        window.outline(kList, kEdge);
        PixelRect inner{kList.left + 1, kList.top + 1, kList.right - 1, kList.bottom - 1};
        for (int row = 0; row < visibleRows() && top + row < int(entries.size()); ++row) {
            const Entry& entry = entries[std::size_t(top + row)];
            PixelRect r{inner.left, kList.top + 2 + row * kRowHeight, inner.right,
                        kList.top + 2 + (row + 1) * kRowHeight};
            if (top + row == selected) window.fill(r, kMarked);
            std::string label = entry.folder ? entry.name + "/" : entry.name;
            window.text(r.left + 4, window.centredBaseline(r, kFont), label, kFont,
                        entry.folder ? kDim : kText, r);
        }
        window.text(kNameLabel.left, window.centredBaseline(kNameLabel, kFont), "Name:", kFont, kText,
                    kNameLabel);
        window.fill(kNameField, kPanel);
        window.outline(kNameField, kEdge);
        PixelRect field{kNameField.left + 3, kNameField.top, kNameField.right - 3, kNameField.bottom};
        int baseline = window.centredBaseline(field, kFont);
        std::string_view typed = name.text();
        int caretX = field.left + window.textWidth(typed.substr(0, name.caret()), kFont);
        int shift = std::max(0, caretX - (field.right - 2));
        window.text(field.left - shift, baseline, typed, kFont, kText, field);
        window.fill({caretX - shift, field.top + 3, caretX - shift + 1, field.bottom - 3}, kText);
        if (!request.filters.empty()) {
            std::string label = request.filters[std::size_t(filter)].label;
            if (request.filters.size() > 1) label += "  (click for other types)";
            window.text(kFilterRow.left, window.centredBaseline(kFilterRow, kFont), label, kFont, kDim,
                        kFilterRow);
        }
        if (!message.empty())
            window.text(kMessageRow.left, window.centredBaseline(kMessageRow, kFont), message, kFont,
                        kWarning, kMessageRow);
        button(kOkButton, request.save ? "Save" : "Open");
        button(kCancelButton, "Cancel");
        window.show();
    }

    x11::X11FrameWindow& owner;
    FileDialogRequest request;
    LineEditor name;
    x11::DrawnWindow window;
    std::string folder;
    std::vector<Entry> entries;
    int filter = 0;
    int selected = -1;
    int top = 0;
    int lastClicked = -1;
    Time lastClickTime = 0;
    std::string message;
    std::string result;
    bool done = false;
    bool accepted = false;
};

// The desktop's dialog, polled while the editor keeps painting.
DialogOutcome runToolDialog(x11::X11FrameWindow& owner, const FileDialogRequest& request, std::string& path) {
    ExternalDialog dialog;
    if (!dialog.startFileDialog(request)) return DialogOutcome::unavailable;
    while (!dialog.poll()) {
        owner.pumpWhileModal();
        owner.connection().waitForEvent(20);
        if (!owner.xWindow()) dialog.cancel(); // the host took the editor's window away
    }
    if (dialog.outcome() == DialogOutcome::accepted) path = dialog.path();
    return dialog.outcome();
}

} // namespace

bool runFileDialog(FrameWindow* owner, const FileDialogRequest& request, std::string& path) {
    auto* frame = dynamic_cast<x11::X11FrameWindow*>(owner);
    if (!frame || !frame->xWindow()) return false;
    switch (runToolDialog(*frame, request, path)) {
    case DialogOutcome::accepted:
        return !path.empty();
    case DialogOutcome::cancelled:
        return false;
    default:
        break;
    }
    BuiltInFileDialog dialog(*frame, request);
    return dialog.run(path);
}

} // namespace platform
