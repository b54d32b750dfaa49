#include "editor/my_text_edit.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "editor/host_edit.h"
#include "engine/parameters.h"
#include "gui/frame.h"

namespace editor {
namespace {

// Release time from a normalized value and back [ms]: 10^(3 x^0.82030212), 1 .. 1000.
constexpr double kReleaseExponent = 0.82030212;
constexpr double kReleaseInverseExponent = 1.2190630447230832;

struct FieldRange {
    double low, high;
};

// Fixed-point text of v with a number of decimals, as printf's "%.Nf" ("%+.Nf" with plus) writes
// it in the "C" locale.
std::string fixed(double v, int decimals, bool plus = false) {
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, decimals);
    if (error != std::errc()) return "?";
    std::string text(buffer, end);
    if (plus && text[0] != '-') text.insert(text.begin(), '+');
    return text;
}

bool isOffText(const char* text) {
    const char* off = "off";
    for (int i = 0; i < 3; ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        if (c != off[i]) return false;
    }
    return text[3] == '\0';
}

bool isCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The decimal exponent of the leading digit of a number written in [begin, end) ("123.4" 3,
// "0.05" -1, "1e400" 401), saturating: tells an overflow from an underflow.
long decimalExponent(const char* begin, const char* end) {
    const char* p = begin;
    long magnitude = 0;
    bool seen = false; // a non-zero digit
    for (; p < end && *p >= '0' && *p <= '9'; ++p)
        if (seen || *p != '0') seen = true, ++magnitude;
    if (p < end && *p == '.')
        for (++p; p < end && *p >= '0' && *p <= '9'; ++p)
            if (!seen) {
                if (*p != '0')
                    seen = true;
                else
                    --magnitude;
            }
    long exponent = 0;
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        bool minus = p < end && *p == '-';
        if (p < end && (*p == '+' || *p == '-')) ++p;
        for (; p < end && *p >= '0' && *p <= '9'; ++p)
            if (exponent < 100000000) exponent = exponent * 10 + (*p - '0');
        if (minus) exponent = -exponent;
    }
    return magnitude + exponent;
}

// The shown quantity of a field: dB, %, ms. The value is taken as the engine takes it.
double quantity(std::int32_t tag, float value) {
    double x = engine::clampNormalized(value);
    switch (tag) {
    case engine::kOutput:
    case engine::kLeveller:
        return (x - 1.0) * 12.0;
    case engine::kDrive:
        return (x - 0.5) * 48.0;
    case engine::kTransient:
    case engine::kLink:
        return x * 100.0;
    case engine::kRelease:
        return std::pow(10.0, 3.0 * std::pow(x, kReleaseExponent));
    default:
        return 0.0;
    }
}

bool isValueField(std::int32_t tag) {
    switch (tag) {
    case engine::kOutput:
    case engine::kDrive:
    case engine::kTransient:
    case engine::kRelease:
    case engine::kLink:
    case engine::kLeveller:
        return true;
    default:
        return false;
    }
}

} // namespace

