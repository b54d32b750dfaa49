// The effect classes of the VST 2.4 layering. AudioEffect owns the effect record handed to the host
// and answers the basic opcodes (below 25); AudioEffectX answers the extended ones. Every operation a
// host reaches is virtual, so CPresetSystemEffect and Plugin replace what they need.
//
// Threads: the dispatcher runs on the host's user-interface thread, setParameter/getParameter on any
// thread, the processing calls on the audio thread. This layer adds no locking of its own.
#pragma once

#include "host/vst_abi.h"

class AEffEditor;

class AudioEffect {
public:
    AudioEffect(vst::HostCallback audioMaster, int numPrograms, int numParams);
    virtual ~AudioEffect();

    vst::AEffect* getAeffect() { return &cEffect; }
    static AudioEffect* fromRecord(vst::AEffect* effect);

    virtual vst::VstIntPtr dispatcher(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value,
                                      void* ptr, float opt);

    virtual void open() {}
    virtual void close() {}

    virtual void setProgram(int program) { curProgram = program; }
    virtual int getProgram() { return curProgram; }
    virtual void setProgramName(char*) {}
    virtual void getProgramName(char* name) { *name = 0; }

    virtual void setParameter(int, float) {}
    virtual float getParameter(int) { return 0.0f; }
    virtual void getParameterLabel(int, char* label) { *label = 0; }
    virtual void getParameterDisplay(int, char* text) { *text = 0; }
    virtual void getParameterName(int, char* text) { *text = 0; }
    virtual void setParameterAutomated(int index, float value);

    virtual int getChunk(void**, bool) { return 0; }
    virtual int setChunk(void*, int, bool) { return 0; }

    virtual void setSampleRate(float rate) { sampleRate = rate; }
    virtual void setBlockSize(int size) { blockSize = size; }
    virtual void suspend() {}
    virtual void resume() {}

    virtual void processReplacing(float**, float**, int) {}
    virtual void processDoubleReplacing(double**, double**, int) {}

    float getSampleRate() const { return sampleRate; }
    int getBlockSize() const { return blockSize; }

    void setEditor(AEffEditor* newEditor);
    AEffEditor* getEditor() const { return editor; }

    // Host callbacks; each does nothing without a host callback.
    vst::VstIntPtr getMasterVersion();
    void masterIdle();

protected:
    void setUniqueID(vst::VstInt32 id) { cEffect.uniqueID = id; }
    void setNumInputs(int inputs) { cEffect.numInputs = inputs; }
    void setNumOutputs(int outputs) { cEffect.numOutputs = outputs; }
    void setInitialDelay(int delay) { cEffect.initialDelay = delay; }
    void canProcessReplacing(bool state = true) { setFlag(vst::effFlagsCanReplacing, state); }
    void canDoubleReplacing(bool state = true) { setFlag(vst::effFlagsCanDoubleReplacing, state); }
    void setFlag(vst::VstInt32 flag, bool state);
    vst::VstIntPtr callHost(vst::VstInt32 opcode, vst::VstInt32 index = 0, vst::VstIntPtr value = 0,
                            void* ptr = nullptr, float opt = 0.0f);

    vst::HostCallback audioMaster;
    AEffEditor* editor = nullptr;
    float sampleRate = 44100.0f;
    int blockSize = 1024;
    int numPrograms;
    int numParams;
    int curProgram = 0;
    vst::AEffect cEffect;
};

class AudioEffectX : public AudioEffect {
public:
    using AudioEffect::AudioEffect;

    vst::VstIntPtr dispatcher(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr,
                              float opt) override;

    virtual bool getProgramNameIndexed(int category, int index, char* text);
    virtual bool canParameterBeAutomated(int) { return true; }
    virtual bool string2parameter(int, char*) { return false; }
    virtual bool getParameterProperties(int, vst::VstParameterProperties*) { return false; }
    virtual bool getEffectName(char*) { return false; }
    virtual bool getVendorString(char*) { return false; }
    virtual bool getProductString(char*) { return false; }
    virtual int getVendorVersion() { return 0; }
    virtual vst::VstInt32 getPlugCategory() { return vst::kPlugCategUnknown; }
    virtual vst::VstInt32 canDo(char*) { return 0; }
    virtual vst::VstInt32 getGetTailSize() { return 0; }
    virtual vst::VstInt32 getVstVersion() { return vst::kVstVersion; }
    virtual bool setBypass(bool) { return false; }

    // Host callbacks of the extended layer.
    bool beginEdit(int index);
    bool endEdit(int index);
    bool updateDisplay();
    // A pin counts as connected when the host answers 0, or when there is no host to ask.
    bool isInputConnected(int input);
    bool isOutputConnected(int output);
};

// Defined by the effect: builds the one effect object for the entry point, or throws.
AudioEffect* createEffectInstance(vst::HostCallback audioMaster);
