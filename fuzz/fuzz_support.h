// Pieces shared by the fuzz targets that run whole instances: a private settings store for the process,
// a host callback, and the checks of a processed block.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "host/vst_abi.h"
#include "platform/registry_sandbox.h"

namespace fuzzing {

inline void check(bool condition) {
    if (!condition) std::abort();
}

// Every instance reads an empty settings store of its own, never the user's.
inline void useEmptySettingsStore() {
    static platform::RegistrySandbox* sandbox = new platform::RegistrySandbox;
    check(sandbox->active());
}

// What the host answers to the pin queries (0: connected); the targets set it from their input.
inline vst::VstIntPtr pinAnswer = 0;

inline vst::VstIntPtr host(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*, float) {
    switch (opcode) {
    case vst::audioMasterVersion:
        return 2400;
    case vst::audioMasterPinConnected:
        return pinAnswer;
    default:
        return 0;
    }
}

inline float floatFromBits(std::uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof(f));
    return f;
}

inline double doubleFromBits(std::uint64_t bits) {
    double d;
    std::memcpy(&d, &bits, sizeof(d));
    return d;
}

inline bool sameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof(a)) == 0;
}

// Two channels of input and output with room after the block: the output beyond the block holds a
// value no output can take, and must still hold it afterwards.
template <class T> struct Block {
    static constexpr int kGuard = 8;
    static constexpr T kCanary = T(12345);
    std::vector<T> in[2], out[2];

    void prepare(int frames) {
        for (int c = 0; c < 2; ++c) {
            in[c].assign(std::size_t(std::max(frames, 0) + kGuard), T(0));
            out[c].assign(std::size_t(std::max(frames, 0) + kGuard), kCanary);
        }
    }

    // Within the block a channel is either left alone (not connected) or holds samples inside ±1;
    // beyond it nothing is written.
    void checkOutput(int frames) const {
        for (int c = 0; c < 2; ++c) {
            const std::vector<T>& o = out[c];
            for (int i = 0; i < int(o.size()); ++i) {
                if (i < frames)
                    check(o[i] == kCanary || std::fabs(o[i]) <= T(1));
                else
                    check(o[i] == kCanary);
            }
        }
    }
};

} // namespace fuzzing
