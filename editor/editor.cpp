#include "editor/editor.h"

#include <bit>

#include "editor/calib_button.h"
#include "editor/info.h"
#include "editor/meter_gr.h"
#include "editor/meter_lcd.h"
#include "editor/meter_level.h"
#include "editor/metering_prefs.h"
#include "editor/mode_button.h"
#include "editor/my_frame.h"
#include "editor/my_knob.h"
#include "editor/my_text_edit.h"
#include "editor/quantize_buttons.h"
#include "editor/speed_switch.h"
#include "editor/zelmar_buttons.h"
#include "engine/parameters.h"
#include "gui/bitmap.h"
#include "gui/font.h"
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

// Knob wheel increments (the arrow keys' step) and the values a control-click restores, as the
// exact floats the knobs have always used.
const float kWheelFine = 0.03125f;
const float kWheelLevel = std::bit_cast<float>(0x3D55555Cu);       // 0.0520834: 1/24 of the range
const float kWheelDrive = std::bit_cast<float>(0x3C55555Cu);       // 0.0130208: 1/96 of the range
const float kDefaultTransient = std::bit_cast<float>(0x3E4CCCCDu); // 0.2
const float kDefaultRelease = std::bit_cast<float>(0x3F394467u);   // 0.7237

// The two looks of the value fields: under the level knobs (Drive, Output) and under the others.
struct FieldLook {
    const char* transparentFont;
    CColor back;
    CColor font;
};
const FieldLook kLevelField = {"bmp00159.png", {165, 183, 189, 255}, {37, 36, 35, 255}};
const FieldLook kPlainField = {"bmp00158.png", {200, 200, 200, 255}, {79, 79, 79, 255}};

} // namespace

Editor::Editor(editor::EffectLink& link)
    : CPresetSystemEditor(&link, link.presetStore()), link(link), lastIdleTicks(gui::ticks()),
      lastPrefsFlashTicks(lastIdleTicks), uiThread(std::this_thread::get_id()) {
    rect = CRect(0, 0, kWidth, kHeight);
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
    return link.getParameter(index);
}

void Editor::automate(int index, float value) {
    const bool ownGesture = index >= 0 && index < engine::kNumParameters && openEdits[index] == 0;
    if (ownGesture) beginEdit(index);
    link.automate(index, value);
    if (ownGesture) endEdit(index);
}

// ------------------------------------------------------------------------------- open and close

