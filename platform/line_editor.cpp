#include "platform/line_editor.h"

#include <algorithm>

namespace platform {

namespace utf8 {

namespace {

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the well-formed sequence that starts at text[i], 0 when none does. The ranges of
// the second byte rule out overlong forms, surrogates and values beyond U+10FFFF, as RFC 3629 does.
std::size_t sequenceLength(std::string_view text, std::size_t i) {
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = at(i);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    if (at(i + 1) < low || at(i + 1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (!isContinuation(at(i + k))) return 0;
    return length;
}

} // namespace

std::string sanitized(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = sequenceLength(text, i);
        if (n == 0) { // a stray byte goes alone, so that the sequence after it survives
            ++i;
            continue;
        }
        out.append(text, i, n);
        i += n;
    }
    return out;
}

std::size_t length(std::string_view text) {
    return std::size_t(std::count_if(text.begin(), text.end(),
                                     [](char c) { return !isContinuation(static_cast<unsigned char>(c)); }));
}

std::size_t nextBoundary(std::string_view text, std::size_t offset) {
    if (offset >= text.size()) return text.size();
    ++offset;
    while (offset < text.size() && isContinuation(static_cast<unsigned char>(text[offset])))
        ++offset;
    return offset;
}

std::size_t previousBoundary(std::string_view text, std::size_t offset) {
    offset = std::min(offset, text.size());
    if (offset == 0) return 0;
    --offset;
    while (offset > 0 && isContinuation(static_cast<unsigned char>(text[offset])))
        --offset;
    return offset;
}

std::string encode(std::uint32_t c) {
    std::string s;
    if (c < 0x80) {
        s += char(c);
    } else if (c < 0x800) {
        s += char(0xC0 | (c >> 6));
        s += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += char(0xE0 | (c >> 12));
        s += char(0x80 | ((c >> 6) & 0x3F));
        s += char(0x80 | (c & 0x3F));
    } else if (c <= 0x10FFFF) {
        s += char(0xF0 | (c >> 18));
        s += char(0x80 | ((c >> 12) & 0x3F));
        s += char(0x80 | ((c >> 6) & 0x3F));
        s += char(0x80 | (c & 0x3F));
    }
    return s;
}

} // namespace utf8

namespace {

// A single-line field takes no control characters: a pasted line break or tab would be invisible
// there and would end up in a preset name.
std::string withoutControls(std::string text) {
    text.erase(std::remove_if(text.begin(), text.end(),
                              [](char c) {
                                  const auto byte = static_cast<unsigned char>(c);
                                  return byte < 0x20 || byte == 0x7F;
                              }),
               text.end());
    return text;
}

// The text cut after its first maxChars characters.
std::string firstChars(std::string text, std::size_t maxChars) {
    std::size_t offset = 0;
    for (std::size_t n = 0; n < maxChars && offset < text.size(); ++n)
        offset = utf8::nextBoundary(text, offset);
    text.resize(offset);
    return text;
}

} // namespace

LineEditor::LineEditor(std::string_view text, int maxChars) : maxChars_(std::max(maxChars, 0)) {
    text_ = firstChars(withoutControls(utf8::sanitized(text)), std::size_t(maxChars_));
    selectAll();
}

bool LineEditor::insertText(std::string_view utf8Text) {
    const std::string clean = withoutControls(utf8::sanitized(utf8Text));
    // What a key like Enter or Escape yields cleans to nothing; it must not wipe the selection.
    if (clean.empty()) return false;
    const Range selection = selectionRange();
    const std::size_t kept =
        length() -
        utf8::length(std::string_view(text_).substr(selection.begin, selection.end - selection.begin));
    if (kept + utf8::length(clean) > std::size_t(maxChars_)) return false;
    text_.replace(selection.begin, selection.end - selection.begin, clean);
    caret_ = anchor_ = selection.begin + clean.size();
    return true;
}

bool LineEditor::backspace() {
    if (selectionRange().empty()) {
        if (caret_ == 0) return false;
        anchor_ = utf8::previousBoundary(text_, caret_);
    }
    removeSelection();
    return true;
}

bool LineEditor::deleteForward() {
    if (selectionRange().empty()) {
        if (caret_ == text_.size()) return false;
        anchor_ = utf8::nextBoundary(text_, caret_);
    }
    removeSelection();
    return true;
}

// Without shift, an arrow key on a selection lands on the selection's edge on that side, as the
// system edit controls do, rather than one character beyond the caret.
void LineEditor::left(bool extendSelection) {
    const Range selection = selectionRange();
    if (!extendSelection && !selection.empty())
        moveTo(selection.begin, false);
    else
        moveTo(utf8::previousBoundary(text_, caret_), extendSelection);
}

void LineEditor::right(bool extendSelection) {
    const Range selection = selectionRange();
    if (!extendSelection && !selection.empty())
        moveTo(selection.end, false);
    else
        moveTo(utf8::nextBoundary(text_, caret_), extendSelection);
}

void LineEditor::home(bool extendSelection) {
    moveTo(0, extendSelection);
}

void LineEditor::end(bool extendSelection) {
    moveTo(text_.size(), extendSelection);
}

void LineEditor::setCaret(std::size_t byteOffset, bool extendSelection) {
    byteOffset = std::min(byteOffset, text_.size());
    // A boundary is where no continuation byte stands; stepping back from one past the offset finds
    // the character that holds it.
    if (byteOffset < text_.size() && (static_cast<unsigned char>(text_[byteOffset]) & 0xC0) == 0x80)
        byteOffset = utf8::previousBoundary(text_, byteOffset);
    moveTo(byteOffset, extendSelection);
}

void LineEditor::selectAll() {
    anchor_ = 0;
    caret_ = text_.size();
}

std::size_t LineEditor::length() const {
    return utf8::length(text_);
}

LineEditor::Range LineEditor::selectionRange() const {
    return {std::min(anchor_, caret_), std::max(anchor_, caret_)};
}

std::size_t LineEditor::caretChars() const {
    return utf8::length(std::string_view(text_).substr(0, caret_));
}

LineEditor::Range LineEditor::selectionChars() const {
    const Range bytes = selectionRange();
    const std::string_view text(text_);
    return {utf8::length(text.substr(0, bytes.begin)), utf8::length(text.substr(0, bytes.end))};
}

std::string LineEditor::selectedText() const {
    const Range selection = selectionRange();
    return text_.substr(selection.begin, selection.end - selection.begin);
}

void LineEditor::removeSelection() {
    const Range selection = selectionRange();
    text_.erase(selection.begin, selection.end - selection.begin);
    caret_ = anchor_ = selection.begin;
}

void LineEditor::moveTo(std::size_t offset, bool extendSelection) {
    caret_ = offset;
    if (!extendSelection) anchor_ = offset;
}

bool editWithKey(LineEditor& editor, const KeyEvent& key) {
    bool shift = (key.modifiers & kModifierShift) != 0;
    switch (key.key) {
    case VirtualKey::Back:
        editor.backspace();
        return true;
    case VirtualKey::Delete:
        editor.deleteForward();
        return true;
    case VirtualKey::Left:
        editor.left(shift);
        return true;
    case VirtualKey::Right:
        editor.right(shift);
        return true;
    case VirtualKey::Home:
        editor.home(shift);
        return true;
    case VirtualKey::End:
        editor.end(shift);
        return true;
    default:
        break;
    }
    bool shortcut = (key.modifiers & (kModifierControl | kModifierAlt | kModifierCommand)) != 0;
    if (shortcut && (key.character == 'a' || key.character == 'A') && !(key.modifiers & kModifierAlt)) {
        editor.selectAll();
        return true;
    }
    if (shortcut || key.character < 0x20 || key.character == 0x7F) return false;
    editor.insertText(utf8::encode(std::uint32_t(key.character)));
    return true;
}

} // namespace platform
