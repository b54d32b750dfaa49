// The host boundary as a careless but not malicious host drives it: the entry point, then any
// sequence of opcodes with any index, value and opt, parameter calls with any index and value, and
// processing calls of either precision with any length, connection answers and missing channels.
// Pointers are always valid buffers (a pointer the host owes is a pointer), and text results must end
// within 256 bytes. effClose ends the instance and the entry point makes a new one.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz/fuzz_support.h"
#include "host/vst_abi.h"

using namespace vst;
using fuzzing::check;

extern "C" AEffect* VSTPluginMain(HostCallback audioMaster);

namespace {

constexpr std::size_t kBufferSize = 4096;
constexpr std::size_t kTextLimit = 256;
constexpr int kMaxFrames = 1024;
constexpr int kMaxSamplesPerInput = 1 << 13;

alignas(16) unsigned char ptrBuffer[kBufferSize];
alignas(16) unsigned char valueBuffer[kBufferSize];

AEffect* open() {
    AEffect* effect = VSTPluginMain(fuzzing::host);
    check(effect && effect->magic == kEffectMagic && effect->numParams == 26 && effect->object);
    return effect;
}

bool writesText(VstInt32 opcode) {
    switch (opcode) {
    case effGetProgramName:
    case effGetParamLabel:
    case effGetParamDisplay:
    case effGetParamName:
    case effGetProgramNameIndexed:
    case effGetEffectName:
    case effGetVendorString:
    case effGetProductString:
        return true;
    default:
        return false;
    }
}

void dispatch(AEffect*& effect, FuzzedDataProvider& in) {
    const VstInt32 opcode =
        in.ConsumeBool() ? in.ConsumeIntegralInRange<VstInt32>(0, 80) : in.ConsumeIntegral<VstInt32>();
    const VstInt32 index =
        in.ConsumeBool() ? in.ConsumeIntegralInRange<VstInt32>(-2, 30) : in.ConsumeIntegral<VstInt32>();
    VstIntPtr value =
        in.ConsumeBool() ? in.ConsumeIntegralInRange<VstIntPtr>(-2, 30) : in.ConsumeIntegral<VstIntPtr>();
    const float opt = in.ConsumeBool() ? in.ConsumeFloatingPoint<float>()
                                       : fuzzing::floatFromBits(in.ConsumeIntegral<std::uint32_t>());

    // ptr: a buffer holding host text or bytes (always terminated), or null now and then.
    std::memset(ptrBuffer, 0, kBufferSize);
    const std::vector<std::uint8_t> bytes =
        in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange<std::size_t>(0, 300));
    if (!bytes.empty()) std::memcpy(ptrBuffer, bytes.data(), bytes.size());
    const bool text = writesText(opcode);
    if (text) std::memset(ptrBuffer, 0x5A, kBufferSize);
    void* ptr = in.ConsumeIntegralInRange<int>(0, 7) == 0 ? nullptr : ptrBuffer;

    switch (opcode) {
    case effEditOpen:
        ptr = nullptr; // no parent window to offer
        break;
    case effSetSpeakerArrangement:
    case effGetSpeakerArrangement:
        // value carries a pointer here.
        std::memset(valueBuffer, 0, kBufferSize);
        value = in.ConsumeBool() ? reinterpret_cast<VstIntPtr>(valueBuffer) : 0;
        break;
    case effSetChunk:
        value = value < 0 ? 0 : value % VstIntPtr(kBufferSize + 1);
        break;
    default:
        break;
    }

    const VstIntPtr result = effect->dispatcher(effect, opcode, index, value, ptr, opt);
    if (opcode == effClose) {
        check(result == 1);
        effect = open();
        return;
    }
    if (text && ptr && (result != 0 || opcode != effGetProgramNameIndexed)) {
        check(std::memchr(ptrBuffer, 0, kTextLimit) != nullptr);
        for (std::size_t i = kTextLimit; i < kBufferSize; ++i)
            check(ptrBuffer[i] == 0x5A);
    }
    if (opcode == effGetVstVersion) check(result == 2400);
    if (opcode == effCanBeAutomated || opcode == effGetEffectName) check(result == 0 || result == 1);
}

void setParameter(AEffect* effect, FuzzedDataProvider& in) {
    const VstInt32 index =
        in.ConsumeBool() ? in.ConsumeIntegralInRange<VstInt32>(-2, 27) : in.ConsumeIntegral<VstInt32>();
    const float value = in.ConsumeBool() ? in.ConsumeFloatingPointInRange<float>(-0.5f, 1.5f)
                                         : fuzzing::floatFromBits(in.ConsumeIntegral<std::uint32_t>());
    effect->setParameter(effect, index, value);
    const float answer = effect->getParameter(effect, index);
    if (index >= 0 && index < 22)
        check(fuzzing::sameBits(answer, value));
    else if (index == 25)
        check(answer == 0.015f);
    else
        check(answer == 0.0f);
}

template <class T> void process(AEffect* effect, FuzzedDataProvider& in, int& samples) {
    const int frames = in.ConsumeIntegralInRange<int>(-2, kMaxFrames);
    samples += frames > 0 ? frames : 0;
    static fuzzing::Block<T> block;
    block.prepare(frames);
    const double level = in.ConsumeFloatingPointInRange<double>(0.0, 8.0);
    const bool raw = in.ConsumeIntegralInRange<int>(0, 3) == 0;
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < frames; ++i)
            block.in[c][std::size_t(i)] =
                raw ? static_cast<T>(fuzzing::doubleFromBits(in.ConsumeIntegral<std::uint64_t>()))
                    : static_cast<T>(level * std::sin(0.05 * i + c));
    fuzzing::pinAnswer = in.ConsumeIntegralInRange<int>(0, 3) == 0 ? 1 : 0;
    const int missing = in.ConsumeIntegralInRange<int>(0, 15); // bit set: a null pointer
    T* inputs[2] = {missing & 1 ? nullptr : block.in[0].data(), missing & 2 ? nullptr : block.in[1].data()};
    T* outputs[2] = {missing & 4 ? nullptr : block.out[0].data(),
                     missing & 8 ? nullptr : block.out[1].data()};
    if constexpr (sizeof(T) == sizeof(float))
        effect->processReplacing(effect, inputs, outputs, frames);
    else
        effect->processDoubleReplacing(effect, inputs, outputs, frames);
    block.checkOutput(frames);
    // The left output is always written when the host hands buffers for a block.
    if (frames > 0 && inputs[0] && outputs[0])
        for (int i = 0; i < frames; ++i)
            check(block.out[0][std::size_t(i)] != fuzzing::Block<T>::kCanary);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::useEmptySettingsStore();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    fuzzing::pinAnswer = 0;
    AEffect* effect = open();
    int samples = 0;
    while (in.remaining_bytes() > 0 && samples < kMaxSamplesPerInput) {
        switch (in.ConsumeIntegralInRange<int>(0, 6)) {
        case 0:
        case 1:
        case 2:
            dispatch(effect, in);
            break;
        case 3:
        case 4:
            setParameter(effect, in);
            break;
        case 5:
            process<float>(effect, in, samples);
            break;
        default:
            process<double>(effect, in, samples);
            break;
        }
    }
    check(effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f) == 1);
    return 0;
}
