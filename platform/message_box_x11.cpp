// The message box on X11: the desktop's own (zenity or kdialog --error) when installed, else a small
// window of ours on a connection of its own (the box has no owner), with the text and an OK button.
// Modal: it returns when the user has confirmed it.
#include <X11/Xatom.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/external_dialogs_posix.h"
#include "platform/native_dialogs.h"
#include "platform/x11_drawn_window.h"
#include "platform/x11_look.h"

namespace platform {

namespace {

using namespace x11::look;

constexpr int kLineHeight = 17;
constexpr int kMargin = 16;
constexpr int kMinWidth = 260, kMaxTextWidth = 480;
constexpr int kButtonWidth = 80, kButtonHeight = 26;

// The text broken into lines at its line breaks and, where a line is too wide, between words.
std::vector<std::string> wrapped(x11::DrawnWindow* measure, const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = std::min(text.find('\n', start), text.size());
        std::string paragraph = text.substr(start, end - start), line;
        std::size_t at = 0;
        while (at < paragraph.size()) {
            std::size_t space = std::min(paragraph.find(' ', at), paragraph.size());
            std::string word = paragraph.substr(at, space - at);
            std::string candidate = line.empty() ? word : line + " " + word;
            if (!line.empty() && measure && measure->textWidth(candidate, kFont) > kMaxTextWidth) {
                lines.push_back(line);
                line = word;
            } else {
                line = candidate;
            }
            at = space + 1;
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

void runOwnMessageBox(const std::string& text, const std::string& title) {
    auto connection = x11::Connection::open();
    if (!connection) return;
    Display* d = connection->display();
    // Measured first on a window of no consequence: the box's size follows its lines.
    std::vector<std::string> lines;
    int textWidth = 0;
    {
        x11::DrawnWindow probe(*connection, connection->root(), {0, 0, 1, 1}, 0, true, nullptr);
        lines = wrapped(&probe, text);
        for (const std::string& line : lines)
            textWidth = std::max(textWidth, probe.textWidth(line, kFont));
    }
    int width = std::max(kMinWidth, textWidth + 2 * kMargin);
    int height = kMargin + int(lines.size()) * kLineHeight + kMargin + kButtonHeight + kMargin;
    int left = std::max(0, (connection->screenWidth() - width) / 2);
    int top = std::max(0, (connection->screenHeight() - height) / 2);
    PixelRect ok{(width - kButtonWidth) / 2, height - kMargin - kButtonHeight, (width + kButtonWidth) / 2,
                 height - kMargin};
    bool done = false;
    x11::DrawnWindow box(*connection, connection->root(), {left, top, left + width, top + height},
                         KeyPressMask | ButtonPressMask, false, [&](XEvent& e) {
                             if (e.type == DestroyNotify) done = true;
                             if (e.type == ClientMessage) done = true; // the window manager's close
                             if (e.type == KeyPress) {
                                 KeyEvent k = x11::keyEventOf(e.xkey);
                                 done = k.key == VirtualKey::Return || k.key == VirtualKey::Enter ||
                                        k.key == VirtualKey::Escape || k.key == VirtualKey::Space;
                             }
                             if (e.type == ButtonPress && e.xbutton.button == Button1)
                                 done = e.xbutton.x >= ok.left && e.xbutton.x < ok.right &&
                                        e.xbutton.y >= ok.top && e.xbutton.y < ok.bottom;
                             if (e.type == MapNotify) {
                                 x11::ErrorTrap trap(e.xany.display);
                                 XSetInputFocus(e.xany.display, e.xany.window, RevertToParent, CurrentTime);
                             }
                         });
    if (!box.valid()) return;
    XStoreName(d, box.id(), title.c_str());
    XChangeProperty(d, box.id(), connection->atom("_NET_WM_NAME"), connection->atom("UTF8_STRING"), 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(title.data()), int(title.size()));
    Atom closing = connection->atom("WM_DELETE_WINDOW");
    XSetWMProtocols(d, box.id(), &closing, 1);
    box.fill({0, 0, width, height}, kBackground);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        PixelRect row{kMargin, kMargin + int(i) * kLineHeight, width - kMargin,
                      kMargin + int(i + 1) * kLineHeight};
        box.text(row.left, box.centredBaseline(row, kFont), lines[i], kFont, kText, row);
    }
    box.fill(ok, kButton);
    box.outline(ok, kEdge);
    box.text(ok.left + (kButtonWidth - box.textWidth("OK", kFont)) / 2, box.centredBaseline(ok, kFont), "OK",
             kFont, kText, ok);
    XMapRaised(d, box.id());
    while (!done && box.valid()) {
        while (!done && XPending(d) > 0) {
            XEvent e;
            XNextEvent(d, &e);
            if (x11::EventSink* sink = connection->sinkOf(e.xany.window)) sink->handleEvent(e);
        }
        if (!done) connection->waitForEvent(50);
    }
}

} // namespace

void showMessageBox(const char* text, const char* title) {
    std::string t = text ? text : "", caption = title ? title : "";
    if (showExternalMessageBox(t, caption) != DialogOutcome::unavailable) return;
    runOwnMessageBox(t, caption);
}

} // namespace platform
