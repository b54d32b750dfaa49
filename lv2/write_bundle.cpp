// orvel-lv2-ttl OUTDIR: writes the bundle's Turtle files into OUTDIR.
#include <cstdio>
#include <fstream>
#include <string>

#include "lv2/turtle.h"

namespace {

bool write(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (out) return true;
    std::fprintf(stderr, "orvel-lv2-ttl: cannot write %s\n", path.c_str());
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: orvel-lv2-ttl OUTDIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    const bool ok = write(dir + "/manifest.ttl", lv2turtle::manifest()) &&
                    write(dir + "/orvel-zelmar.ttl", lv2turtle::plugin()) &&
                    write(dir + "/presets.ttl", lv2turtle::presets());
    return ok ? 0 : 1;
}
