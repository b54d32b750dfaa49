// The preset-system layer between AudioEffectX and Plugin: it keeps the preset slots and answers the
// program opcodes.
#pragma once

#include "host/audio_effect.h"

class CPresetSystemEffect : public AudioEffectX {
public:
    CPresetSystemEffect(vst::HostCallback audioMaster, int numPrograms, int numParams);
    ~CPresetSystemEffect() override;

    void setProgram(int) override {}
    int getProgram() override { return 0; }
};
