#include "engine/frame_path.h"

// Defined in the path translation units, constant-initialized: nothing in the AVX2 or AVX-512 unit runs
// before the processor has been asked.
extern const FramePath kSse2Path;
#if ORVEL_AVX2_PATH
extern const FramePath kAvx2Path;
#endif
#if ORVEL_AVX512_PATH
extern const FramePath kAvx512Path;
#endif

namespace frame_path {

namespace {

struct Table {
    const FramePath* paths[3];
    int count = 0;
    Table() {
        paths[count++] = &kSse2Path;
#if ORVEL_AVX2_PATH
        __builtin_cpu_init();
        if (__builtin_cpu_supports("avx2")) paths[count++] = &kAvx2Path;
#endif
#if ORVEL_AVX512_PATH
        if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("avx512f") &&
            __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512vl") &&
            __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("fma"))
            paths[count++] = &kAvx512Path;
#endif
    }
};

const Table& table() {
    static const Table t;
    return t;
}

} // namespace

const FramePath& baseline() {
    return kSse2Path;
}

const FramePath* const* available(int& count) {
    count = table().count;
    return table().paths;
}

const FramePath& fastest() {
    const Table& t = table();
    return *t.paths[t.count - 1];
}

} // namespace frame_path
