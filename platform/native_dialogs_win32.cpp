// The native elements on Win32: TrackPopupMenu, an EDIT control, the common file dialogs and
// MessageBoxA.
#include <windows.h>

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "platform/native_dialogs.h"
#include "platform/window_win32.h"

namespace platform {

namespace {

HWND windowOf(FrameWindow* owner) {
    HWND hwnd = owner ? static_cast<HWND>(owner->nativeHandle()) : nullptr;
    return hwnd && IsWindow(hwnd) ? hwnd : nullptr;
}

COLORREF colourRef(std::uint32_t argb) {
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

// ------------------------------------------------------------------------------------ entry field

class Win32TextEntry;

// The entries alive on this thread, so that a control is known as ours before its user data is
// trusted.
std::vector<Win32TextEntry*>& liveEntries() {
    static std::vector<Win32TextEntry*> entries;
    return entries;
}

class Win32TextEntry final : public TextEntry {
public:
    Win32TextEntry(const TextEntryStyle& style, TextEntryClient& client)
        : client(client), maxChars(std::max(style.maxChars, 0)), textColour(colourRef(style.fontColour)),
          backColour(colourRef(style.backColour)) {
        liveEntries().push_back(this);
    }
    ~Win32TextEntry() override;

    bool open(HWND owner, const TextEntryStyle& style);
    std::string text() const override;

    HBRUSH colour(HDC dc) const {
        SetTextColor(dc, textColour);
        SetBkColor(dc, backColour);
        return brush;
    }

private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void detach();

    TextEntryClient& client;
    int maxChars;
    COLORREF textColour, backColour;
    HWND owner = nullptr;
    HWND edit = nullptr;
    WNDPROC base = nullptr;
    HFONT font = nullptr;
    HBRUSH brush = nullptr;
    std::string finalText; // the text when the control went away before the entry
};

// Every EDIT control shares the class procedure: the one to hand messages to once an entry has
// let go of its control.
WNDPROC editProcedure = nullptr;

Win32TextEntry* entryOf(HWND hwnd) {
    auto* entry = reinterpret_cast<Win32TextEntry*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    auto& live = liveEntries();
    return entry && std::find(live.begin(), live.end(), entry) != live.end() ? entry : nullptr;
}

bool Win32TextEntry::open(HWND parent, const TextEntryStyle& style) {
    owner = parent;
    DWORD align = style.align == TextAlign::centre  ? ES_CENTER
                  : style.align == TextAlign::right ? ES_RIGHT
                                                    : ES_LEFT;
    std::string initial = style.text.substr(0, std::size_t(maxChars));
    const PixelRect& r = style.rect;
    edit = CreateWindowExA(0, "EDIT", initial.c_str(), WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | align, r.left,
                           r.top, r.right - r.left, r.bottom - r.top, parent, nullptr, win32::ownModule(),
                           nullptr);
    if (!edit) return false;

    font = CreateFontA(style.fontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS,
                       style.fontFamily.c_str());
    brush = CreateSolidBrush(backColour);
    if (font) SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageA(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(0, 0));
    SendMessageA(edit, EM_LIMITTEXT, WPARAM(maxChars), 0);
    SendMessageA(edit, EM_SETSEL, 0, -1);

    SetWindowLongPtrA(edit, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    base = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32TextEntry::procedure)));
    if (!editProcedure) editProcedure = base;
    SetFocus(edit);
    return true;
}

// The control stops speaking to the entry: it behaves as a plain EDIT control from here on.
void Win32TextEntry::detach() {
    if (!edit) return;
    SetWindowLongPtrA(edit, GWLP_USERDATA, 0);
    if (base) SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(base));
}

Win32TextEntry::~Win32TextEntry() {
    if (edit) {
        detach();
        // The keyboard focus goes back to the frame window, telling nobody.
        if (GetFocus() == edit && IsWindow(owner)) SetFocus(owner);
        DestroyWindow(edit);
    }
    if (font) DeleteObject(font);
    if (brush) DeleteObject(brush);
    auto& live = liveEntries();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

std::string Win32TextEntry::text() const {
    if (!edit) return finalText;
    std::vector<char> buffer(std::size_t(maxChars) + 1, 0);
    int n = GetWindowTextA(edit, buffer.data(), int(buffer.size()));
    return std::string(buffer.data(), std::size_t(std::clamp(n, 0, maxChars)));
}

// The client's callbacks may destroy the entry (and the control with it): nothing of either is
// touched after calling them.
LRESULT CALLBACK Win32TextEntry::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Win32TextEntry* self = entryOf(hwnd);
    WNDPROC base = self ? self->base : editProcedure;
    if (!self) return base ? CallWindowProcA(base, hwnd, message, wParam, lParam) : 0;
    switch (message) {
    case WM_GETDLGCODE:
        // Every key is the field's: a host's dialog or accelerator handling must not take them.
        return CallWindowProcA(base, hwnd, message, wParam, lParam) | DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            self->client.entryEnter();
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == '\r' || wParam == '\n') return 0; // Enter was handled at its key-down
        break;
    case WM_KILLFOCUS: {
        LRESULT result = CallWindowProcA(base, hwnd, message, wParam, lParam);
        self->client.entryFocusLost();
        return result;
    }
    case WM_DESTROY:
        // Destroyed with its parent before the entry: keep what was typed.
        self->finalText = self->text();
        self->detach();
        self->edit = nullptr;
        break;
    default:
        break;
    }
    return CallWindowProcA(base, hwnd, message, wParam, lParam);
}

} // namespace

