#include "editor/editor.h"

#include "editor/calib_button.h"
#include "editor/control_table.h"
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

// The two looks of the value fields: under the level knobs (Drive, Output) and under the others.
struct FieldLook {
    const char* transparentFont;
    CColor back;
    CColor font;
};
const FieldLook kLevelField = {"bmp00159.png", {165, 183, 189, 255}, {37, 36, 35, 255}};
const FieldLook kPlainField = {"bmp00158.png", {200, 200, 200, 255}, {79, 79, 79, 255}};

CRect toRect(const window_layout::Rect& r) {
    return CRect(r.l, r.t, r.r, r.b);
}

// A control of the table as the class its kind makes.
template <class T> T* as(CControl* control) {
    return dynamic_cast<T*>(control);
}

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
    for (const ControlRow& row : controlTable()) {
        CControl* control = makeControl(row, background, mode);
        frame->addView(control);
        if (isDisplay(row.kind)) continue;
        if (isValueField(row.kind)) {
            valueFields[row.tag] = static_cast<CMyTextEdit*>(control);
            continue;
        }
        controls[row.tag] = control;
        if (row.alsoTag >= 0) controls[row.alsoTag] = control;
    }

    info->setLatency(getLatency());
    CPresetSystemEditor::open(parentWindow);
    return true;
}

CControl* Editor::makeControl(const ControlRow& row, CBitmap* background, int mode) {
    const CRect r = toRect(row.rect);
    const std::int32_t tag = row.tag;
    const auto& b = row.bitmaps;
    const float quantize = parameter(engine::kQuantize);
    switch (row.kind) {
    case ControlKind::InputMeter:
        meterIn = new CMeterIn(r, this, tag, background, Art(b[0]), Art(b[1]), Art(b[2]), Art(b[3]),
                               Art(b[4]), Art(b[5]), Art(b[6]));
        meterIn->setScaleMode(mode);
        return meterIn;
    case ControlKind::OutputMeter:
        meterOut = new CMeterOut(r, this, tag, background, Art(b[0]), Art(b[1]), Art(b[2]), Art(b[3]),
                                 Art(b[4]), Art(b[5]), Art(b[6]));
        meterOut->setScaleMode(mode);
        return meterOut;
    case ControlKind::GainReductionMeter:
        meterGR = new CMeterGR(r, this, tag, Art(b[0]), Art(b[1]));
        meterGR->setZoom(parameter(engine::kAttZoom));
        return meterGR;
    case ControlKind::InputReadout:
        readoutIn = new CMeterLCD(r, this, tag, background, Art(b[0]), Art(b[1]));
        readoutIn->setScaleMode(mode);
        return readoutIn;
    case ControlKind::OutputReadout:
        readoutOut = new CMeterLCD(r, this, tag, background, Art(b[0]), Art(b[1]));
        readoutOut->setScaleMode(mode);
        return readoutOut;
    case ControlKind::GainReductionReadout:
        readoutGR = new CMeterLCDGR(r, this, tag, background, Art(b[0]));
        return readoutGR;
    case ControlKind::Info:
        info = new CInfo(r, Art(b[0]), Art(b[1]), Art(kPlainField.transparentFont));
        return info;
    case ControlKind::Button:
    case ControlKind::PreferenceButton: {
        const bool preference = row.kind == ControlKind::PreferenceButton;
        auto* button = new CZelmarButton(r, this, tag, Art(b[0]), preference ? this : nullptr);
        if (row.showBit)
            button->setValue(step(parameter(engine::kAttShow), 8) & row.showBit ? 1.0f : 0.0f);
        else
            button->setValue(parameter(tag));
        return button;
    }
    case ControlKind::OversampleButton: {
        auto* button = new COversamplingButton(r, this, tag, Art(b[0]));
        button->setValue(parameter(tag));
        return button;
    }
    case ControlKind::ModeButton: {
        auto* button = new CModeButton(r, this, tag, Art(b[0]), this);
        button->setMeterType(parameter(engine::kMeterType));
        button->setScale(parameter(engine::kScale));
        return button;
    }
    case ControlKind::AutoblackButton: {
        auto* button = new CAutoBlack(r, this, tag, Art(b[0]));
        button->setQuantize(quantize);
        button->setAutoblack(parameter(tag));
        return button;
    }
    case ControlKind::BitsButton: {
        auto* button = new CBits(r, this, tag, Art(b[0]));
        button->setQuantize(quantize);
        button->setBits(parameter(tag));
        return button;
    }
    case ControlKind::NoiseShapeButton: {
        auto* button = new CNoiseShape(r, this, tag, Art(b[0]));
        button->setNoiseShape(parameter(tag));
        button->setQuantize(quantize);
        return button;
    }
    case ControlKind::CalibrateButton: {
        auto* button = new CCalibButton(r, this, tag, Art(b[0]));
        button->setValue(parameter(tag));
        return button;
    }
    case ControlKind::SpeedSwitch: {
        auto* speed = new CSpeedSwitch(r, this, tag, Art(b[0]));
        speed->setValue(parameter(tag));
        return speed;
    }
    case ControlKind::Knob: {
        auto* knob = new CMyKnob(r, this, tag, Art(b[0]), row.frameHeight);
        knob->setValue(parameter(tag));
        knob->setWheelInc(row.wheel);
        knob->setDefaultValue(row.defaultValue);
        return knob;
    }
    case ControlKind::LevelField:
    case ControlKind::PlainField: {
        const FieldLook& look = row.kind == ControlKind::LevelField ? kLevelField : kPlainField;
        auto* field = new CMyTextEdit(r, this, tag, background, Art(b[0]), Art(look.transparentFont));
        field->setBackColor(look.back);
        field->setFontColor(look.font);
        field->setFont(kNormalFontSmaller);
        field->setValue(parameter(tag));
        return field;
    }
    }
    return nullptr;
}