bool Editor::open(void* parentWindow) {
    if (frame) close();
    CFrameEditor::open(parentWindow);
    uiThread.store(std::this_thread::get_id(), std::memory_order_relaxed);
    // The controls start from the current values: what changed before is in them already.
    pendingParameters.store(0, std::memory_order_relaxed);
    // A gesture cut off by the last close (a drag while the host closed the window) is over.
    openEdits.fill(0);

    Art background(128);
    frame = new MyFrame(CRect(0, 0, background->getWidth(), background->getHeight()), parentWindow, this);
    if (!frame->isOpen()) {
        // No window from the system: nothing is left open.
        delete frame;
        frame = nullptr;
        CFrameEditor::close();
        return false;
    }
    frame->setBackground(background);

    const int mode = scaleMode(parameter(engine::kMeterType), parameter(engine::kScale));
    const auto add = [this](CControl* control) { frame->addView(control); };

    // 1 - 6: the meters and read-outs.
    {
        Art peakUnlit(155), peakLit(130), kLit(154), kUnlit(129);
        {
            Art k20(131), k14(132), k12(133);
            meterIn = new CMeterIn(CRect(147, 38, 207, 408), this, kTagMeters, background, peakUnlit, peakLit,
                                   k20, k14, k12, kLit, kUnlit);
            meterIn->setScaleMode(mode);
            add(meterIn);
        }
        {
            Art k20(134), k14(135), k12(136);
            meterOut = new CMeterOut(CRect(319, 38, 379, 406), this, kTagMeters, background, peakUnlit,
                                     peakLit, k20, k14, k12, kLit, kUnlit);
            meterOut->setScaleMode(mode);
            add(meterOut);
        }
    }
    {
        Art bar(156), scale(167);
        meterGR = new CMeterGR(CRect(233, 39, 291, 192), this, kTagMeters, bar, scale);
        meterGR->setZoom(parameter(engine::kAttZoom));
        add(meterGR);
    }
    {
        Art font(137), overFont(138);
        readoutIn = new CMeterLCD(CRect(131, 415, 224, 426), this, kTagMeters, background, font, overFont);
        readoutIn->setScaleMode(mode);
        add(readoutIn);
        readoutOut = new CMeterLCD(CRect(303, 415, 396, 426), this, kTagMeters, background, font, overFont);
        readoutOut->setScaleMode(mode);
        add(readoutOut);
        readoutGR = new CMeterLCDGR(CRect(217, 199, 310, 210), this, kTagMeters, background, font);
        add(readoutGR);
    }

    // 7 - 18: the buttons.
    const auto button = [&](const CRect& r, std::int32_t tag, std::int32_t bitmap, bool preference) {
        Art art(bitmap);
        auto* b = new CZelmarButton(r, this, tag, art, preference ? this : nullptr);
        if (tag < engine::kNumParameters) b->setValue(parameter(tag));
        add(b);
        return b;
    };
    orderButton = button(CRect(44, 40, 77, 59), engine::kDetectorOrder, 139, false);
    {
        Art art(140);
        oversampleButton = new COversamplingButton(CRect(81, 40, 114, 59), this, engine::kOversample, art);
        oversampleButton->setValue(parameter(engine::kOversample));
        add(oversampleButton);
    }
    {
        Art art(141);
        modeButton = new CModeButton(CRect(223, 305, 258, 361), this, engine::kScale, art, this);
        modeButton->setMeterType(parameter(engine::kMeterType));
        modeButton->setScale(parameter(engine::kScale));
        add(modeButton);
    }
    quantizeButton = button(CRect(412, 40, 445, 59), engine::kQuantize, 162, false);
    const float quantize = parameter(engine::kQuantize);
    {
        Art art(163);
        autoblackButton = new CAutoBlack(CRect(449, 40, 482, 59), this, engine::kAutoblack, art);
        autoblackButton->setQuantize(quantize);
        autoblackButton->setAutoblack(parameter(engine::kAutoblack));
        add(autoblackButton);
    }
    {
        Art art(142);
        bitsButton = new CBits(CRect(412, 78, 445, 97), this, engine::kBits, art);
        bitsButton->setQuantize(quantize);
        bitsButton->setBits(parameter(engine::kBits));
        add(bitsButton);
    }
    {
        Art art(143);
        noiseShapeButton = new CNoiseShape(CRect(449, 78, 482, 97), this, engine::kNoiseShape, art);
        noiseShapeButton->setNoiseShape(parameter(engine::kNoiseShape));
        noiseShapeButton->setQuantize(quantize);
        add(noiseShapeButton);
    }
    {
        Art art(145);
        calibrateButton = new CCalibButton(CRect(269, 341, 302, 360), this, engine::kCalibrate, art);
        calibrateButton->setValue(parameter(engine::kCalibrate));
        add(calibrateButton);
    }
    zoomButton = button(CRect(269, 265, 302, 284), engine::kAttZoom, 144, true);
    attShowButtons[0] = button(CRect(224, 265, 257, 284), kTagAttShow1, 164, true);
    attShowButtons[1] = button(CRect(224, 230, 257, 249), kTagAttShow2, 165, true);
    attShowButtons[2] = button(CRect(269, 230, 302, 249), kTagAttShowL, 166, true);
    const int mask = step(parameter(engine::kAttShow), 8);
    for (int i = 0; i < 3; ++i)
        attShowButtons[i]->setValue(mask & (1 << i) ? 1.0f : 0.0f);

    // 19 - 28: knobs, the shape switch, power and the two small switches.
    const auto knob = [&](const CRect& r, std::int32_t tag, std::int32_t bitmap, CCoord frameHeight,
                          float wheel, float defaultValue) {
        Art art(bitmap);
        auto* k = new CMyKnob(r, this, tag, art, frameHeight);
        k->setValue(parameter(tag));
        k->setWheelInc(wheel);
        k->setDefaultValue(defaultValue);
        add(k);
        return k;
    };
    transientKnob =
        knob(CRect(55, 169, 105, 217), engine::kTransient, 152, 48, kWheelFine, kDefaultTransient);
    releaseKnob = knob(CRect(56, 267, 105, 314), engine::kRelease, 153, 47, kWheelFine, kDefaultRelease);
    levellerKnob = knob(CRect(421, 169, 469, 216), engine::kLeveller, 147, 47, kWheelLevel, 1.0f);
    linkKnob = knob(CRect(421, 267, 469, 314), engine::kLink, 148, 47, kWheelFine, 1.0f);
    {
        Art art(146);
        speedSwitch = new CSpeedSwitch(CRect(38, 121, 128, 146), this, engine::kTransShape, art);
        speedSwitch->setValue(parameter(engine::kTransShape));
        add(speedSwitch);
    }
    powerButton = button(CRect(245, 400, 280, 435), engine::kPower, 149, false);
    // The drive knob keeps the toolkit's default value, 0.5 (0 dB).
    driveKnob = knob(CRect(52, 349, 108, 404), engine::kDrive, 150, 55, kWheelDrive, 0.5f);
    outputKnob = knob(CRect(417, 349, 475, 405), engine::kOutput, 151, 56, kWheelLevel, 1.0f);
    autoOutButton = button(CRect(394, 368, 412, 392), engine::kAutoOut, 161, false);
    postMeterButton = button(CRect(116, 368, 134, 392), engine::kPostMeter, 161, true);

    // 29: the info panel (no listener).
    {
        Art panel(157), font(137), transparentFont("bmp00158.png");
        info = new CInfo(CRect(224, 370, 301, 401), panel, font, transparentFont);
        add(info);
    }

    // 30 - 35: the value fields under the knobs.
    const auto field = [&](const CRect& r, std::int32_t tag, const FieldLook& look) {
        Art font(137), transparentFont(look.transparentFont);
        auto* f = new CMyTextEdit(r, this, tag, background, font, transparentFont);
        f->setBackColor(look.back);
        f->setFontColor(look.font);
        f->setFont(kNormalFontSmaller);
        f->setValue(parameter(tag));
        add(f);
        return f;
    };
    driveField = field(CRect(43, 409, 117, 427), engine::kDrive, kLevelField);
    outputField = field(CRect(410, 409, 484, 427), engine::kOutput, kLevelField);
    transientField = field(CRect(45, 221, 119, 239), engine::kTransient, kPlainField);
    releaseField = field(CRect(45, 319, 119, 337), engine::kRelease, kPlainField);
    levellerField = field(CRect(411, 221, 485, 239), engine::kLeveller, kPlainField);
    linkField = field(CRect(411, 319, 485, 337), engine::kLink, kPlainField);

    // 36.
    meterOvsButton = button(CRect(269, 307, 302, 326), engine::kMeterOvs, 160, true);

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
    orderButton = quantizeButton = zoomButton = powerButton = autoOutButton = postMeterButton =
        meterOvsButton = nullptr;
    oversampleButton = nullptr;
    modeButton = nullptr;
    autoblackButton = nullptr;
    bitsButton = nullptr;
    noiseShapeButton = nullptr;
    calibrateButton = nullptr;
    attShowButtons[0] = attShowButtons[1] = attShowButtons[2] = nullptr;
    transientKnob = releaseKnob = levellerKnob = linkKnob = driveKnob = outputKnob = nullptr;
    speedSwitch = nullptr;
    info = nullptr;
    driveField = outputField = transientField = releaseField = levellerField = linkField = nullptr;
}

