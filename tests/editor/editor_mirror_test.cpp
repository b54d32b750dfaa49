// Parameter changes from anywhere (the host, a preset, the editor itself) move the controls: the
// mirror table of the editor, one row per parameter.
#include <gtest/gtest.h>

#include <functional>

#include "editor/calib_button.h"
#include "editor/meter_gr.h"
#include "editor/meter_lcd.h"
#include "editor/meter_level.h"
#include "editor/mode_button.h"
#include "editor/my_knob.h"
#include "editor/my_text_edit.h"
#include "editor/quantize_buttons.h"
#include "editor/speed_switch.h"
#include "editor/zelmar_buttons.h"
#include "support/editor_host.h"

using namespace editortest;
using engine::centre;

namespace {

struct Mirror {
    const char* what;
    std::vector<std::pair<int, float>> setup; // before the window opens
    int index;
    float value;
    std::function<void(Editor&)> check;
};

template <class T> T& as(CControl* control) {
    EXPECT_NE(dynamic_cast<T*>(control), nullptr);
    return *dynamic_cast<T*>(control);
}

// A knob's parameter: the knob and its value field show the value.
Mirror knobRow(int index, float value, const char* shown) {
    return {shown, {}, index, value, [=](Editor& e) {
                CMyKnob& knob = as<CMyKnob>(e.getControl(index));
                EXPECT_EQ(knob.getValue(), value);
                EXPECT_EQ(knob.frameIndex(), int(100.0f * value));
                EXPECT_EQ(e.getValueField(index)->getValue(), value);
                EXPECT_EQ(e.getValueField(index)->displayText(), shown);
            }};
}

// A control that takes the value as it comes.
Mirror valueRow(const char* what, int index, float value, int frame) {
    return {what, {}, index, value, [=](Editor& e) {
                CControl* c = e.getControl(index);
                ASSERT_NE(c, nullptr);
                EXPECT_EQ(c->getValue(), value);
                if (auto* b = dynamic_cast<CZelmarButton*>(c)) {
                    EXPECT_EQ(b->frameIndex(), frame);
                } else if (auto* o = dynamic_cast<COversamplingButton*>(c)) {
                    EXPECT_EQ(o->frameIndex(), frame);
                } else if (auto* s = dynamic_cast<CSpeedSwitch*>(c)) {
                    EXPECT_EQ(s->frameIndex(), frame);
                }
            }};
}

void expectScaleMode(Editor& e, int mode) {
    EXPECT_EQ(e.getInputMeter()->getScaleMode(), mode);
    EXPECT_EQ(e.getOutputMeter()->getScaleMode(), mode);
    EXPECT_EQ(e.getInputReadout()->getScaleMode(), mode);
    EXPECT_EQ(e.getOutputReadout()->getScaleMode(), mode);
}

const std::vector<Mirror>& rows() {
    static const std::vector<Mirror> table = {
        knobRow(engine::kOutput, 0.25f, "-9.00dB"),
        knobRow(engine::kDrive, 0.75f, "+12.00dB"),
        knobRow(engine::kTransient, 0.5f, "50.0%"),
        knobRow(engine::kRelease, 1.0f, "1000.0ms"),
        knobRow(engine::kLink, 0.0f, "0.0%"),
        knobRow(engine::kLeveller, 1.0f, "off"),
        valueRow("TransShape med", engine::kTransShape, centre(1, 3), 1),
        valueRow("Oversample on", engine::kOversample, 0.75f, 1),
        valueRow("DetectorOrder II", engine::kDetectorOrder, 0.75f, 1),
        valueRow("Power off", engine::kPower, 0.25f, 0),
        valueRow("Calibrate l+r", engine::kCalibrate, centre(2, 4), -1),
        valueRow("MeterOvs on", engine::kMeterOvs, 0.75f, 1),
        valueRow("AutoOut on", engine::kAutoOut, 1.0f, 1),
        valueRow("PostMeter post", engine::kPostMeter, 0.75f, 1),
        {"Scale K-20 in k-system",
         {{engine::kMeterType, 0.75f}, {engine::kScale, centre(0, 3)}},
         engine::kScale,
         centre(2, 3),
         [](Editor& e) {
             EXPECT_EQ(e.getModeButton()->getScaleStep(), 2);
             expectScaleMode(e, 3);
         }},
        {"Scale K-14 in peak mode",
         {{engine::kMeterType, 0.25f}, {engine::kScale, centre(0, 3)}},
         engine::kScale,
         centre(1, 3),
         [](Editor& e) {
             EXPECT_EQ(e.getModeButton()->getScaleStep(), 1);
             expectScaleMode(e, 0);
         }},
        {"MeterType peak forces scale mode 0",
         {{engine::kMeterType, 0.75f}, {engine::kScale, centre(2, 3)}},
         engine::kMeterType,
         0.25f,
         [](Editor& e) {
             EXPECT_EQ(e.getModeButton()->getMeterTypeStep(), 0);
             EXPECT_EQ(e.getModeButton()->getScaleStep(), 2);
             expectScaleMode(e, 0);
         }},
        {"MeterType k-system restores the scale",
         {{engine::kMeterType, 0.25f}, {engine::kScale, centre(1, 3)}},
         engine::kMeterType,
         0.75f,
         [](Editor& e) {
             EXPECT_EQ(e.getModeButton()->getMeterTypeStep(), 1);
             expectScaleMode(e, 2);
         }},
        {"Bits 8",
         {{engine::kBits, 1.0f}},
         engine::kBits,
         0.1f,
         [](Editor& e) { EXPECT_EQ(e.getBitsButton()->getBitsStep(), 0); }},
        {"NoiseShape type B",
         {},
         engine::kNoiseShape,
         centre(2, 4),
         [](Editor& e) { EXPECT_EQ(e.getNoiseShapeButton()->getNoiseShapeStep(), 2); }},
        {"Quantize on reaches the three requantizer buttons",
         {{engine::kQuantize, 0.25f}},
         engine::kQuantize,
         0.75f,
         [](Editor& e) {
             EXPECT_EQ(e.getControl(engine::kQuantize)->getValue(), 0.75f);
             EXPECT_TRUE(e.getBitsButton()->isQuantizeOn());
             EXPECT_TRUE(e.getNoiseShapeButton()->isQuantizeOn());
             EXPECT_TRUE(e.getAutoblackButton()->isQuantizeOn());
         }},
        {"Quantize off",
         {{engine::kQuantize, 0.75f}},
         engine::kQuantize,
         0.25f,
         [](Editor& e) {
             EXPECT_FALSE(e.getBitsButton()->isQuantizeOn());
             EXPECT_FALSE(e.getNoiseShapeButton()->isQuantizeOn());
             EXPECT_FALSE(e.getAutoblackButton()->isQuantizeOn());
         }},
        {"Autoblack on",
         {{engine::kAutoblack, 0.25f}},
         engine::kAutoblack,
         0.75f,
         [](Editor& e) { EXPECT_TRUE(e.getAutoblackButton()->isAutoblackOn()); }},
        {"AttZoom 12 dB",
         {{engine::kAttZoom, 0.25f}},
         engine::kAttZoom,
         0.75f,
         [](Editor& e) {
             EXPECT_EQ(e.getControl(engine::kAttZoom)->getValue(), 0.75f);
             EXPECT_TRUE(e.getGainReductionMeter()->isZoomed());
         }},
        {"AttShow mask 5 lights bits 1 and L",
         {{engine::kAttShow, centre(2, 8)}},
         engine::kAttShow,
         centre(5, 8),
         [](Editor& e) {
             // On and off as the buttons read their values (the window opens them with 1 and 0,
             // a change sends the centres 0.75 and 0.25).
             EXPECT_EQ(engine::step(e.getControl(28)->getValue(), 2), 1);
             EXPECT_EQ(engine::step(e.getControl(29)->getValue(), 2), 0);
             EXPECT_EQ(engine::step(e.getControl(30)->getValue(), 2), 1);
             EXPECT_EQ(as<CZelmarButton>(e.getControl(28)).frameIndex(), 1);
             EXPECT_EQ(as<CZelmarButton>(e.getControl(29)).frameIndex(), 0);
         }},
    };
    return table;
}

// Every control's value and the states the editor sets, to see that nothing moved.
std::vector<float> snapshot(Editor& e) {
    std::vector<float> values;
    MyFrame* frame = e.getMyFrame();
    for (int i = 0; i < frame->getNbViews(); ++i)
        if (auto* c = dynamic_cast<CControl*>(frame->getView(i))) values.push_back(c->getValue());
    values.push_back(float(e.getModeButton()->getMeterTypeStep()));
    values.push_back(float(e.getModeButton()->getScaleStep()));
    values.push_back(float(e.getBitsButton()->getBitsStep()));
    values.push_back(float(e.getNoiseShapeButton()->getNoiseShapeStep()));
    values.push_back(float(e.getAutoblackButton()->isAutoblackOn()));
    values.push_back(float(e.getAutoblackButton()->isQuantizeOn()));
    values.push_back(float(e.getInputMeter()->getScaleMode()));
    values.push_back(float(e.getGainReductionMeter()->isZoomed()));
    return values;
}

} // namespace

