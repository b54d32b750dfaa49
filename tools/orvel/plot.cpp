#include "tools/orvel/plot.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>

#include "tools/orvel/audio_file.h"
#include "tools/orvel/errors.h"
#include "tools/orvel/report.h"

namespace orvel {

namespace {

constexpr double kLeft = 92, kRight = 36;
constexpr double kHeaderHeight = 128;
constexpr double kPanelGap = 46;
constexpr double kBottom = 58;
constexpr const char* kFont = "DejaVu Sans";

struct Rgb {
    double r, g, b;
};
constexpr Rgb hex(unsigned c) {
    return {double((c >> 16) & 0xff) / 255.0, double((c >> 8) & 0xff) / 255.0, double(c & 0xff) / 255.0};
}
const Rgb kBackground = hex(0xffffff), kPanel = hex(0xf7f8fa), kGrid = hex(0xe1e4e8), kText = hex(0x24292f),
          kMuted = hex(0x6e7781), kInputLine = hex(0x57606a), kOutput = hex(0x1f6fb4),
          kGain = hex(kGainCurveColour), kTarget = hex(0x2da44e), kCeiling = hex(0xcf222e);

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};

void setColour(cairo_t* cr, Rgb c, double alpha = 1.0) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void font(cairo_t* cr, double size, bool bold = false) {
    cairo_select_font_face(cr, kFont, CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
}

enum class Align { Left, Right, Centre };

void text(cairo_t* cr, double x, double y, const std::string& s, Align align = Align::Left) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, s.c_str(), &e);
    if (align == Align::Right) x -= e.x_advance;
    if (align == Align::Centre) x -= e.x_advance / 2.0;
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, s.c_str());
}

double textWidth(cairo_t* cr, const std::string& s) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, s.c_str(), &e);
    return e.x_advance;
}

void dashed(cairo_t* cr, bool on) {
    const double pattern[] = {7.0, 5.0};
    cairo_set_dash(cr, pattern, on ? 2 : 0, 0.0);
}

// A step of 1, 2 or 5 times a power of ten that gives about `count` ticks over `span`.
double niceStep(double span, int count) {
    const double raw = span / std::max(1, count);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= raw) return m * power;
    return 10.0 * power;
}

std::string tickLabel(double v, double step) {
    char buf[32];
    const int decimals = std::max(0, int(std::ceil(-std::log10(step) - 1e-9)));
    std::snprintf(buf, sizeof(buf), "%.*f", decimals, v);
    std::string s = buf;
    if (s == "-0" || s == "-0.0") s = s.substr(1);
    return s;
}

// A panel: a value range on its y axis and the programme's duration on its x axis.
struct Panel {
    PlotRect rect;
    double low, high; // y range
    double seconds;

    double x(double t) const { return rect.x + t / seconds * rect.width; }
    double y(double v) const { return rect.y + (high - v) / (high - low) * rect.height; }
    double clampedY(double v) const { return y(std::clamp(v, low, high)); }
};

void drawPanelFrame(cairo_t* cr, const Panel& p, const std::string& title, const std::string& unit,
                    double yStep, double timeStep) {
    setColour(cr, kPanel);
    cairo_rectangle(cr, p.rect.x, p.rect.y, p.rect.width, p.rect.height);
    cairo_fill(cr);
    cairo_set_line_width(cr, 1.0);
    font(cr, 12.5);
    // Horizontal grid and the value labels.
    for (double v = std::ceil(p.low / yStep) * yStep; v <= p.high + 1e-9; v += yStep) {
        setColour(cr, kGrid);
        cairo_move_to(cr, p.rect.x, std::round(p.y(v)) + 0.5);
        cairo_line_to(cr, p.rect.x + p.rect.width, std::round(p.y(v)) + 0.5);
        cairo_stroke(cr);
        setColour(cr, kMuted);
        text(cr, p.rect.x - 8, p.y(v) + 4.5, tickLabel(v, yStep), Align::Right);
    }
    for (double t = 0.0; t <= p.seconds + 1e-9; t += timeStep) {
        setColour(cr, kGrid);
        cairo_move_to(cr, std::round(p.x(t)) + 0.5, p.rect.y);
        cairo_line_to(cr, std::round(p.x(t)) + 0.5, p.rect.y + p.rect.height);
        cairo_stroke(cr);
    }
    // The title above the panel, the unit beside the axis.
    setColour(cr, kText);
    font(cr, 14.5, true);
    text(cr, p.rect.x, p.rect.y - 9, title);
    setColour(cr, kMuted);
    font(cr, 12.5);
    cairo_save(cr);
    cairo_translate(cr, 22, p.rect.y + p.rect.height / 2.0);
    cairo_rotate(cr, -M_PI / 2.0);
    text(cr, 0, 0, unit, Align::Centre);
    cairo_restore(cr);
}