namespace win32 {

HBRUSH entryFieldColours(HWND control, HDC dc) {
    Win32TextEntry* entry = control ? entryOf(control) : nullptr;
    return entry ? entry->colour(dc) : nullptr;
}

} // namespace win32

std::unique_ptr<TextEntry> TextEntry::create(FrameWindow* owner, const TextEntryStyle& style,
                                             TextEntryClient& client) {
    HWND parent = windowOf(owner);
    if (!parent) return nullptr;
    auto entry = std::make_unique<Win32TextEntry>(style, client);
    if (!entry->open(parent, style)) return nullptr;
    return entry;
}

// --------------------------------------------------------------------------------- pop-up menu

// Menu identifiers are the entries' positions + 1: 0 is what a menu reports for no choice.
int trackPopupMenu(FrameWindow* owner, const std::vector<PopupItem>& items, int screenX, int screenY,
                   bool rightButton) {
    HWND hwnd = windowOf(owner);
    if (!hwnd || items.empty() || items.size() >= 0xFFFF) return -1;
    HMENU menu = CreatePopupMenu();
    if (!menu) return -1;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const PopupItem& item = items[i];
        UINT flags = item.separator ? MF_SEPARATOR : MF_STRING;
        if (item.grayed) flags |= MF_GRAYED;
        if (item.checked) flags |= MF_CHECKED;
        if (item.columnBreak) flags |= MF_MENUBARBREAK;
        AppendMenuA(menu, flags, UINT_PTR(i + 1), item.separator ? nullptr : item.title.c_str());
    }
    UINT flags = TPM_LEFTALIGN | TPM_TOPALIGN | (rightButton ? TPM_RIGHTBUTTON : TPM_LEFTBUTTON);
    TrackPopupMenu(menu, flags, screenX, screenY, 0, hwnd, nullptr);
    DestroyMenu(menu);

    // The choice arrives as the command message the menu posted to its owner.
    int chosen = -1;
    MSG message;
    while (PeekMessageA(&message, hwnd, WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
        std::size_t id = LOWORD(message.wParam);
        if (HIWORD(message.wParam) == 0 && message.lParam == 0 && id >= 1 && id <= items.size()) {
            const PopupItem& item = items[id - 1];
            if (!item.separator && !item.grayed) chosen = item.command;
        }
    }
    return chosen;
}

// ------------------------------------------------------------------------------------ file dialogs

bool runFileDialog(FrameWindow* owner, const FileDialogRequest& request, std::string& path) {
    // Pairs of label and pattern, each ended by a zero, the list ended by another.
    std::string filter;
    for (const FileFilter& f : request.filters) {
        filter += f.label;
        filter.push_back('\0');
        filter += f.pattern;
        filter.push_back('\0');
    }
    filter.push_back('\0');
    std::vector<char> file(std::size_t(std::max(request.maxPathChars, 1)) + 1, 0);

    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = windowOf(owner);
    dialog.lpstrFilter = request.filters.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = DWORD(file.size());
    dialog.lpstrInitialDir = request.initialDirectory.empty() ? nullptr : request.initialDirectory.c_str();
    dialog.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
    BOOL chosen;
    if (request.save) {
        dialog.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLESIZING;
        dialog.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
        chosen = GetSaveFileNameA(&dialog);
    } else {
        dialog.Flags =
            OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLESIZING;
        chosen = GetOpenFileNameA(&dialog);
    }
    if (!chosen || !file[0]) return false;
    path = file.data();
    return true;
}

// ----------------------------------------------------------------------------------- message box

void showMessageBox(const char* text, const char* title) {
    MessageBoxA(nullptr, text ? text : "", title ? title : "", MB_OK);
}

} // namespace platform