void Editor::close() {
    CPresetSystemEditor::close();
    clearControls();
    CFrameEditor::close();
}

CControl* Editor::getControl(int tag) const {
    switch (tag) {
    case engine::kOutput:
        return outputKnob;
    case engine::kDrive:
        return driveKnob;
    case engine::kTransient:
        return transientKnob;
    case engine::kRelease:
        return releaseKnob;
    case engine::kTransShape:
        return speedSwitch;
    case engine::kLink:
        return linkKnob;
    case engine::kOversample:
        return oversampleButton;
    case engine::kDetectorOrder:
        return orderButton;
    case engine::kPower:
        return powerButton;
    case engine::kScale:
    case engine::kMeterType:
        return modeButton;
    case engine::kBits:
        return bitsButton;
    case engine::kNoiseShape:
        return noiseShapeButton;
    case engine::kCalibrate:
        return calibrateButton;
    case engine::kLeveller:
        return levellerKnob;
    case engine::kMeterOvs:
        return meterOvsButton;
    case engine::kAutoOut:
        return autoOutButton;
    case engine::kQuantize:
        return quantizeButton;
    case engine::kAutoblack:
        return autoblackButton;
    case engine::kAttZoom:
        return zoomButton;
    case engine::kPostMeter:
        return postMeterButton;
    case kTagAttShow1:
        return attShowButtons[0];
    case kTagAttShow2:
        return attShowButtons[1];
    case kTagAttShowL:
        return attShowButtons[2];
    default:
        return nullptr;
    }
}

