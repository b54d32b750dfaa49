#include "editor/meter_lcd.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "editor/meter_level.h"

namespace editor {

char* formatOneDecimal(float value, bool withSign, char* text, std::size_t capacity) {
    if (!text || capacity == 0) return text;
    text[0] = '\0';
    char digits[64];
    // Correctly rounded from the exact binary value, as printf rounds a float promoted to double.
    const std::to_chars_result r =
        std::to_chars(digits, digits + sizeof digits, double(value), std::chars_format::fixed, 1);
    if (r.ec != std::errc()) return text;
    const std::size_t length = std::size_t(r.ptr - digits);
    const bool plus = withSign && digits[0] != '-';
    if (length + (plus ? 1 : 0) + 1 > capacity) return text;
    char* out = text;
    if (plus) *out++ = '+';
    std::memcpy(out, digits, length);
    out[length] = '\0';
    return text;
}

char* formatPeakReadout(float shiftedDb, char* text, std::size_t capacity) {
    if (shiftedDb <= -100.0f) {
        if (text && capacity >= 4) std::memcpy(text, "-oo", 4);
        return text;
    }
    return formatOneDecimal(shiftedDb, true, text, capacity);
}

float scaleShiftDb(int scaleMode) {
    switch (scaleMode) {
    case kScaleK12:
        return 12.0f;
    case kScaleK14:
        return 14.0f;
    case kScaleK20:
        return 20.0f;
    default:
        return 0.0f;
    }
}

namespace {

constexpr std::size_t kTextCapacity = 32;

// The geometry shared by both read-outs, from the control's rectangle.
CRect valueCell(const CRect& size, int channel) {
    const CCoord left = size.left + (channel ? 61 : 1);
    return CRect(left, size.bottom - 10, left + 31, size.bottom - 1);
}

CCoord valueTextX(const CRect& size, int channel, const char* text) {
    return size.left + (channel ? 77 : 17) - 3 * CCoord(std::strlen(text));
}

CCoord baseline(const CRect& size) {
    return size.bottom - 2;
}

// The window background behind the control, then the fill colour grey.
void paintBackground(CBitmap* background, CDrawContext* surface, const CRect& size) {
    if (background) background->draw(surface, size, size.getTopLeft());
    surface->setFillColor(kCellGrey);
}

void fillCell(CDrawContext* surface, const CRect& cell, const CColor& colour) {
    surface->setFillColor(colour);
    surface->fillRect(cell);
}

float levelDb(float amplitude) {
    return float(20.0 * std::log10(double(amplitude)));
}

} // namespace

} // namespace editor

using namespace editor;

// -------------------------------------------------------------------------------------- CMeterLCD

CMeterLCD::CMeterLCD(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
                     CBitmap* font, CBitmap* overFont)
    : CControl(size, listener, tag, background), printer(font, overFont) {}

void CMeterLCD::feed(float peakLeft, float peakRight) {
    const float peaks[2] = {peakLeft, peakRight};
    for (int c = 0; c < 2; ++c) {
        const float db = levelDb(peaks[c]);
        if (db > maxDb[c]) maxDb[c] = db;
    }
    setDirty();
}

void CMeterLCD::setScaleMode(int mode) {
    scaleMode = mode >= kScalePeak && mode <= kScaleK20 ? mode : kScalePeak;
    setDirty();
}

void CMeterLCD::reset() {
    maxDb[0] = maxDb[1] = kPeakReadoutResetDb;
    setDirty();
}

CMouseEventResult CMeterLCD::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    if (listener) listener->controlChanged(this);
    setDirty();
    maxDb[0] = maxDb[1] = kPeakReadoutResetDb;
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void CMeterLCD::valueText(int channel, char* text, std::size_t capacity) const {
    formatPeakReadout(maxDb[channel & 1] + scaleShiftDb(scaleMode), text, capacity);
}

void CMeterLCD::draw(CDrawContext* context) {
    COffscreenContext* surface = offscreen.get(*this);
    paintBackground(background, surface, size);

    const CCoord y = baseline(size);
    if (scaleMode == kScalePeak) {
        printer.print(surface, size.left + 35, y, "dBFS");
    } else {
        printer.print(surface, size.left + 35, y, "    ");
        printer.print(surface, size.left + 38, y, "dBr");
    }

    for (int c = 0; c < 2; ++c) {
        char text[kTextCapacity];
        valueText(c, text, sizeof text);
        // A peak over full scale turns the cell red on every scale.
        const bool over = maxDb[c] > 0.0f;
        fillCell(surface, valueCell(size, c), over ? kCellOver : kCellGrey);
        printer.print(surface, valueTextX(size, c, text), y, text, false, true, over);
    }

    offscreen.show(*this, context);
    setDirty(false);
}

// ------------------------------------------------------------------------------------ CMeterLCDGR

CMeterLCDGR::CMeterLCDGR(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
                         CBitmap* font)
    : CControl(size, listener, tag, background), printer(font, nullptr) {}

void CMeterLCDGR::feed(float gainLeft, float gainRight) {
    const float gains[2] = {gainLeft, gainRight};
    for (int c = 0; c < 2; ++c) {
        const float db = levelDb(gains[c]);
        if (db < minDb[c]) minDb[c] = db;
    }
    setDirty();
}

void CMeterLCDGR::reset() {
    minDb[0] = minDb[1] = 0.0f;
    setDirty();
}

CMouseEventResult CMeterLCDGR::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    if (listener) listener->controlChanged(this);
    setDirty();
    minDb[0] = minDb[1] = 0.0f;
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void CMeterLCDGR::valueText(int channel, char* text, std::size_t capacity) const {
    formatOneDecimal(minDb[channel & 1], false, text, capacity);
}

void CMeterLCDGR::draw(CDrawContext* context) {
    COffscreenContext* surface = offscreen.get(*this);
    paintBackground(background, surface, size);

    const CCoord y = baseline(size);
    printer.print(surface, size.left + 41, y, "dB");
    for (int c = 0; c < 2; ++c) {
        char text[kTextCapacity];
        valueText(c, text, sizeof text);
        fillCell(surface, valueCell(size, c), kCellGrey);
        printer.print(surface, valueTextX(size, c, text), y, text, false, true, false);
    }

    offscreen.show(*this, context);
    setDirty(false);
}
