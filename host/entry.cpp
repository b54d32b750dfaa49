// The exported entry point. The host asks for one instance per call.
#include "host/audio_effect.h"
#include "platform/export.h"

using namespace vst;

extern "C" ORVEL_EXPORT AEffect* VSTPluginMain(HostCallback audioMaster) {
    if (!audioMaster) return nullptr;
    if (audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    if (audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    try {
        AudioEffect* effect = createEffectInstance(audioMaster);
        return effect ? effect->getAeffect() : nullptr;
    } catch (...) {
        // Out of memory or a failed resource: the host gets no instance rather than a broken one.
        return nullptr;
    }
}
