// The processing path for processors with AVX2 (this unit is compiled with -mavx2). Only its constant
// table is touched before the processor has been found to run it.
#include "engine/limiter_pipeline.h"

namespace {

struct Path : simd::Avx2 {};

void limitSingle(LimiterFrame& frame, const float* inL, const float* inR, float* outL, float* outR, int n) {
    frame.process<Path>(inL, inR, outL, outR, n);
}
void limitDouble(LimiterFrame& frame, const double* inL, const double* inR, double* outL, double* outR,
                 int n) {
    frame.process<Path>(inL, inR, outL, outR, n);
}

} // namespace

extern const FramePath kAvx2Path;
constinit const FramePath kAvx2Path{Path::kName, limitSingle, limitDouble};