struct LegendItem {
    std::string label;
    Rgb colour;
    bool dashedLine;
};

// Right-aligned above the panel, on the title's line.
void drawLegend(cairo_t* cr, const Panel& p, const std::vector<LegendItem>& items) {
    font(cr, 12.5);
    double x = p.rect.x + p.rect.width;
    const double y = p.rect.y - 9;
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        const double w = textWidth(cr, it->label);
        x -= w;
        setColour(cr, kText);
        text(cr, x, y, it->label);
        x -= 30;
        setColour(cr, it->colour);
        cairo_set_line_width(cr, 3.0);
        dashed(cr, it->dashedLine);
        cairo_move_to(cr, x, y - 4.5);
        cairo_line_to(cr, x + 22, y - 4.5);
        cairo_stroke(cr);
        dashed(cr, false);
        x -= 22;
    }
}

// The bins that fall into pixel column `column` of `columns`.
std::pair<std::size_t, std::size_t> binsOfColumn(std::size_t bins, int column, int columns) {
    const std::size_t first = std::size_t(double(column) * double(bins) / columns);
    const std::size_t last = std::max(first + 1, std::size_t(double(column + 1) * double(bins) / columns));
    return {std::min(first, bins), std::min(last, bins)};
}

// Filled, or (outline) as two lines along its top and bottom.
void drawEnvelope(cairo_t* cr, const Panel& p, const std::vector<TrackBin>& bins, double binSeconds,
                  Rgb colour, double alpha, bool outline = false) {
    if (bins.empty()) return;
    const int columns = int(p.rect.width);
    const std::size_t drawnBins = std::min(bins.size(), std::size_t(std::ceil(p.seconds / binSeconds)));
    std::vector<double> low(static_cast<std::size_t>(columns)), high(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c) {
        const auto [first, last] = binsOfColumn(drawnBins, c, columns);
        float lo = 0.0f, hi = 0.0f;
        for (std::size_t b = first; b < last; ++b) {
            lo = std::min(lo, bins[b].low);
            hi = std::max(hi, bins[b].high);
        }
        low[std::size_t(c)] = lo;
        high[std::size_t(c)] = hi;
    }
    setColour(cr, colour, alpha);
    cairo_new_path(cr);
    if (outline) {
        cairo_set_line_width(cr, 1.0);
        for (const std::vector<double>* edge : {&high, &low}) {
            cairo_new_sub_path(cr);
            for (int c = 0; c < columns; ++c)
                cairo_line_to(cr, p.rect.x + c + 0.5, p.clampedY((*edge)[std::size_t(c)]));
        }
        cairo_stroke(cr);
        return;
    }
    for (int c = 0; c < columns; ++c)
        cairo_line_to(cr, p.rect.x + c + 0.5, p.clampedY(high[std::size_t(c)]));
    for (int c = columns - 1; c >= 0; --c)
        cairo_line_to(cr, p.rect.x + c + 0.5, p.clampedY(low[std::size_t(c)]));
    cairo_close_path(cr);
    cairo_fill(cr);
}

void horizontalLine(cairo_t* cr, const Panel& p, double v, Rgb colour, bool isDashed, double width = 1.6) {
    if (v < p.low || v > p.high) return;
    setColour(cr, colour);
    cairo_set_line_width(cr, width);
    dashed(cr, isDashed);
    cairo_move_to(cr, p.rect.x, p.y(v));
    cairo_line_to(cr, p.rect.x + p.rect.width, p.y(v));
    cairo_stroke(cr);
    dashed(cr, false);
}

// Columns where the output's true peak is above the ceiling: a red band over the panel's height.
int drawCeilingExcess(cairo_t* cr, const Panel& p, const std::vector<TrackBin>& bins, double binSeconds,
                      double ceiling) {
    const int columns = int(p.rect.width);
    const std::size_t drawnBins = std::min(bins.size(), std::size_t(std::ceil(p.seconds / binSeconds)));
    const float limit = float(std::pow(10.0, ceiling / 20.0));
    int marked = 0;
    for (int c = 0; c < columns; ++c) {
        const auto [first, last] = binsOfColumn(drawnBins, c, columns);
        bool over = false;
        for (std::size_t b = first; b < last && !over; ++b)
            over = bins[b].truePeak > limit;
        if (!over) continue;
        ++marked;
        setColour(cr, kCeiling, 0.18);
        cairo_rectangle(cr, p.rect.x + c, p.rect.y, 1.0, p.rect.height);
        cairo_fill(cr);
        setColour(cr, kCeiling);
        cairo_rectangle(cr, p.rect.x + c, p.rect.y, 1.0, 7.0);
        cairo_fill(cr);
    }
    return marked;
}

