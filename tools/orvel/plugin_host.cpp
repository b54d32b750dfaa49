#include "tools/orvel/plugin_host.h"

#include <cstring>

#include "tools/orvel/errors.h"

namespace orvel {

using namespace vst;

namespace {

// The entry point calls back before the record exists; the context of the instance being created
// is found here until the record's user field is set.
thread_local HostContext* pendingContext = nullptr;

HostContext* contextOf(AEffect* effect) {
    if (effect && effect->user) return static_cast<HostContext*>(effect->user);
    return pendingContext;
}

} // namespace

VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float) {
    switch (opcode) {
    case audioMasterVersion:
        return kHostVstVersion;
    case audioMasterPinConnected: {
        const HostContext* context = contextOf(effect);
        const int channels = context ? context->connectedChannels : 2;
        return index >= 0 && index < channels ? 0 : 1;
    }
    default:
        return 0;
    }
}

PluginLibrary::PluginLibrary(const std::string& path) : filePath(path) {
    // A name without a slash would send the loader searching the system's library folders.
    const std::string loadPath = path.find('/') == std::string::npos ? "./" + path : path;
    if (!library.open(loadPath)) throw Error("cannot load the plug-in " + path + ": " + library.error());
    entry = reinterpret_cast<Entry>(library.symbol("VSTPluginMain"));
    if (!entry) entry = reinterpret_cast<Entry>(library.symbol("main"));
    if (!entry) throw Error("the plug-in " + path + " has no VST 2.4 entry point (VSTPluginMain)");
}

AEffect* PluginLibrary::instantiate(HostContext& context) const {
    pendingContext = &context;
    AEffect* effect = entry(hostCallback);
    pendingContext = nullptr;
    return effect;
}

PluginInstance::PluginInstance(const PluginLibrary& library, int connectedChannels) {
    context.connectedChannels = connectedChannels;
    effect = library.instantiate(context);
    if (!effect) throw Error("the plug-in " + library.path() + " gave no instance");
    if (effect->magic != kEffectMagic || !effect->dispatcher || !effect->setParameter ||
        !effect->getParameter) {
        // Not a record we may call through; do not even close it.
        effect = nullptr;
        throw Error("the plug-in " + library.path() + " returned an invalid effect record");
    }
    effect->user = &context;
    dispatch(effOpen);
}

PluginInstance::~PluginInstance() {
    if (!effect) return;
    stop();
    dispatch(effClose);
}

VstIntPtr PluginInstance::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt) const {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

std::string PluginInstance::text(VstInt32 opcode, VstInt32 index) const {
    // Plug-ins write past the 8 characters the convention allows; give them room.
    char buffer[512] = {};
    dispatch(opcode, index, 0, buffer);
    buffer[sizeof(buffer) - 1] = 0;
    return buffer;
}

std::string PluginInstance::effectName() const {
    std::string name = text(effGetEffectName);
    if (name.empty()) name = text(effGetProductString);
    return name;
}

std::string PluginInstance::uniqueIdText() const {
    const auto id = std::uint32_t(effect->uniqueID);
    std::string code;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = char((id >> shift) & 0xFF);
        if (c < 0x20 || c > 0x7E) return std::to_string(id);
        code += c;
    }
    return code;
}

void PluginInstance::setSampleRate(double rate) const {
    dispatch(effSetSampleRate, 0, 0, nullptr, float(rate));
}

void PluginInstance::setBlockSize(int frames) const {
    dispatch(effSetBlockSize, 0, frames);
}

void PluginInstance::start() {
    if (running) return;
    dispatch(effMainsChanged, 0, 1);
    dispatch(effStartProcess);
    running = true;
}

void PluginInstance::stop() {
    if (!running) return;
    dispatch(effStopProcess);
    dispatch(effMainsChanged, 0, 0);
    running = false;
}

std::vector<Choice> sweepChoices(const PluginInstance& plugin, int index) {
    constexpr int kPoints = 512;
    constexpr std::size_t kMaxChoices = 64;
    constexpr int kMaxBisections = 40;
    struct Run {
        std::string text;
        float first, last; // the lowest and highest swept values that show the text
    };
    const float former = plugin.getParameter(index);
    auto textAt = [&](float x) {
        plugin.setParameter(index, x);
        return plugin.paramDisplay(index);
    };

    std::vector<Run> runs;
    bool isChoice = true;
    for (int i = 0; i <= kPoints && isChoice; ++i) {
        const float x = float(i) / float(kPoints);
        std::string t = textAt(x);
        if (!runs.empty() && runs.back().text == t) {
            runs.back().last = x;
            continue;
        }
        for (const Run& r : runs)
            if (r.text == t) isChoice = false; // a text that comes back is not a list of choices
        if (runs.size() == kMaxChoices) isChoice = false;
        runs.push_back({std::move(t), x, x});
    }
    if (runs.size() < 2) isChoice = false;

    std::vector<Choice> choices;
    if (isChoice) {
        // Bisect each boundary down to neighbouring floats, so that the middle of an interval is the
        // middle of what the plug-in really shows, not of the sweep's grid.
        std::vector<float> lo(runs.size(), 0.0f), hi(runs.size(), 1.0f);
        for (std::size_t k = 1; k < runs.size(); ++k) {
            float a = runs[k - 1].last, b = runs[k].first;
            for (int n = 0; n < kMaxBisections; ++n) {
                const float mid = a + (b - a) * 0.5f;
                if (mid <= a || mid >= b) break;
                if (textAt(mid) == runs[k].text)
                    b = mid;
                else
                    a = mid;
            }
            hi[k - 1] = a;
            lo[k] = b;
        }
        for (std::size_t k = 0; k < runs.size(); ++k)
            choices.push_back({runs[k].text, float((double(lo[k]) + double(hi[k])) * 0.5)});
    }
    plugin.setParameter(index, former);
    return choices;
}

} // namespace orvel