double parseLeadingNumber(const char* text) {
    if (!text) return 0.0;
    const char* p = text;
    while (isCSpace(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    // A second sign is no number; from_chars would take a minus here.
    if (*p == '+' || *p == '-') return 0.0;
    const char* end = p;
    while (*end)
        ++end;
    double v = 0.0;
    auto [stop, error] = std::from_chars(p, end, v, std::chars_format::general);
    if (error == std::errc::result_out_of_range)
        v = decimalExponent(p, stop) > 0 ? HUGE_VAL : 0.0; // as the C library: overflow or underflow
    else if (error != std::errc())
        return 0.0;
    if (v != v) return 0.0;
    return negative ? -v : v;
}

std::string valueFieldText(std::int32_t tag, float value) {
    if (!isValueField(tag)) return {};
    double q = quantity(tag, value);
    switch (tag) {
    case engine::kTransient:
    case engine::kLink:
        return fixed(q, 1) + "%";
    case engine::kRelease:
        return fixed(q, 1) + "ms";
    case engine::kLeveller:
        if (engine::clampNormalized(value) == 1.0f) return "off";
        [[fallthrough]];
    default:
        return fixed(q, 2, true) + "dB";
    }
}

std::string valueFieldEditText(std::int32_t tag, float value) {
    if (!isValueField(tag)) return {};
    double q = quantity(tag, value);
    switch (tag) {
    case engine::kTransient:
    case engine::kLink:
    case engine::kRelease:
        return fixed(q, 1);
    case engine::kLeveller:
        if (engine::clampNormalized(value) == 1.0f) return "off";
        [[fallthrough]];
    default:
        return fixed(q, 2);
    }
}

float valueFieldParse(std::int32_t tag, const char* text, float current) {
    if (!isValueField(tag)) return current;
    if (tag == engine::kLeveller && text && isOffText(text)) return 1.0f;
    FieldRange range{};
    switch (tag) {
    case engine::kOutput:
    case engine::kLeveller:
        range = {-12.0, 0.0};
        break;
    case engine::kDrive:
        range = {-24.0, 24.0};
        break;
    case engine::kRelease:
        range = {1.0, 1000.0};
        break;
    default:
        range = {0.0, 100.0};
        break;
    }
    double x = parseLeadingNumber(text);
    if (x < range.low) x = range.low;
    if (x > range.high) x = range.high;
    switch (tag) {
    case engine::kOutput:
    case engine::kLeveller:
        return float((x + 12.0) / 12.0);
    case engine::kDrive:
        return float((x + 24.0) / 48.0);
    case engine::kRelease:
        return float(std::pow(std::log10(x) / 3.0, kReleaseInverseExponent));
    default:
        return float(x / 100.0);
    }
}

} // namespace editor

// ------------------------------------------------------------------------------------ CMyTextEdit

CMyTextEdit::CMyTextEdit(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
                         CBitmap* font, CBitmap* transparentFont)
    : CTextEdit(size, listener, tag, nullptr, background), font(font), transparentFont(transparentFont) {
    if (font) font->remember();
    if (transparentFont) transparentFont->remember();
    setFont(kNormalFontSmaller);
}

CMyTextEdit::~CMyTextEdit() {
    if (font) font->forget();
    if (transparentFont) transparentFont->forget();
}

void CMyTextEdit::printTransparent(CDrawContext* context, CCoord x, CCoord baselineY,
                                   const std::string& text) const {
    // The plain half of the glyph strip: 8 rows per character from the space on.
    if (!transparentFont) return;
    for (char ch : text) {
        int glyph = (ch & 0x7F) - 32;
        if (glyph < 0) glyph = 0;
        transparentFont->drawTransparent(context, CRect(x, baselineY - 7, x + 5, baselineY + 1),
                                         CPoint(0, 8 * glyph));
        x += 6;
    }
}

void CMyTextEdit::draw(CDrawContext* context) {
    if (background) {
        CPoint source(size.left, size.top);
        localToFrame(source);
        background->draw(context, size, source);
    }
    std::string text = displayText();
    CCoord length = CCoord(text.size());
    CCoord x = size.left + (size.getWidth() - 6 * length) / 2;
    if (x < size.left) x = size.left;
    printTransparent(context, x, (size.top + size.bottom) / 2 + 4, text);
    setDirty(false);
}

void CMyTextEdit::takeFocus() {
    if (isEditing()) return;
    setText(editor::valueFieldEditText(tag, value).c_str());
    CTextEdit::takeFocus();
}

void CMyTextEdit::looseFocus() {
    // Clearing the focus view comes back here once more: that inner call commits.
    CFrame* frame = getFrame();
    if (frame && frame->getFocusView() == this) frame->setFocusView(nullptr);
    // Nothing was typed without an entry: the value stays (the stale text must not be sent).
    if (!closeEntry()) return;
    value = editor::valueFieldParse(tag, getText(), value);
    beginEdit();
    if (listener) listener->controlChanged(this);
    endEdit();
    if (frame) frame->invalid();
    for (CViewContainer* c = getParentView(); c; c = c->getParentView())
        if (c->notify(this, kMsgLooseFocus) == kMessageNotified) break;
}

void CMyTextEdit::beginEdit() {
    editor::beginControlEdit(this, false);
}

void CMyTextEdit::endEdit() {
    editor::endControlEdit(this);
}