// A curve over pixel columns; NaN breaks it.
void drawCurve(cairo_t* cr, const Panel& p, const std::vector<double>& xs, const std::vector<double>& values,
               Rgb colour, double width) {
    setColour(cr, colour);
    cairo_set_line_width(cr, width);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    bool open = false;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!std::isfinite(values[i])) {
            open = false;
            continue;
        }
        if (open)
            cairo_line_to(cr, xs[i], p.clampedY(values[i]));
        else
            cairo_move_to(cr, xs[i], p.clampedY(values[i]));
        open = true;
    }
    cairo_stroke(cr);
}

// The deepest gain change of each pixel column: the limiter's work shows as dips.
std::vector<double> gainColumns(const std::vector<float>& change, std::size_t bins, int columns) {
    std::vector<double> out(static_cast<std::size_t>(columns), std::numeric_limits<double>::quiet_NaN());
    for (int c = 0; c < columns; ++c) {
        const auto [first, last] = binsOfColumn(bins, c, columns);
        for (std::size_t b = first; b < last && b < change.size(); ++b)
            if (!std::isnan(change[b]) && !(double(change[b]) >= out[std::size_t(c)]))
                out[std::size_t(c)] = change[b];
    }
    return out;
}

void rangeOf(const std::vector<double>& values, double& low, double& high) {
    for (double v : values)
        if (std::isfinite(v)) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
}

std::string fileName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

double highestTruePeak(const SignalFigures& f) {
    double peak = 0.0;
    for (const ChannelFigures& c : f.channels)
        peak = std::max(peak, c.truePeak);
    return toDecibels(peak);
}

void drawHeader(cairo_t* cr, const PlotRequest& req, int marked) {
    const Report& r = *req.report;
    setColour(cr, kText);
    font(cr, 21, true);
    text(cr, kLeft, 38, fileName(r.inputPath) + "  \u2192  " + fileName(r.outputPath));
    font(cr, 13.5);
    setColour(cr, kMuted);
    const double seconds = double(r.frames) / double(r.sampleRate);
    text(cr, kPlotWidth - kRight, 38,
         r.effectName + "  \u00b7  " + std::to_string(r.sampleRate) + " Hz, " +
             (r.channels == 1 ? "mono" : "stereo") + ", " + fixedText(seconds, 1) + " s, " + r.outputFormat,
         Align::Right);

    std::string settings = r.presetLabel.empty() ? "no preset" : "preset " + r.presetLabel;
    for (const std::string& s : r.sets)
        settings += "   " + s;
    setColour(cr, kText);
    font(cr, 14);
    text(cr, kLeft, 64, settings);

    const std::string in = "in   " + fixedText(r.input.integratedLufs, 1) + " LUFS   " +
                           fixedText(highestTruePeak(r.input), 2) + " dBTP   LRA " +
                           fixedText(r.input.loudnessRangeLu, 1) + " LU";
    const std::string out = "out  " + fixedText(r.output.integratedLufs, 1) + " LUFS   " +
                            fixedText(highestTruePeak(r.output), 2) + " dBTP   LRA " +
                            fixedText(r.output.loudnessRangeLu, 1) + " LU";
    const std::string gain = "gain reduction  " + fixedText(r.gainReduction.maximumDb, 1) + " dB max, " +
                             fixedText(r.gainReduction.meanDb, 2) + " dB mean";
    const std::string excess = marked == 0
                                   ? "true peak never above the ceiling"
                                   : "true peak above the ceiling in " + std::to_string(marked) + " columns";
    font(cr, 14);
    setColour(cr, kInputLine);
    text(cr, kLeft, 88, in);
    setColour(cr, kOutput);
    text(cr, kLeft + 390, 88, out);
    setColour(cr, kText);
    text(cr, kLeft + 780, 88, gain);
    setColour(cr, marked == 0 ? kTarget : kCeiling);
    text(cr, kPlotWidth - kRight, 88, excess, Align::Right);
    setColour(cr, kMuted);
    font(cr, 13.5);
    std::string notes;
    for (const std::string& n : req.notes)
        notes += (notes.empty() ? "" : "   ") + n;
    if (!notes.empty()) text(cr, kLeft, 111, notes);
}

