// The processing paths: the same per-block processing (one template, engine/frame_path_unit.h) compiled
// once per instruction set (baseline x86-64 with SSE2, AVX2, AVX-512), each in a translation unit of its
// own, chosen at run time by what the processor offers. All paths give identical results (see
// engine/simd.h).
#pragma once

class LimiterFrame;

struct FramePath {
    const char* name;
    void (*limitSingle)(LimiterFrame&, const float*, const float*, float*, float*, int);
    void (*limitDouble)(LimiterFrame&, const double*, const double*, double*, double*, int);
};

namespace frame_path {

// Baseline x86-64: runs everywhere.
const FramePath& baseline();
// Every path this processor can run, baseline first, fastest last; `count` receives their number.
const FramePath* const* available(int& count);
// The fastest path this processor can run.
const FramePath& fastest();

} // namespace frame_path
