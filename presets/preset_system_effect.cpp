#include "presets/preset_system_effect.h"

CPresetSystemEffect::CPresetSystemEffect(vst::HostCallback audioMaster, int numPrograms, int numParams)
    : AudioEffectX(audioMaster, numPrograms, numParams) {}

CPresetSystemEffect::~CPresetSystemEffect() = default;