void draw(cairo_t* cr, const PlotRequest& req) {
    const Report& r = *req.report;
    const SignalTrack& in = *r.inputTrack;
    const SignalTrack& out = *r.outputTrack;
    const PlotLayout layout = plotLayout();
    const double seconds = std::max(double(r.frames) / double(r.sampleRate), 1e-3);
    const double binSeconds = double(out.binFrames()) / double(out.sampleRate());
    const double timeStep = niceStep(seconds, 12);

    setColour(cr, kBackground);
    cairo_paint(cr);

    // Waveforms.
    const Panel wave{layout.waveform, -1.05, 1.05, seconds};
    drawPanelFrame(cr, wave, "Waveform envelopes", "amplitude", 0.5, timeStep);
    // The output filled, the input as its outline over it: where the limiter works, the input's
    // peaks stand out above the output's.
    drawEnvelope(cr, wave, out.bins(), binSeconds, kOutput, 0.75);
    drawEnvelope(cr, wave, in.bins(), binSeconds, kInputLine, 0.9, true);
    const double ceiling = std::pow(10.0, req.ceilingDbtp / 20.0);
    horizontalLine(cr, wave, ceiling, kCeiling, true);
    horizontalLine(cr, wave, -ceiling, kCeiling, true);
    const int marked = drawCeilingExcess(cr, wave, out.bins(), binSeconds, req.ceilingDbtp);
    drawLegend(cr, wave,
               {{"input", kInputLine, false},
                {"output", kOutput, false},
                {"ceiling " + fixedText(req.ceilingDbtp, 1) + " dBTP", kCeiling, true}});

    // Gain change.
    const int columns = int(layout.gain.width);
    std::vector<double> xs(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c)
        xs[std::size_t(c)] = layout.gain.x + c + 0.5;
    const std::vector<float> change = gainChangeDb(in, out);
    const std::size_t drawnBins = std::min(change.size(), std::size_t(std::ceil(seconds / binSeconds)));
    const std::vector<double> gain = gainColumns(change, drawnBins, columns);
    double gLow = r.staticGainDb - 1.0, gHigh = r.staticGainDb + 1.0;
    rangeOf(gain, gLow, gHigh);
    const double gStep = niceStep(gHigh - gLow, 5);
    gLow = std::floor((gLow - 0.25 * gStep) / gStep) * gStep;
    gHigh = std::ceil((gHigh + 0.25 * gStep) / gStep) * gStep;
    const Panel gainPanel{layout.gain, gLow, gHigh, seconds};
    drawPanelFrame(cr, gainPanel, "Gain change, output against input", "dB", gStep, timeStep);
    horizontalLine(cr, gainPanel, r.staticGainDb, kMuted, true, 1.2);
    drawCurve(cr, gainPanel, xs, gain, kGain, 1.8);
    drawLegend(cr, gainPanel,
               {{"gain change", kGain, false},
                {"static gain " + signedText(r.staticGainDb, 2) + " dB", kMuted, true}});

    // Short-term loudness, one value per 100 ms, from the first full 3 s on (before, the window
    // is part silence and the curve would only show it filling).
    const double stSeconds = SignalTrack::kShortTermBins * binSeconds;
    // A programme shorter than the window is drawn from its start.
    const double firstFull = seconds < 3.0 ? 0.0 : 3.0;
    auto loudnessColumns = [&](const std::vector<float>& values) {
        std::vector<double> px, v;
        for (std::size_t k = 0; k < values.size(); ++k) {
            const double t = double(k + 1) * stSeconds;
            if (t > seconds + 1e-9) break;
            if (t < firstFull - 1e-9) continue;
            px.push_back(layout.loudness.x + t / seconds * layout.loudness.width);
            v.push_back(double(values[k]) < -70.0 ? std::nan("") : double(values[k]));
        }
        return std::make_pair(px, v);
    };
    const auto [inX, inL] = loudnessColumns(in.shortTerm());
    const auto [outX, outL] = loudnessColumns(out.shortTerm());
    double lLow = req.targetLufs.value_or(r.output.integratedLufs), lHigh = lLow;
    if (!std::isfinite(lLow)) lLow = lHigh = -23.0;
    rangeOf(inL, lLow, lHigh);
    rangeOf(outL, lLow, lHigh);
    const double lStep = niceStep(std::max(lHigh - lLow, 6.0), 5);
    lLow = std::floor((lLow - 0.5) / lStep) * lStep;
    lHigh = std::ceil((lHigh + 0.5) / lStep) * lStep;
    const Panel loud{layout.loudness, lLow, lHigh, seconds};
    drawPanelFrame(cr, loud, "Short-term loudness (3 s)", "LUFS", lStep, timeStep);
    std::vector<LegendItem> legend = {{"input", kInputLine, false}, {"output", kOutput, false}};
    if (req.targetLufs) {
        horizontalLine(cr, loud, *req.targetLufs, kTarget, true, 1.8);
        legend.push_back({"target " + fixedText(*req.targetLufs, 1) + " LUFS", kTarget, true});
    }
    drawCurve(cr, loud, inX, inL, kInputLine, 1.6);
    drawCurve(cr, loud, outX, outL, kOutput, 2.2);
    drawLegend(cr, loud, legend);

    // The time axis, under the last panel.
    setColour(cr, kMuted);
    font(cr, 12.5);
    for (double t = 0.0; t <= seconds + 1e-9; t += timeStep)
        text(cr, loud.x(t), loud.rect.y + loud.rect.height + 18, tickLabel(t, timeStep), Align::Centre);
    text(cr, loud.rect.x + loud.rect.width / 2.0, loud.rect.y + loud.rect.height + 40, "time (s)",
         Align::Centre);

    drawHeader(cr, req, marked);
}

