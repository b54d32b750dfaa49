#include "host/audio_effect.h"

#include <cstring>
#include <exception>

#include "host/aeff_editor.h"

using namespace vst;

namespace {

AudioEffect* effectOf(AEffect* record) {
    return record ? AudioEffect::fromRecord(record) : nullptr;
}

// The record's entries. No exception may reach the host: a throwing operation answers 0 or does nothing.
VstIntPtr dispatchEntry(AEffect* record, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                        float opt) {
    AudioEffect* effect = effectOf(record);
    if (!effect) return 0;
    VstIntPtr result = 0;
    try {
        result = effect->dispatcher(opcode, index, value, ptr, opt);
    } catch (...) {
        result = 0;
    }
    if (opcode == effClose) {
        delete effect;
        return 1;
    }
    return result;
}

void setParameterEntry(AEffect* record, VstInt32 index, float value) {
    if (AudioEffect* effect = effectOf(record)) try {
            effect->setParameter(index, value);
        } catch (...) {
        }
}

float getParameterEntry(AEffect* record, VstInt32 index) {
    if (AudioEffect* effect = effectOf(record)) try {
            return effect->getParameter(index);
        } catch (...) {
        }
    return 0.0f;
}

void processEntry(AEffect*, float**, float**, VstInt32) {}

void processReplacingEntry(AEffect* record, float** inputs, float** outputs, VstInt32 frames) {
    if (AudioEffect* effect = effectOf(record)) try {
            effect->processReplacing(inputs, outputs, frames);
        } catch (...) {
        }
}

void processDoubleReplacingEntry(AEffect* record, double** inputs, double** outputs, VstInt32 frames) {
    if (AudioEffect* effect = effectOf(record)) try {
            effect->processDoubleReplacing(inputs, outputs, frames);
        } catch (...) {
        }
}

bool isText(void* ptr) {
    return ptr != nullptr;
}

// The key modifier travels in the float argument; one outside a byte (or NaN) is no modifier, and
// converting it would be undefined.
unsigned char keyModifier(float opt) {
    return opt >= 0.0f && opt < 256.0f ? static_cast<unsigned char>(opt) : 0;
}

} // namespace

AudioEffect::AudioEffect(HostCallback audioMaster, int numPrograms, int numParams)
    : audioMaster(audioMaster), numPrograms(numPrograms), numParams(numParams) {
    std::memset(&cEffect, 0, sizeof(cEffect));
    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = dispatchEntry;
    cEffect.process = processEntry;
    cEffect.setParameter = setParameterEntry;
    cEffect.getParameter = getParameterEntry;
    cEffect.numPrograms = numPrograms;
    cEffect.numParams = numParams;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.uniqueID = fourCharCode('N', 'o', 'E', 'f');
    cEffect.version = 1;
    cEffect.processReplacing = processReplacingEntry;
    cEffect.processDoubleReplacing = processDoubleReplacingEntry;
}

AudioEffect::~AudioEffect() {
    delete editor;
}

AudioEffect* AudioEffect::fromRecord(AEffect* record) {
    return static_cast<AudioEffect*>(record->object);
}

void AudioEffect::setFlag(VstInt32 flag, bool state) {
    if (state)
        cEffect.flags |= flag;
    else
        cEffect.flags &= ~flag;
}

void AudioEffect::setEditor(AEffEditor* newEditor) {
    editor = newEditor;
    setFlag(effFlagsHasEditor, editor != nullptr);
}

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    if (!audioMaster) return 0;
    return audioMaster(&cEffect, opcode, index, value, ptr, opt);
}

VstIntPtr AudioEffect::getMasterVersion() {
    if (!audioMaster) return 1;
    return callHost(audioMasterVersion);
}

void AudioEffect::masterIdle() {
    callHost(audioMasterIdle);
}

