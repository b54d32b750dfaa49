// The processing path for every x86-64 processor (SSE2).
#include "engine/frame_path_unit.h"

namespace {
struct Path : simd::Sse2 {};
} // namespace

extern const FramePath kSse2Path;
constinit const FramePath kSse2Path = PathUnit<Path>::table;