void Editor::clearControls() {
    meterIn = nullptr;
    meterOut = nullptr;
    meterGR = nullptr;
    readoutIn = readoutOut = nullptr;
    readoutGR = nullptr;
    info = nullptr;
    controls.fill(nullptr);
    valueFields.fill(nullptr);
}

void Editor::close() {
    CPresetSystemEditor::close();
    clearControls();
    CFrameEditor::close();
}

CControl* Editor::getControl(int tag) const {
    return tag >= 0 && tag <= kLastEditorTag ? controls[tag] : nullptr;
}

CMyTextEdit* Editor::getValueField(int tag) const {
    return tag >= 0 && tag < engine::kNumParameters ? valueFields[tag] : nullptr;
}

CModeButton* Editor::getModeButton() const {
    return as<CModeButton>(getControl(engine::kScale));
}

CBits* Editor::getBitsButton() const {
    return as<CBits>(getControl(engine::kBits));
}

CNoiseShape* Editor::getNoiseShapeButton() const {
    return as<CNoiseShape>(getControl(engine::kNoiseShape));
}

CAutoBlack* Editor::getAutoblackButton() const {
    return as<CAutoBlack>(getControl(engine::kAutoblack));
}

CCalibButton* Editor::getCalibrateButton() const {
    return as<CCalibButton>(getControl(engine::kCalibrate));
}

// --------------------------------------------------------------------------------------- idle

