// The host boundary as a host sees it: entry point, record, dispatcher.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/host/test_host.h"

using namespace vst;
using namespace testhost;

namespace {

VstIntPtr refusingHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    hostState().calls.push_back({opcode, 0, 0, 0.0f});
    return 0;
}

TEST(Entry, MainIsTheSameFunctionAsVSTPluginMain) {
    void* entry = library().symbol("VSTPluginMain");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(library().symbol("main"), entry);
}

TEST(Entry, AsksForTheHostVersionTwiceAndRefusesAHostThatAnswersZero) {
    hostState().clear();
    EXPECT_EQ(library().instantiate(refusingHost), nullptr);
    EXPECT_EQ(hostState().count(audioMasterVersion), 1);

    hostState().clear();
    Instance instance(library());
    EXPECT_EQ(hostState().count(audioMasterVersion), 2);
    EXPECT_EQ(hostState().calls.front().opcode, audioMasterVersion);
}

TEST(Entry, InstancesAreIndependentRecords) {
    Instance a(library()), b(library());
    EXPECT_NE(a.get(), b.get());
    EXPECT_NE(a->object, b->object);
}

TEST(Record, HoldsThePublishedFields) {
    Instance fx(library());
    EXPECT_EQ(fx->magic, 0x56737450);
    EXPECT_EQ(fx->numPrograms, 1);
    EXPECT_EQ(fx->numParams, 26);
    EXPECT_EQ(fx->numInputs, 2);
    EXPECT_EQ(fx->numOutputs, 2);
    EXPECT_EQ(fx->flags, 0x1011);
    EXPECT_EQ(fx->initialDelay, 159);
    EXPECT_EQ(fx->realQualities, 0);
    EXPECT_EQ(fx->offQualities, 0);
    EXPECT_EQ(fx->ioRatio, 1.0f);
    EXPECT_NE(fx->object, nullptr);
    EXPECT_EQ(fx->uniqueID, 0x4F727A6C);
    EXPECT_EQ(fx->version, 1);
    EXPECT_NE(fx->dispatcher, nullptr);
    EXPECT_NE(fx->setParameter, nullptr);
    EXPECT_NE(fx->getParameter, nullptr);
    EXPECT_NE(fx->processReplacing, nullptr);
    EXPECT_NE(fx->processDoubleReplacing, nullptr);
    ASSERT_NE(fx->process, nullptr);

    // The deprecated accumulating entry leaves the outputs alone.
    float in[4] = {0.5f, 0.5f, 0.5f, 0.5f}, out[4] = {7, 7, 7, 7};
    float* ins[2] = {in, in};
    float* outs[2] = {out, out};
    fx->process(fx.get(), ins, outs, 4);
    EXPECT_EQ(out[0], 7.0f);
}

struct OpcodeCase {
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    VstIntPtr expected;
};

TEST(Dispatcher, AnswersEveryOpcodeOfTheTable) {
    const OpcodeCase cases[] = {
        {effOpen, 0, 0, 0},
        {effSetProgram, 0, 0, 0},
        {effSetProgram, 0, 5, 0},
        {effGetProgram, 0, 0, 0},
        {effSetBlockSize, 0, 512, 0},
        {effMainsChanged, 0, 1, 0},
        {effMainsChanged, 0, 0, 0},
        {effIdentify, 0, 0, 0x4E764566},
        {effSetChunk, 0, 0, 0},
        {effProcessEvents, 0, 0, 0},
        {effCanBeAutomated, 0, 0, 1},
        {effCanBeAutomated, 25, 0, 1},
        {effString2Parameter, 0, 0, 0},
        {effGetInputProperties, 0, 0, 0},
        {effGetOutputProperties, 0, 0, 0},
        {effGetPlugCategory, 0, 0, 4},
        {effOfflineNotify, 0, 0, 0},
        {effOfflinePrepare, 0, 0, 0},
        {effOfflineRun, 0, 0, 0},
        {effProcessVarIo, 0, 0, 0},
        {effSetSpeakerArrangement, 0, 0, 0},
        {effSetBypass, 0, 1, 0},
        {effGetVendorVersion, 0, 0, 0},
        {effVendorSpecific, 0, 0, 0},
        {effGetTailSize, 0, 0, 0},
        {effGetVstVersion, 0, 0, 2400},
        {effGetMidiProgramName, 0, 0, 0},
        {effGetCurrentMidiProgram, 0, 0, -1},
        {effGetMidiProgramCategory, 0, 0, 0},
        {effHasMidiProgramsChanged, 0, 0, 0},
        {effGetMidiKeyName, 0, 0, 0},
        {effBeginSetProgram, 0, 0, 0},
        {effEndSetProgram, 0, 0, 0},
        {effShellGetNextPlugin, 0, 0, 0},
        {effStartProcess, 0, 0, 0},
        {effStopProcess, 0, 0, 0},
        {effSetTotalSampleToProcess, 0, 123456, 123456},
        {effSetPanLaw, 0, 0, 0},
        {effBeginLoadBank, 0, 0, 0},
        {effBeginLoadProgram, 0, 0, 0},
        {effSetProcessPrecision, 0, 1, 0},
        {effGetNumMidiInputChannels, 0, 0, 0},
        {effGetNumMidiOutputChannels, 0, 0, 0},
        {9, 0, 0, 0},
        {80, 0, 0, 0},
        {1000, 0, 0, 0},
        {-1, 0, 0, 0},
    };
    Instance fx(library());
    for (const OpcodeCase& c : cases)
        EXPECT_EQ(fx.dispatch(c.opcode, c.index, c.value), c.expected) << "opcode " << c.opcode;
}

