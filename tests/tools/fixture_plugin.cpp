// A small VST 2.4 plug-in whose output is known exactly, for testing orvel as a host: it delays its
// input by a set number of samples and reports that latency, either at once or (like some plug-ins)
// only from inside the first processing call; other modes invert, report what the host answered,
// produce NaN or run slowly. Set ORVEL_FIXTURE_REFUSE in the environment to make it give no instance.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "host/vst_abi.h"
#include "platform/export.h"

using namespace vst;

namespace {

constexpr int kMaxDelay = 1000;
enum Param { kDelay, kMode, kLazy, kNumParams };
const char* const kModes[] = {"pass", "invert", "host", "nan", "slow"};
constexpr int kNumModes = 5;

int choice(float x, int n) {
    const int k = int(float(n) * x);
    return k < 0 ? 0 : (k >= n ? n - 1 : k);
}

struct Fixture {
    AEffect record{};
    HostCallback host = nullptr;
    float values[kNumParams] = {0.0f, 0.1f, 0.25f};
    std::vector<double> line[2] = {std::vector<double>(kMaxDelay + 1), std::vector<double>(kMaxDelay + 1)};
    int position = 0;

    int delay() const { return int(values[kDelay] * kMaxDelay + 0.5f); }
    int mode() const { return choice(values[kMode], kNumModes); }
    bool lazy() const { return choice(values[kLazy], 2) == 1; }

    void publishLatency() { record.initialDelay = delay(); }

    template <typename T> void process(T** in, T** out, int frames) {
        if (lazy()) publishLatency();
        const int m = mode();
        double hostWord = 0.0;
        if (m == 2) {
            // The answers, packed into one number: version / 10000, then one bit per pin query.
            hostWord = double(host(&record, audioMasterVersion, 0, 0, nullptr, 0.0f)) / 10000.0 +
                       0.5 * double(host(&record, audioMasterPinConnected, 1, 0, nullptr, 0.0f)) +
                       0.25 * double(host(&record, audioMasterPinConnected, 1, 1, nullptr, 0.0f)) +
                       0.125 * double(host(&record, audioMasterPinConnected, 0, 0, nullptr, 0.0f)) +
                       0.0625 * double(host(&record, audioMasterPinConnected, 0, 1, nullptr, 0.0f)) +
                       0.03125 * double(host(&record, audioMasterCurrentId, 0, 0, nullptr, 0.0f) != 0);
        }
        if (m == 4) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        const int d = delay();
        const int size = kMaxDelay + 1;
        for (int i = 0; i < frames; ++i) {
            for (int c = 0; c < 2; ++c) {
                line[c][std::size_t(position)] = double(in[c][i]);
                const double delayed = line[c][std::size_t((position - d + size) % size)];
                double v = delayed;
                if (m == 1) v = -delayed;
                if (m == 2) v = hostWord;
                if (m == 3) v = std::nan("");
                out[c][i] = T(v);
            }
            position = (position + 1) % size;
        }
    }
};

Fixture* self(AEffect* e) {
    return static_cast<Fixture*>(e->object);
}

void copyText(void* ptr, const char* text) {
    std::strcpy(static_cast<char*>(ptr), text);
}

VstIntPtr dispatcher(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    Fixture* fx = self(e);
    switch (opcode) {
    case effClose:
        delete fx;
        return 1;
    case effGetParamName:
        copyText(ptr, index == kDelay ? "Delay" : index == kMode ? "Mode" : index == kLazy ? "Lazy" : "");
        return 0;
    case effGetParamDisplay:
        if (index == kDelay) std::snprintf(static_cast<char*>(ptr), 8, "%d", fx->delay());
        if (index == kMode) copyText(ptr, kModes[fx->mode()]);
        if (index == kLazy) copyText(ptr, fx->lazy() ? "yes" : "no");
        return 0;
    case effGetParamLabel:
        copyText(ptr, index == kDelay ? "smp" : "");
        return 0;
    case effSetSampleRate:
    case effMainsChanged:
        if (opcode == effMainsChanged && value == 0) fx->position = 0;
        (void)opt;
        return 0;
    case effGetEffectName:
        copyText(ptr, "Orvel Fixture");
        return 1;
    case effGetVendorString:
        copyText(ptr, "tests");
        return 1;
    case effGetProductString:
        copyText(ptr, "orvel test fixture");
        return 1;
    case effGetProgramNameIndexed:
        if (index != 0) return 0;
        copyText(ptr, "Only");
        return 1;
    case effGetVstVersion:
        return 2400;
    default:
        return 0;
    }
}

void setParameter(AEffect* e, VstInt32 index, float value) {
    Fixture* fx = self(e);
    if (index < 0 || index >= kNumParams) return;
    fx->values[index] = value;
    if (!fx->lazy()) fx->publishLatency();
}

float getParameter(AEffect* e, VstInt32 index) {
    return index >= 0 && index < kNumParams ? self(e)->values[index] : 0.0f;
}

void processFloat(AEffect* e, float** in, float** out, VstInt32 frames) {
    self(e)->process(in, out, frames);
}
void processDouble(AEffect* e, double** in, double** out, VstInt32 frames) {
    self(e)->process(in, out, frames);
}
void processAccumulating(AEffect*, float**, float**, VstInt32) {}

} // namespace

extern "C" ORVEL_EXPORT AEffect* VSTPluginMain(HostCallback host) {
    if (!host || host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    if (std::getenv("ORVEL_FIXTURE_REFUSE")) return nullptr;
    auto* fx = new Fixture;
    fx->host = host;
    AEffect& r = fx->record;
    r.magic = kEffectMagic;
    r.dispatcher = dispatcher;
    r.process = processAccumulating;
    r.setParameter = setParameter;
    r.getParameter = getParameter;
    r.numPrograms = 1;
    r.numParams = kNumParams;
    r.numInputs = 2;
    r.numOutputs = 2;
    r.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
    r.ioRatio = 1.0f;
    r.object = fx;
    r.uniqueID = fourCharCode('O', 'f', 'i', 'x');
    r.version = 1;
    r.processReplacing = processFloat;
    r.processDoubleReplacing = processDouble;
    return &r;
}
