// One processing path: the per-block processing of engine/limiter_pipeline.h instantiated for the
// instruction-set tag `Isa`. Each engine/frame_path_<set>.cpp includes this with a tag of its own and
// is compiled with that set's options, so the paths differ only in the code the compiler makes of one
// template.
#pragma once

#include "engine/frame_path.h"
#include "engine/limiter_pipeline.h"

namespace {

template <class Isa> struct PathUnit {
    static void limitSingle(LimiterFrame& frame, const float* inL, const float* inR, float* outL, float* outR,
                            int n) {
        frame.process<Isa>(inL, inR, outL, outR, n);
    }
    static void limitDouble(LimiterFrame& frame, const double* inL, const double* inR, double* outL,
                            double* outR, int n) {
        frame.process<Isa>(inL, inR, outL, outR, n);
    }
    static constexpr FramePath table{Isa::kName, limitSingle, limitDouble};
};

} // namespace
