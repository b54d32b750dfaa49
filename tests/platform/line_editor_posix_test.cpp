// The entry field's editing model that the X11 backend draws: edits as key sequences, the limit in
// characters (a paste goes in whole or not at all), UTF-8 that is never split and input bytes that
// are not UTF-8.
#include <gtest/gtest.h>

#include <cctype>
#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "platform/line_editor.h"

using platform::LineEditor;

namespace {

enum class Op { insert, backspace, deleteForward, left, right, home, end, selectAll, click };

struct Step {
    Op op;
    std::string text{};     // insert
    bool shift = false;     // moves: extend the selection
    bool accepted = true;   // what insert, backspace and deleteForward answer
    std::size_t offset = 0; // click [bytes]
};

Step type(std::string text, bool accepted = true) {
    return {Op::insert, std::move(text), false, accepted};
}
Step key(Op op, bool shift = false) {
    return {op, {}, shift};
}
Step refused(Op op) {
    return {op, {}, false, false};
}
Step click(std::size_t offset, bool shift = false) {
    return {Op::click, {}, shift, true, offset};
}

struct Case {
    const char* name;
    std::string initial;
    int maxChars;
    std::vector<Step> steps;
    std::string text;
    std::size_t caret, anchor; // [bytes]
    std::size_t caretChars;
};

// "é" is 2 bytes, "日", "本", "語" 3 bytes each. The table is laid out by hand, one case a line or two.
// clang-format off
const std::vector<Case> kCases = {
    {"typing replaces the whole initial selection", "Preset", 255, {type("A")}, "A", 1, 1, 1},
    {"end then typing appends", "Pre", 255, {key(Op::end), type("x")}, "Prex", 4, 4, 4},
    {"left on a selection lands on its start", "abc", 255, {key(Op::left)}, "abc", 0, 0, 0},
    {"right on a selection lands on its end", "abc", 255, {key(Op::home), key(Op::right)}, "abc", 1, 1, 1},
    {"shift-left shrinks the selection, backspace removes it", "abc", 255,
     {key(Op::left, true), key(Op::backspace)}, "c", 0, 0, 0},
    {"backspace removes the whole of a two-byte character", "café", 255,
     {key(Op::end), key(Op::backspace)}, "caf", 3, 3, 3},
    {"delete removes the whole of a three-byte character", "日本語", 255,
     {key(Op::home), key(Op::right), key(Op::deleteForward)}, "日語", 3, 3, 1},
    {"left steps over whole characters", "日本語", 255,
     {key(Op::end), key(Op::left), key(Op::left), type("x")}, "日x本語", 4, 4, 2},
    {"nothing to delete at the end", "ab", 255, {key(Op::end), refused(Op::deleteForward)}, "ab", 2, 2, 2},
    {"nothing to delete at the start", "ab", 255, {key(Op::home), refused(Op::backspace)}, "ab", 0, 0, 0},
    {"shift-home selects back to the start and typing replaces it", "abc", 255,
     {key(Op::end), key(Op::left), key(Op::home, true), type("z")}, "zc", 1, 1, 1},
    {"shift-end from the middle", "日本語", 255,
     {key(Op::home), key(Op::right), key(Op::end, true)}, "日本語", 9, 3, 3},
    {"shift-right across non-ASCII keeps the anchor", "é日x", 255,
     {key(Op::home), key(Op::right, true), key(Op::right, true)}, "é日x", 5, 0, 2},
    {"select all after moving", "abc", 255, {key(Op::home), key(Op::selectAll), type("q")}, "q", 1, 1, 1},
    {"typing into a full field is refused", "abc", 3, {key(Op::end), type("d", false)}, "abc", 3, 3, 3},
    {"typing over a selection in a full field replaces it", "abc", 3,
     {key(Op::end), key(Op::left, true), type("d")}, "abd", 3, 3, 3},
    {"the limit counts characters, not bytes", "日本", 3,
     {key(Op::end), type("語"), type("x", false)}, "日本語", 9, 9, 3},
    {"a paste that does not fit goes in not at all, one that fits goes in whole", "ab", 5,
     {key(Op::end), type("cdef", false), type("cde")}, "abcde", 5, 5, 5},
    {"a paste fits once the selection it replaces is gone", "abcd", 4, {type("wxyz")}, "wxyz", 4, 4, 4},
    // a stray byte, an overlong '/', a cut-off sequence, an encoded surrogate, a value beyond U+10FFFF
    {"bytes that are not UTF-8 are dropped on insert", "", 255,
     {type("a\xFF\xC0\xAF" "b\xE6\x97" "c\xED\xA0\x80" "d\xF4\x90\x80\x80" "é")}, "abcdé", 6, 6, 5},
    {"control characters are dropped on insert", "", 255, {type("a\nb\tc\x7F")}, "abc", 3, 3, 3},
    // The key handler may pass what a key yields (Enter gives "\r", Escape "\x1b"): the selection stays.
    {"an insert of nothing but dropped bytes is refused", "ab", 255,
     {type("\r", false), type("\xFF\x1b", false)}, "ab", 2, 0, 2},
    {"the initial text is cut to the limit and selected whole", "日本語です", 3, {}, "日本語", 9, 0, 3},
    {"the initial text loses its invalid bytes", "a\xFF" "b", 255, {}, "ab", 2, 0, 2},
    {"a click inside a character lands before it", "café", 255, {click(4)}, "café", 3, 3, 3},
    {"a shift-click extends from the anchor", "café", 255, {key(Op::home), click(99, true)}, "café", 5, 0, 4},
};
// clang-format on

// A failure names its case rather than dumping the case's bytes.
void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

class LineEditorEdits : public ::testing::TestWithParam<Case> {};

TEST_P(LineEditorEdits, EndsWithTextCaretAndSelection) {
    const Case& c = GetParam();
    LineEditor editor(c.initial, c.maxChars);
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
        const Step& step = c.steps[i];
        bool answer = true;
        switch (step.op) {
        case Op::insert:
            answer = editor.insertText(step.text);
            break;
        case Op::backspace:
            answer = editor.backspace();
            break;
        case Op::deleteForward:
            answer = editor.deleteForward();
            break;
        case Op::left:
            editor.left(step.shift);
            break;
        case Op::right:
            editor.right(step.shift);
            break;
        case Op::home:
            editor.home(step.shift);
            break;
        case Op::end:
            editor.end(step.shift);
            break;
        case Op::selectAll:
            editor.selectAll();
            break;
        case Op::click:
            editor.setCaret(step.offset, step.shift);
            break;
        }
        EXPECT_EQ(answer, step.accepted) << "step " << i;
    }
    EXPECT_EQ(editor.text(), c.text);
    EXPECT_EQ(editor.caret(), c.caret);
    EXPECT_EQ(editor.anchor(), c.anchor);
    EXPECT_EQ(editor.caretChars(), c.caretChars);
    EXPECT_LE(editor.length(), std::size_t(c.maxChars));
}

INSTANTIATE_TEST_SUITE_P(Table, LineEditorEdits, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
                             return name;
                         });

// Drawing cuts the text at the selection: bytes and characters must name the same place.
TEST(LineEditor, SelectionInBytesAndCharactersAgree) {
    LineEditor editor("aé日本x");
    editor.home();
    editor.right();
    editor.right();
    editor.right(true);
    editor.right(true);
    EXPECT_EQ(editor.selectionRange(), (LineEditor::Range{3, 9}));
    EXPECT_EQ(editor.selectionChars(), (LineEditor::Range{2, 4}));
    EXPECT_EQ(editor.selectedText(), "日本");
    editor.left(true); // back towards the anchor: the range shrinks from its moving end
    EXPECT_EQ(editor.selectionChars(), (LineEditor::Range{2, 3}));
    editor.left(true);
    editor.left(true); // past the anchor: the range now runs from the caret to the anchor
    EXPECT_EQ(editor.selectionRange(), (LineEditor::Range{1, 3}));
    EXPECT_EQ(editor.selectionChars(), (LineEditor::Range{1, 2}));
    EXPECT_EQ(editor.selectedText(), "é");
}

} // namespace