void AudioEffect::setParameterAutomated(int index, float value) {
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    switch (opcode) {
    case effOpen:
        open();
        return 0;
    case effClose:
        close();
        return 1;
    case effSetProgram:
        if (value < numPrograms) setProgram(int(value));
        return 0;
    case effGetProgram:
        return getProgram();
    case effSetProgramName:
        if (isText(ptr)) setProgramName(static_cast<char*>(ptr));
        return 0;
    case effGetProgramName:
        if (isText(ptr)) getProgramName(static_cast<char*>(ptr));
        return 0;
    case effGetParamLabel:
        if (isText(ptr)) getParameterLabel(index, static_cast<char*>(ptr));
        return 0;
    case effGetParamDisplay:
        if (isText(ptr)) getParameterDisplay(index, static_cast<char*>(ptr));
        return 0;
    case effGetParamName:
        if (isText(ptr)) getParameterName(index, static_cast<char*>(ptr));
        return 0;
    case effSetSampleRate:
        setSampleRate(opt);
        return 0;
    case effSetBlockSize:
        setBlockSize(VstInt32(value));
        return 0;
    case effMainsChanged:
        if (value == 0)
            suspend();
        else
            resume();
        return 0;
    case effEditGetRect:
        if (!editor || !ptr) return 0;
        return editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
    case effEditOpen:
        return editor && editor->open(ptr) ? 1 : 0;
    case effEditClose:
        if (editor) editor->close();
        return 0;
    case effEditIdle:
        if (editor) editor->idle();
        return 0;
    case effIdentify:
        return kEffectIdentify;
    case effGetChunk:
        return ptr ? getChunk(static_cast<void**>(ptr), index != 0) : 0;
    case effSetChunk:
        return setChunk(ptr, VstInt32(value), index != 0);
    default:
        return 0;
    }
}

bool AudioEffectX::getProgramNameIndexed(int, int, char*) {
    return false;
}

bool AudioEffectX::beginEdit(int index) {
    return callHost(audioMasterBeginEdit, index) != 0;
}
bool AudioEffectX::endEdit(int index) {
    return callHost(audioMasterEndEdit, index) != 0;
}
bool AudioEffectX::updateDisplay() {
    return callHost(audioMasterUpdateDisplay) != 0;
}
bool AudioEffectX::isInputConnected(int input) {
    return callHost(audioMasterPinConnected, input, 0) == 0;
}
bool AudioEffectX::isOutputConnected(int output) {
    return callHost(audioMasterPinConnected, output, 1) == 0;
}

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    auto flag = [](bool b) -> VstIntPtr { return b ? 1 : 0; };
    auto text = static_cast<char*>(ptr);
    switch (opcode) {
    case effCanBeAutomated:
        return flag(canParameterBeAutomated(index));
    case effString2Parameter:
        return text ? flag(string2parameter(index, text)) : 0;
    case effGetProgramNameIndexed:
        return text ? flag(getProgramNameIndexed(int(value), index, text)) : 0;
    case effGetPlugCategory:
        return getPlugCategory();
    case effSetBypass:
        return flag(setBypass(value != 0));
    case effGetEffectName:
        return text ? flag(getEffectName(text)) : 0;
    case effGetVendorString:
        return text ? flag(getVendorString(text)) : 0;
    case effGetProductString:
        return text ? flag(getProductString(text)) : 0;
    case effGetVendorVersion:
        return getVendorVersion();
    case effCanDo:
        return text ? canDo(text) : 0;
    case effGetTailSize:
        return getGetTailSize();
    case effGetParameterProperties:
        return ptr ? flag(getParameterProperties(index, static_cast<VstParameterProperties*>(ptr))) : 0;
    case effGetVstVersion:
        return getVstVersion();
    case effEditKeyDown:
    case effEditKeyUp: {
        if (!editor) return 0;
        VstKeyCode key{index, static_cast<unsigned char>(value), keyModifier(opt)};
        return flag(opcode == effEditKeyDown ? editor->onKeyDown(key) : editor->onKeyUp(key));
    }
    case effSetEditKnobMode:
        return editor ? flag(editor->setKnobMode(int(value))) : 0;
    case effGetCurrentMidiProgram:
        return -1;
    case effGetSpeakerArrangement:
        if (value) *reinterpret_cast<VstSpeakerArrangement**>(value) = nullptr;
        if (ptr) *static_cast<VstSpeakerArrangement**>(ptr) = nullptr;
        return 0;
    case effSetTotalSampleToProcess:
        return value;
    default:
        if (opcode < effProcessEvents) return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
        return 0;
    }
}
