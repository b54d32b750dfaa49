// The editing model of a single-line entry field, without any drawing: the text (UTF-8), a limit in
// characters, the caret and the selection. A display backend that has no native edit control (X11)
// keeps one of these behind the field it draws, turns key presses into the calls below and draws
// text(), the selection and the caret.
//
// Characters are Unicode code points. Every offset the model hands out lies on a code point boundary,
// so that drawing code may cut text() at any of them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/key_event.h"

namespace platform {

class LineEditor {
public:
    // A half-open range [begin, end); empty when begin == end.
    struct Range {
        std::size_t begin = 0, end = 0;
        bool empty() const { return begin == end; }
        bool operator==(const Range& other) const { return begin == other.begin && end == other.end; }
    };

    // The initial text is cleaned as an insertion would clean it and cut to maxChars characters; it
    // starts selected whole, as a field opened on a value is.
    explicit LineEditor(std::string_view text = {}, int maxChars = 255);

    // Replaces the selection (or inserts at the caret) with the text and puts the caret after it.
    // Bytes that are not valid UTF-8 and control characters are dropped first. When the result would
    // have more than maxChars characters, or when nothing is left to insert, nothing changes and the
    // answer is false: a paste goes in whole or not at all.
    bool insertText(std::string_view utf8);
    // Removes the selection, else the character before (backspace) or after (deleteForward) the
    // caret. False when there was nothing to remove.
    bool backspace();
    bool deleteForward();

    // Caret moves. With extendSelection the anchor stays, so that the selection grows or shrinks (the
    // shift key); without it the selection goes.
    void left(bool extendSelection = false);
    void right(bool extendSelection = false);
    void home(bool extendSelection = false);
    void end(bool extendSelection = false);
    // Puts the caret at a byte offset (a mouse click), rounded down to a character boundary.
    void setCaret(std::size_t byteOffset, bool extendSelection = false);
    void selectAll();

    const std::string& text() const { return text_; }
    int maxChars() const { return maxChars_; }
    // Characters in the text.
    std::size_t length() const;
    // The caret and the selection in bytes into text().
    std::size_t caret() const { return caret_; }
    std::size_t anchor() const { return anchor_; }
    Range selectionRange() const;
    // The same in characters, for code that counts glyphs.
    std::size_t caretChars() const;
    Range selectionChars() const;
    std::string selectedText() const;

private:
    void removeSelection();
    void moveTo(std::size_t offset, bool extendSelection);

    std::string text_;
    int maxChars_;
    std::size_t caret_ = 0;  // [bytes]
    std::size_t anchor_ = 0; // [bytes]; the selection is between anchor and caret
};

// Applies a key typed into a field: Backspace, Delete, the caret keys (shift extends the selection),
// Ctrl+A and printable characters. False for the keys a field does not edit with (Enter, Escape,
// Tab, other shortcuts), which its owner handles.
bool editWithKey(LineEditor& editor, const KeyEvent& key);

// Helpers over UTF-8 text that the entry field and its drawing share.
namespace utf8 {
// The text with every byte that does not belong to a well-formed UTF-8 sequence removed (overlong
// forms, surrogates and values beyond U+10FFFF are not well formed).
std::string sanitized(std::string_view text);
// Code points in well-formed UTF-8 text.
std::size_t length(std::string_view text);
// The byte offset of the character boundary after / before offset (offset itself at the ends).
std::size_t nextBoundary(std::string_view text, std::size_t offset);
std::size_t previousBoundary(std::string_view text, std::size_t offset);
// The UTF-8 bytes of a code point (nothing for values beyond U+10FFFF).
std::string encode(std::uint32_t codePoint);
} // namespace utf8

} // namespace platform
