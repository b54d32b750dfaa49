#include "editor/editor.h"

#include "editor/info.h"
#include "editor/meter_gr.h"
#include "editor/meter_lcd.h"
#include "editor/meter_level.h"
#include "editor/metering_prefs.h"
#include "editor/my_frame.h"
#include "engine/parameters.h"
#include "engine/plugin.h"
#include "gui/bitmap.h"
#include "gui/tick_source.h"

using engine::centre;
using engine::step;

namespace editor {

int scaleMode(float meterType, float scale) {
    return step(meterType, 2) == 0 ? 0 : step(scale, 3) + 1;
}

} // namespace editor

using namespace editor;

namespace {

// A bitmap resource held while the controls take their own references.
class Art {
public:
    explicit Art(std::int32_t number) : bitmap(new CBitmap(number)) {}
    explicit Art(const char* name) : bitmap(new CBitmap(name)) {}
    ~Art() { bitmap->forget(); }
    Art(const Art&) = delete;
    Art& operator=(const Art&) = delete;
    operator CBitmap*() const { return bitmap; }
    CBitmap* operator->() const { return bitmap; }

private:
    CBitmap* bitmap;
};

} // namespace

Editor::Editor(AudioEffect* effect)
    : CPresetSystemEditor(effect), plugin(dynamic_cast<Plugin*>(effect)), lastIdleTicks(gui::ticks()),
      lastPrefsFlashTicks(lastIdleTicks), uiThread(std::this_thread::get_id()) {
    rect = {0, 0, kHeight, kWidth};
}

Editor::~Editor() {
    if (frame) close();
}

MyFrame* Editor::getMyFrame() const {
    return static_cast<MyFrame*>(frame);
}

bool Editor::onUserInterfaceThread() const {
    return uiThread.load(std::memory_order_relaxed) == std::this_thread::get_id();
}

float Editor::parameter(int index) const {
    return effect ? effect->getParameter(index) : 0.0f;
}

void Editor::automate(int index, float value) {
    if (effect) effect->setParameterAutomated(index, value);
}

// ------------------------------------------------------------------------------- open and close

bool Editor::open(void* parentWindow) {
    if (frame) close();
    AEffEditor::open(parentWindow);
    uiThread.store(std::this_thread::get_id(), std::memory_order_relaxed);
    // The controls start from the current values: what changed before is in them already.
    pendingParameters.store(0, std::memory_order_relaxed);

    Art background(128);
    frame = new MyFrame(CRect(0, 0, background->getWidth(), background->getHeight()), parentWindow, this);
    if (!frame->isOpen()) {
        // No window from the system: nothing is left open.
        delete frame;
        frame = nullptr;
        AEffEditor::close();
        return false;
    }
    frame->setBackground(background);

    const int mode = scaleMode(parameter(engine::kMeterType), parameter(engine::kScale));
    {
        Art peakUnlit(155), peakLit(130), kLit(154), kUnlit(129);
        {
            Art k20(131), k14(132), k12(133);
            meterIn = new CMeterIn(CRect(147, 38, 207, 408), this, kTagMeters, background, peakUnlit, peakLit,
                                   k20, k14, k12, kLit, kUnlit);
            meterIn->setScaleMode(mode);
            frame->addView(meterIn);
        }
        {
            Art k20(134), k14(135), k12(136);
            meterOut = new CMeterOut(CRect(319, 38, 379, 406), this, kTagMeters, background, peakUnlit,
                                     peakLit, k20, k14, k12, kLit, kUnlit);
            meterOut->setScaleMode(mode);
            frame->addView(meterOut);
        }
    }
    {
        Art bar(156), scale(167);
        meterGR = new CMeterGR(CRect(233, 39, 291, 192), this, kTagMeters, bar, scale);
        meterGR->setZoom(parameter(engine::kAttZoom));
        frame->addView(meterGR);
    }
    {
        Art font(137), overFont(138);
        readoutIn = new CMeterLCD(CRect(131, 415, 224, 426), this, kTagMeters, background, font, overFont);
        readoutIn->setScaleMode(mode);
        frame->addView(readoutIn);
        readoutOut = new CMeterLCD(CRect(303, 415, 396, 426), this, kTagMeters, background, font, overFont);
        readoutOut->setScaleMode(mode);
        frame->addView(readoutOut);
        readoutGR = new CMeterLCDGR(CRect(217, 199, 310, 210), this, kTagMeters, background, font);
        frame->addView(readoutGR);
    }

    {
        Art panel(157), font(137), transparentFont("bmp00158.png");
        info = new CInfo(CRect(224, 370, 301, 401), panel, font, transparentFont);
        frame->addView(info);
    }

    info->setLatency(getLatency());
    CPresetSystemEditor::open(parentWindow);
    return true;
}

void Editor::clearControls() {
    meterIn = nullptr;
    meterOut = nullptr;
    meterGR = nullptr;
    readoutIn = readoutOut = nullptr;
    readoutGR = nullptr;
    info = nullptr;
}

void Editor::close() {
    CPresetSystemEditor::close();
    clearControls();
    AEffGUIEditor::close();
}

// --------------------------------------------------------------------------------------- idle

void Editor::idle() {
    const std::uint32_t now = gui::ticks();
    if (now - lastIdleTicks < kMeterInterval) return;
    if (frame) {
        applyPendingChanges();
        if (info && info->getLatency() != getLatency()) info->setLatency(getLatency());
        pollMeters(now);
        if (now - lastPrefsFlashTicks > kPrefsFlash) {
        }
    }
    CPresetSystemEditor::idle();
    lastIdleTicks = now;
}