CMyTextEdit* Editor::getValueField(int tag) const {
    switch (tag) {
    case engine::kOutput:
        return outputField;
    case engine::kDrive:
        return driveField;
    case engine::kTransient:
        return transientField;
    case engine::kRelease:
        return releaseField;
    case engine::kLink:
        return linkField;
    case engine::kLeveller:
        return levellerField;
    default:
        return nullptr;
    }
}

// --------------------------------------------------------------------------------------- idle

void Editor::idle() {
    const std::uint32_t now = gui::ticks();
    if (now - lastIdleTicks < kMeterInterval) return;
    if (frame) {
        applyPendingChanges();
        if (info && info->getLatency() != getLatency()) info->setLatency(getLatency());
        pollMeters(now);
        if (calibrateButton) calibrateButton->tick(now);
        if (now - lastPrefsFlashTicks > kPrefsFlash) highlightPreferences(false);
    }
    CPresetSystemEditor::idle();
    lastIdleTicks = now;
}

void Editor::pollMeters(std::uint32_t now) {
    MeterValues v;
    if (!link.pollMeters(v)) return;
    if (meterIn) meterIn->feed(now, v.inPeakL, v.inPeakR, v.inRmsL, v.inRmsR);
    if (meterOut) meterOut->feed(now, v.outPeakL, v.outPeakR, v.outRmsL, v.outRmsR);
    if (meterGR) meterGR->feed(now, v.grL, v.grR);
    if (readoutIn) readoutIn->feed(v.inPeakL, v.inPeakR);
    if (readoutOut) readoutOut->feed(v.outPeakL, v.outPeakR);
    if (readoutGR) readoutGR->feed(v.grL, v.grR);
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

void Editor::showScaleMode(int mode) {
    if (meterIn) meterIn->setScaleMode(mode);
    if (meterOut) meterOut->setScaleMode(mode);
    if (readoutIn) readoutIn->setScaleMode(mode);
    if (readoutOut) readoutOut->setScaleMode(mode);
}

void Editor::mirror(int index, float value) {
    if (!frame) return;
    switch (index) {
    case engine::kOutput:
    case engine::kDrive:
    case engine::kTransient:
    case engine::kRelease:
    case engine::kLink:
    case engine::kLeveller:
        if (CControl* knob = getControl(index)) {
            knob->setValue(value);
            knob->setDirty();
        }
        if (CMyTextEdit* field = getValueField(index)) field->setValue(value);
        break;
    case engine::kTransShape:
    case engine::kOversample:
    case engine::kDetectorOrder:
    case engine::kPower:
    case engine::kCalibrate:
    case engine::kMeterOvs:
    case engine::kAutoOut:
    case engine::kPostMeter:
        if (CControl* control = getControl(index)) control->setValue(value);
        break;
    case engine::kScale:
        if (modeButton) modeButton->setScale(value);
        showScaleMode(scaleMode(parameter(engine::kMeterType), value));
        break;
    case engine::kBits:
        if (bitsButton) bitsButton->setBits(value);
        break;
    case engine::kNoiseShape:
        if (noiseShapeButton) noiseShapeButton->setNoiseShape(value);
        break;
    case engine::kQuantize:
        if (quantizeButton) quantizeButton->setValue(value);
        if (bitsButton) bitsButton->setQuantize(value);
        if (noiseShapeButton) noiseShapeButton->setQuantize(value);
        if (autoblackButton) autoblackButton->setQuantize(value);
        break;
    case engine::kAutoblack:
        if (autoblackButton) autoblackButton->setAutoblack(value);
        break;
    case engine::kMeterType:
        if (modeButton) modeButton->setMeterType(value);
        showScaleMode(scaleMode(value, parameter(engine::kScale)));
        break;
    case engine::kAttZoom:
        if (zoomButton) zoomButton->setValue(value);
        if (meterGR) meterGR->setZoom(value);
        break;
    case engine::kAttShow: {
        if (meterGR) meterGR->reset();
        if (readoutGR) readoutGR->reset();
        const int mask = step(value, 8);
        for (int i = 0; i < 3; ++i)
            if (attShowButtons[i]) attShowButtons[i]->setValue(centre(mask & (1 << i) ? 1 : 0, 2));
        break;
    }
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
    if (index < 0 || index >= engine::kNumParameters) return;
    ++openEdits[index];
    CPresetSystemEditor::beginEdit(index);
}

void Editor::endEdit(std::int32_t index) {
    if (index < 0 || index >= engine::kNumParameters) return;
    if (openEdits[index] > 0) --openEdits[index];
    CPresetSystemEditor::endEdit(index);
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
        // "Scale" and "MeterType" (the mode button sends its own), "AttShow" (its bit buttons do),
        // the placeholders.
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

// ------------------------------------------------------------------------- metering preferences

void Editor::highlightPreferences(bool on) {
    for (CZelmarButton* b : {attShowButtons[0], attShowButtons[1], attShowButtons[2], zoomButton,
                             meterOvsButton, postMeterButton})
        if (b) b->setHighlight(on);
    if (modeButton) modeButton->setHighlight(on);
}

bool Editor::anyPreferenceHighlighted() const {
    for (CZelmarButton* b : {attShowButtons[0], attShowButtons[1], attShowButtons[2], zoomButton,
                             meterOvsButton, postMeterButton})
        if (b && b->isHighlighted()) return true;
    return modeButton && modeButton->isHighlighted();
}

bool Editor::allPreferencesHighlighted() const {
    for (CZelmarButton* b : {attShowButtons[0], attShowButtons[1], attShowButtons[2], zoomButton,
                             meterOvsButton, postMeterButton})
        if (!b || !b->isHighlighted()) return false;
    return modeButton && modeButton->isHighlighted();
}

void Editor::storeMeteringPrefs() {
    std::int32_t steps[6] = {};
    meteringSteps(link, steps);
    lastPrefsFlashTicks = gui::ticks();
    // The highlight confirms the request, whether or not the store succeeds.
    highlightPreferences(true);
    writeMeteringPrefs(steps);
}
