// The processing path for every x86-64 processor (SSE2).
#include "engine/limiter_pipeline.h"

namespace {

struct Path : simd::Sse2 {};

void limitSingle(LimiterFrame& frame, const float* inL, const float* inR, float* outL, float* outR, int n) {
    frame.process<Path>(inL, inR, outL, outR, n);
}
void limitDouble(LimiterFrame& frame, const double* inL, const double* inR, double* outL, double* outR,
                 int n) {
    frame.process<Path>(inL, inR, outL, outR, n);
}

} // namespace

extern const FramePath kSse2Path;
constinit const FramePath kSse2Path{Path::kName, limitSingle, limitDouble};