// One picture per run: afterwards cairo's and fontconfig's caches go, so that a leak checker sees
// only what orvel itself still holds.
void releaseFontCaches() {
    cairo_debug_reset_static_data();
    FcFini();
}

// Releases the caches when the picture's surfaces are gone, on every way out of writing it.
struct FontCacheRelease {
    FontCacheRelease() = default;
    FontCacheRelease(const FontCacheRelease&) = delete;
    FontCacheRelease& operator=(const FontCacheRelease&) = delete;
    ~FontCacheRelease() { releaseFontCaches(); }
};

cairo_status_t appendToFile(void* closure, const unsigned char* data, unsigned int length) {
    return std::fwrite(data, 1, length, static_cast<std::FILE*>(closure)) == length
               ? CAIRO_STATUS_SUCCESS
               : CAIRO_STATUS_WRITE_ERROR;
}

} // namespace

PlotLayout plotLayout() {
    const double width = kPlotWidth - kLeft - kRight;
    const double available = kPlotHeight - kHeaderHeight - kBottom - 3 * kPanelGap;
    const double wave = std::round(available * 0.40), gain = std::round(available * 0.27);
    const double loud = available - wave - gain;
    double y = kHeaderHeight + kPanelGap;
    const PlotRect w{kLeft, y, width, wave};
    y += wave + kPanelGap;
    const PlotRect g{kLeft, y, width, gain};
    y += gain + kPanelGap;
    const PlotRect l{kLeft, y, width, loud};
    return {w, g, l};
}

void writePlot(const PlotRequest& req) {
    if (!req.report || !req.report->inputTrack || !req.report->outputTrack)
        throw Error("internal: the plot needs the tracks of a job");
    const FontCacheRelease releaseAtEnd; // declared first: it runs after the surface is destroyed
    std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, kPlotWidth, kPlotHeight));
    std::unique_ptr<cairo_t, ContextDeleter> cr(cairo_create(surface.get()));
    draw(cr.get(), req);
    cairo_surface_flush(surface.get());
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS)
        throw Error("cannot draw " + req.path + ": " + cairo_status_to_string(cairo_status(cr.get())));
    cr.reset();

    // Beside the final name, renamed when complete, as the audio is.
    namespace fs = std::filesystem;
    const fs::path target(req.path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::error_code ec;
    if (fs::is_directory(target, ec)) throw Error("cannot write " + req.path + ": it is a folder");
    std::string temp = (folder / ("." + target.filename().string() + ".orvel-XXXXXX")).string();
    const int fd = mkstemp(temp.data());
    if (fd < 0) throw Error("cannot write " + req.path + ": " + std::strerror(errno));
    applyCreationMode(fd);
    std::FILE* file = fdopen(fd, "wb");
    const cairo_status_t written = file ? cairo_surface_write_to_png_stream(surface.get(), appendToFile, file)
                                        : CAIRO_STATUS_WRITE_ERROR;
    const bool closed = file ? std::fclose(file) == 0 : close(fd) == 0;
    if (written != CAIRO_STATUS_SUCCESS || !closed || std::rename(temp.c_str(), req.path.c_str()) != 0) {
        const std::string reason =
            written != CAIRO_STATUS_SUCCESS ? cairo_status_to_string(written) : std::strerror(errno);
        unlink(temp.c_str());
        throw Error("cannot write " + req.path + ": " + reason);
    }
}

} // namespace orvel
