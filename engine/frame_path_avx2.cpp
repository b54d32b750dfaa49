// The processing path for processors with AVX2 (this unit is compiled with -mavx2). Only its constant
// table is touched before the processor has been found to run it.
#include "engine/frame_path_unit.h"

namespace {
struct Path : simd::Avx2 {};
} // namespace

extern const FramePath kAvx2Path;
constinit const FramePath kAvx2Path = PathUnit<Path>::table;