TEST(EditorMirror, EachParameterMovesItsControls) {
    for (const Mirror& row : rows()) {
        SCOPED_TRACE(row.what);
        EditorBench bench;
        for (const auto& [index, value] : row.setup)
            bench.plugin().setParameter(index, value);
        bench.open();
        bench.plugin().setParameter(row.index, row.value);
        row.check(bench.editor());
        // The host hears nothing of a change it made.
        EXPECT_TRUE(hostRecord().edits().empty()) << describe(hostRecord().edits());
    }
}

TEST(EditorMirror, ControlsOpenWithTheCurrentValues) {
    // The same table, the change made before the window opens.
    for (const Mirror& row : rows()) {
        SCOPED_TRACE(row.what);
        EditorBench bench;
        for (const auto& [index, value] : row.setup)
            bench.plugin().setParameter(index, value);
        bench.plugin().setParameter(row.index, row.value);
        bench.open();
        row.check(bench.editor());
    }
}

TEST(EditorMirror, APresetMovesEveryControl) {
    EditorBench bench;
    bench.open();
    bench.plugin().selectPreset(3); // "Limiter Fast"
    Editor& e = bench.editor();
    for (int index : {0, 1, 2, 3, 5, 13, 4, 6, 7, 8, 12, 14, 15, 21, 16, 19})
        EXPECT_EQ(e.getControl(index)->getValue(), bench.parameter(index)) << index;
    EXPECT_EQ(e.getBitsButton()->getBitsStep(), engine::step(bench.parameter(engine::kBits), 3));
    EXPECT_EQ(e.getModeButton()->getScaleStep(), engine::step(bench.parameter(engine::kScale), 3));
}