void Editor::idle() {
    const std::uint32_t now = gui::ticks();
    if (now - lastIdleTicks < kMeterInterval) return;
    if (frame) {
        applyPendingChanges();
        if (info && info->getLatency() != getLatency()) info->setLatency(getLatency());
        pollMeters(now);
        if (CCalibButton* calibrate = getCalibrateButton()) calibrate->tick(now);
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
    if (index == engine::kAttShow) {
        if (meterGR) meterGR->reset();
        if (readoutGR) readoutGR->reset();
        const int mask = step(value, 8);
        for (const ControlRow& row : controlTable())
            if (row.showBit && controls[row.tag])
                controls[row.tag]->setValue(centre(mask & row.showBit ? 1 : 0, 2));
        return;
    }
    if (const ControlRow* row = controlSpec(index)) showValue(row->kind, index, value);
    if (CMyTextEdit* field = getValueField(index)) field->setValue(value);
    // What else shows the parameter.
    switch (index) {
    case engine::kScale:
        showScaleMode(scaleMode(parameter(engine::kMeterType), value));
        break;
    case engine::kMeterType:
        showScaleMode(scaleMode(value, parameter(engine::kScale)));
        break;
    case engine::kQuantize:
        if (CBits* bits = getBitsButton()) bits->setQuantize(value);
        if (CNoiseShape* noiseShape = getNoiseShapeButton()) noiseShape->setQuantize(value);
        if (CAutoBlack* autoblack = getAutoblackButton()) autoblack->setQuantize(value);
        break;
    case engine::kAttZoom:
        if (meterGR) meterGR->setZoom(value);
        break;
    default:
        break;
    }
}

void Editor::showValue(ControlKind kind, int index, float value) {
    CControl* control = getControl(index);
    if (!control) return;
    switch (kind) {
    case ControlKind::Knob:
        control->setValue(value);
        control->setDirty();
        break;
    case ControlKind::ModeButton:
        if (index == engine::kScale)
            as<CModeButton>(control)->setScale(value);
        else
            as<CModeButton>(control)->setMeterType(value);
        break;
    case ControlKind::BitsButton:
        as<CBits>(control)->setBits(value);
        break;
    case ControlKind::NoiseShapeButton:
        as<CNoiseShape>(control)->setNoiseShape(value);
        break;
    case ControlKind::AutoblackButton:
        as<CAutoBlack>(control)->setAutoblack(value);
        break;
    default:
        control->setValue(value);
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
    if (tag == kTagMeters) {
        resetMeters();
        return;
    }
    const ControlRow* row = controlSpec(tag);
    // "Scale" and "MeterType" come from the mode button itself; "AttShow" from its bit buttons; the
    // placeholders have no control.
    if (!row || row->kind == ControlKind::ModeButton) return;
    if (row->showBit) {
        int mask = step(parameter(engine::kAttShow), 8);
        mask = step(value, 2) ? (mask | row->showBit) : (mask & ~row->showBit);
        automate(engine::kAttShow, centre(mask, 8));
        return;
    }
    resetBefore(row->reset);
    automate(tag, value);
}

void Editor::resetBefore(MeterReset reset) {
    switch (reset) {
    case MeterReset::None:
        break;
    case MeterReset::All:
        resetMeters();
        break;
    case MeterReset::GainReduction:
        if (meterGR) meterGR->reset();
        break;
    case MeterReset::Input:
        if (meterIn) meterIn->reset();
        if (readoutIn) readoutIn->reset();
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

std::vector<CZelmarButton*> Editor::preferenceButtons() const {
    std::vector<CZelmarButton*> buttons;
    for (const ControlRow& row : controlTable())
        if (row.kind == ControlKind::PreferenceButton)
            if (auto* button = as<CZelmarButton>(getControl(row.tag))) buttons.push_back(button);
    return buttons;
}

void Editor::highlightPreferences(bool on) {
    for (CZelmarButton* b : preferenceButtons())
        b->setHighlight(on);
    if (CModeButton* mode = getModeButton()) mode->setHighlight(on);
}

bool Editor::anyPreferenceHighlighted() const {
    for (CZelmarButton* b : preferenceButtons())
        if (b->isHighlighted()) return true;
    const CModeButton* mode = getModeButton();
    return mode && mode->isHighlighted();
}

bool Editor::allPreferencesHighlighted() const {
    const std::vector<CZelmarButton*> buttons = preferenceButtons();
    std::size_t preferences = 0;
    for (const ControlRow& row : controlTable())
        preferences += row.kind == ControlKind::PreferenceButton;
    if (buttons.size() != preferences) return false;
    for (CZelmarButton* b : buttons)
        if (!b->isHighlighted()) return false;
    const CModeButton* mode = getModeButton();
    return mode && mode->isHighlighted();
}

void Editor::storeMeteringPrefs() {
    std::int32_t steps[6] = {};
    meteringSteps(link, steps);
    lastPrefsFlashTicks = gui::ticks();
    // The highlight confirms the request, whether or not the store succeeds.
    highlightPreferences(true);
    writeMeteringPrefs(steps);
}