// -------------------------------------------------------------------------- parameters to controls

void Editor::setParameter(int index, float value) {
    if (index < 0 || index >= engine::kNumParameters) return;
    if (!onUserInterfaceThread()) {
        pendingParameters.fetch_or(std::uint32_t(1) << index, std::memory_order_release);
        return;
    }
    mirror(index, value);
}

void Editor::applyPendingChanges() {
    std::uint32_t changed = pendingParameters.exchange(0, std::memory_order_acquire);
    // The effect's value now, which is the latest whatever order the changes came in.
    for (int index = 0; changed; ++index, changed >>= 1)
        if (changed & 1) mirror(index, parameter(index));
}

void Editor::pollMeters(std::uint32_t now) {
    if (!plugin) return;
    float inPeakL, inPeakR, outPeakL, outPeakR, inRmsL, inRmsR, outRmsL, outRmsR, grL, grR;
    plugin->getMeterValues(inPeakL, inPeakR, outPeakL, outPeakR, inRmsL, inRmsR, outRmsL, outRmsR, grL, grR);
    if (meterIn) meterIn->feed(now, inPeakL, inPeakR, inRmsL, inRmsR);
    if (meterOut) meterOut->feed(now, outPeakL, outPeakR, outRmsL, outRmsR);
    if (meterGR) meterGR->feed(now, grL, grR);
    if (readoutIn) readoutIn->feed(inPeakL, inPeakR);
    if (readoutOut) readoutOut->feed(outPeakL, outPeakR);
    if (readoutGR) readoutGR->feed(grL, grR);
}

void Editor::showScaleMode(int mode) {
    if (meterIn) meterIn->setScaleMode(mode);
    if (meterOut) meterOut->setScaleMode(mode);
    if (readoutIn) readoutIn->setScaleMode(mode);
    if (readoutOut) readoutOut->setScaleMode(mode);
}

void Editor::mirror(int index, float value) {
    if (!frame) return;
    switch (index) {
    case engine::kScale:
        showScaleMode(scaleMode(parameter(engine::kMeterType), value));
        break;
    case engine::kMeterType:
        showScaleMode(scaleMode(value, parameter(engine::kScale)));
        break;
    case engine::kAttZoom:
        if (meterGR) meterGR->setZoom(value);
        break;
    case engine::kAttShow:
        if (meterGR) meterGR->reset();
        if (readoutGR) readoutGR->reset();
        break;
    default:
        break;
    }
}

void Editor::setLatency(int samples) {
    latencySamples.store(samples, std::memory_order_relaxed);
    if (onUserInterfaceThread() && frame && info) info->setLatency(samples);
}

// -------------------------------------------------------------------------- controls to parameters

void Editor::beginEdit(std::int32_t index) {
    if (index >= 0 && index < engine::kNumParameters) AEffGUIEditor::beginEdit(index);
}

void Editor::endEdit(std::int32_t index) {
    if (index >= 0 && index < engine::kNumParameters) AEffGUIEditor::endEdit(index);
}

void Editor::controlChanged(CControl* control) {
    CPresetSystemEditor::controlChanged(control);
    const std::int32_t tag = control->getTag();
    if (tag > kLastEditorTag) return;
    const float value = control->getValue();
    switch (tag) {
    case engine::kOutput:
    case engine::kDrive:
    case engine::kTransient:
    case engine::kRelease:
    case engine::kTransShape:
    case engine::kLink:
    case engine::kDetectorOrder:
    case engine::kPower:
    case engine::kBits:
    case engine::kNoiseShape:
    case engine::kLeveller:
    case engine::kAutoOut:
    case engine::kQuantize:
    case engine::kAutoblack:
        automate(tag, value);
        break;
    case engine::kOversample:
    case engine::kCalibrate:
    case engine::kMeterOvs:
        resetMeters();
        automate(tag, value);
        break;
    case engine::kAttZoom:
        if (meterGR) meterGR->reset();
        automate(tag, value);
        break;
    case engine::kPostMeter:
        if (meterIn) meterIn->reset();
        if (readoutIn) readoutIn->reset();
        automate(tag, value);
        break;
    case kTagMeters:
        resetMeters();
        break;
    case kTagAttShow1:
    case kTagAttShow2:
    case kTagAttShowL: {
        const int bit = tag == kTagAttShow1 ? 1 : tag == kTagAttShow2 ? 2 : 4;
        int mask = step(parameter(engine::kAttShow), 8);
        mask = step(value, 2) ? (mask | bit) : (mask & ~bit);
        automate(engine::kAttShow, centre(mask, 8));
        break;
    }
    default:
        // "Scale", "MeterType", "AttShow" and the placeholders: the mode button sends its own.
        break;
    }
}

void Editor::setMeterTypeStep(int k) {
    automate(engine::kMeterType, centre(k, 2));
}

void Editor::setScaleStep(int k) {
    automate(engine::kScale, centre(k, 3));
}

void Editor::resetMeters() {
    if (meterIn) meterIn->reset();
    if (meterOut) meterOut->reset();
    if (meterGR) meterGR->reset();
    if (readoutIn) readoutIn->reset();
    if (readoutOut) readoutOut->reset();
    if (readoutGR) readoutGR->reset();
}

void Editor::storeMeteringPrefs() {
    std::int32_t steps[6] = {};
    if (effect) meteringSteps(*effect, steps);
    lastPrefsFlashTicks = gui::ticks();
    writeMeteringPrefs(steps);
}