TEST(EditorMirror, AttShowSendsTheCentresToItsBitButtons) {
    EditorBench bench;
    bench.open();
    bench.plugin().setParameter(engine::kAttShow, centre(6, 8));
    Editor& e = bench.editor();
    EXPECT_EQ(e.getControl(28)->getValue(), 0.25f);
    EXPECT_EQ(e.getControl(29)->getValue(), 0.75f);
    EXPECT_EQ(e.getControl(30)->getValue(), 0.75f);
}

TEST(EditorMirror, AttShowResetsTheGainReductionMeterAndReadout) {
    EditorBench bench;
    bench.open();
    bench.plugin().setParameter(engine::kDrive, 1.0f);
    for (int i = 0; i < 8; ++i)
        bench.process(0.5f, 0.5f, 1024);
    bench.idle();
    Editor& e = bench.editor();
    ASSERT_LT(e.getGainReductionMeter()->getGainReductionDb(0), -1.0f);
    ASSERT_LT(e.getGainReductionReadout()->getMinDb(0), -1.0f);
    const float inputPeak = e.getInputMeter()->getPeakDb(0);
    bench.plugin().setParameter(engine::kAttShow, centre(1, 8));
    EXPECT_EQ(e.getGainReductionMeter()->getGainReductionDb(0), 0.0f);
    EXPECT_EQ(e.getGainReductionMeter()->getHeldDb(1), 0.0f);
    EXPECT_EQ(e.getGainReductionReadout()->getMinDb(0), 0.0f);
    EXPECT_EQ(e.getInputMeter()->getPeakDb(0), inputPeak);
}

TEST(EditorMirror, PlaceholdersAndUnknownIndicesMoveNothing) {
    EditorBench bench;
    bench.open();
    Editor& e = bench.editor();
    const std::vector<float> before = snapshot(e);
    for (int index : {22, 23, 24, 25, 26, 27, 28, 30, 100, -1})
        e.setParameter(index, 0.0f), e.setParameter(index, 1.0f);
    EXPECT_EQ(snapshot(e), before);
}
