#pragma once
// Marks the few symbols a host looks up by name. ELF builds hide everything else; Windows builds
// export through the module definition file instead.
#ifdef _WIN32
#define ORVEL_EXPORT
#else
#define ORVEL_EXPORT __attribute__((visibility("default")))
#endif
