// The numeric read-outs: the highest peak per channel since the last reset (CMeterLCD, in dBFS, or on
// the K scales in dB relative to the K reference, "dBr"), and the deepest gain reduction per channel
// (CMeterLCDGR). Both compose their picture off screen over a copy of the window background and print
// with the bitmap fonts.
//
// Layout for a control rectangle {L, T, R, B}: the left value's cell {L + 1, B - 10, L + 32, B - 1}
// with its text centred on x = L + 17, the right value's cell {L + 61, B - 10, L + 92, B - 1} centred
// on x = L + 77, the unit between them; every baseline is B - 2.
#pragma once

#include <cstddef>
#include <cstdint>

#include "editor/meter_offscreen.h"
#include "editor/text_printer.h"
#include "gui/bitmap.h"
#include "gui/control.h"

namespace editor {

// Fixed-point texts with one decimal, as printf's "%2.1f" and "%+2.1f" (the sign always shown) print
// them, whatever the C locale: the decimal point is always '.'. Returns text.
char* formatOneDecimal(float value, bool withSign, char* text, std::size_t capacity);

// The text of a peak read-out for a level already shifted to the scale: "-oo" at -100 or below, else
// "%+2.1f".
char* formatPeakReadout(float shiftedDb, char* text, std::size_t capacity);

// What a scale mode adds to a peak in dBFS to read it on that scale: 0, 12, 14, 20.
float scaleShiftDb(int scaleMode);

constexpr float kPeakReadoutResetDb = -120.0f;

} // namespace editor

// The peak read-out.
//
//   CMeterLCD(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
//             CBitmap* font, CBitmap* overFont)
//
// The editor creates one for the input at {131, 415, 224, 426} and one for the output at
// {303, 415, 396, 426}, with tag 27, the window background 128 (the control's background, copied
// behind the read-out from the control's own position) and the fonts 137 (normal) and 138 ("over").
// The bitmaps are retained for the control's life.
class CMeterLCD : public CControl {
public:
    CMeterLCD(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
              CBitmap* font, CBitmap* overFont);

    // The peaks of a poll as linear amplitudes: a channel's maximum rises to 20 log10(peak) when that
    // is higher (a zero peak, minus infinity, never is). Marks for redraw.
    void feed(float peakLeft, float peakRight);
    // 0 peak ("dBFS"), 1 K-12, 2 K-14, 3 K-20 ("dBr", values raised by 12, 14, 20 dB); any other
    // number is taken as peak. Marks for redraw.
    void setScaleMode(int mode);
    int getScaleMode() const { return scaleMode; }
    // Both maxima back to -120 dB (shown as "-oo"). Marks for redraw.
    void reset();

    // A left press tells the listener (the editor resets all meters), marks for redraw, resets this
    // read-out's own maxima and is handled with no moves or release wanted; other buttons are not
    // handled.
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    void draw(CDrawContext* context) override;

    float getMaxDb(int channel) const { return maxDb[channel & 1]; }
    // The value text a channel shows now, as drawn ("-oo", "+0.0", ...).
    void valueText(int channel, char* text, std::size_t capacity) const;

private:
    CTextPrinter2Color printer;
    editor::MeterOffscreen offscreen;
    float maxDb[2] = {editor::kPeakReadoutResetDb, editor::kPeakReadoutResetDb};
    int scaleMode = 0;
};

// The gain-reduction read-out.
//
//   CMeterLCDGR(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
//               CBitmap* font)
//
// The editor creates it at {217, 199, 310, 210} with tag 27, the window background 128 and font 137.
// The bitmaps are retained for the control's life.
class CMeterLCDGR : public CControl {
public:
    CMeterLCDGR(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
                CBitmap* font);

    // The gain factors of a poll (1.0 = no reduction): a channel's minimum falls to 20 log10(gain) when
    // that is lower. Marks for redraw.
    void feed(float gainLeft, float gainRight);
    // Both minima back to 0 dB. Marks for redraw.
    void reset();

    // As CMeterLCD's: tells the listener, marks for redraw, resets its own minima; handled, no moves.
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    void draw(CDrawContext* context) override;

    float getMinDb(int channel) const { return minDb[channel & 1]; }
    void valueText(int channel, char* text, std::size_t capacity) const;

private:
    CTextPrinter printer;
    editor::MeterOffscreen offscreen;
    float minDb[2] = {0.0f, 0.0f};
};