TEST(Dispatcher, WritesTheIdentityTexts) {
    Instance fx(library());
    EXPECT_EQ(fx.dispatch(effGetEffectName, 0, 0, nullptr), 0);
    EXPECT_EQ(fx.text(effGetEffectName), "Orvel Zelmar");
    EXPECT_EQ(fx.text(effGetVendorString), "Orvel-soundworks");
    EXPECT_EQ(fx.text(effGetProductString), "Full band precision limiter");
    char name[64];
    EXPECT_EQ(fx.dispatch(effGetEffectName, 0, 0, name), 1);
    EXPECT_EQ(fx.dispatch(effGetVendorString, 0, 0, name), 1);
    EXPECT_EQ(fx.dispatch(effGetProductString, 0, 0, name), 1);
}

TEST(Dispatcher, CanDoNeitherClaimsNorDenies) {
    Instance fx(library());
    for (const char* text : {"receiveVstTimeInfo", "bypass", "sendVstEvents", "", "x"}) {
        char buffer[64];
        std::strcpy(buffer, text);
        EXPECT_EQ(fx.dispatch(effCanDo, 0, 0, buffer), 0) << text;
    }
}

TEST(Dispatcher, ParameterPropertiesWriteOnlyTheFloatStep) {
    Instance fx(library());
    for (VstInt32 index : {0, 25, 100, -3}) {
        VstParameterProperties props;
        std::memset(&props, 0xAB, sizeof(props));
        EXPECT_EQ(fx.dispatch(effGetParameterProperties, index, 0, &props), 1);
        EXPECT_EQ(props.stepFloat, 0.0001f);
        EXPECT_EQ(props.flags, kVstParameterUsesFloatStep);
        VstParameterProperties untouched;
        std::memset(&untouched, 0xAB, sizeof(untouched));
        EXPECT_EQ(std::memcmp(&props.smallStepFloat, &untouched.smallStepFloat,
                              offsetof(VstParameterProperties, flags) -
                                  offsetof(VstParameterProperties, smallStepFloat)),
                  0);
        EXPECT_EQ(std::memcmp(&props.minInteger, &untouched.minInteger,
                              sizeof(props) - offsetof(VstParameterProperties, minInteger)),
                  0);
    }
}

TEST(Dispatcher, ChunksAreNotSupported) {
    Instance fx(library());
    void* chunk = &fx;
    EXPECT_EQ(fx.dispatch(effGetChunk, 0, 0, &chunk), 0);
    EXPECT_EQ(chunk, static_cast<void*>(&fx));
}

TEST(Dispatcher, SpeakerArrangementQueryClearsBothPointers) {
    Instance fx(library());
    int dummy = 0;
    void* input = &dummy;
    void* output = &dummy;
    EXPECT_EQ(fx.dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&input), &output), 0);
    EXPECT_EQ(input, nullptr);
    EXPECT_EQ(output, nullptr);
}

TEST(Dispatcher, TextOpcodesToleratesANullBuffer) {
    Instance fx(library());
    for (VstInt32 opcode : {effGetProgramName, effGetParamLabel, effGetParamDisplay, effGetParamName,
                            effGetEffectName, effGetVendorString, effGetProductString, effCanDo,
                            effGetProgramNameIndexed, effSetProgramName, effGetParameterProperties})
        EXPECT_EQ(fx.dispatch(opcode, 0, 0, nullptr), 0) << opcode;
}

TEST(Dispatcher, CloseAnswersOneAndEndsTheInstance) {
    hostState().clear();
    AEffect* effect = library().instantiate();
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f), 1);
}

} // namespace
