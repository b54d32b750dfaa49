// The processing path for processors with AVX-512 F, DQ, VL and BW (this unit is compiled for them).
// Only its constant table is touched before the processor has been found to run it.
#include "engine/frame_path_unit.h"

namespace {
struct Path : simd::Avx512 {};
} // namespace

extern const FramePath kAvx512Path;
constinit const FramePath kAvx512Path = PathUnit<Path>::table;
