// render-editor: draws the plug-in's editor into a PNG without a display, for the README's picture
// and for review.
//
//   render-editor OUT.png [--set NAME=VALUE]... [--meters V1,...,V10] [--rate HZ] [--info]
#include <cstdio>
#include <cstring>
#include <string>

#include "gui/image_codec.h"
#include "tools/render-editor/render.h"

namespace {

int usage() {
    std::fputs(
        "usage: render-editor OUT.png [--set NAME=VALUE]... [--meters V1,...,V10] [--rate HZ] [--info]\n"
        "  --set     a parameter by name or index: a normalized value (0..1) or a choice text\n"
        "  --meters  the engine's ten meter values, linear: input peak L,R, output peak L,R,\n"
        "            input RMS L,R, output RMS L,R, gain factor L,R (1 = no reduction)\n"
        "  --rate    the host's sample rate (the info panel shows its latency)\n"
        "  --info    with the info panel open\n",
        stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argv[1][0] == '-') return usage();
    const std::string out = argv[1];
    render_editor::Scene scene;
    std::string error;
    for (int i = 2; i < argc; ++i) {
        const std::string option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (option == "--set" && hasValue) {
            std::pair<int, float> setting;
            if (!render_editor::parseSetting(argv[++i], setting, error)) break;
            scene.parameters.push_back(setting);
        } else if (option == "--meters" && hasValue) {
            if (!render_editor::parseMeters(argv[++i], scene.meters, error)) break;
            scene.feedMeters = true;
        } else if (option == "--rate" && hasValue) {
            const std::string rate = argv[++i];
            if (!render_editor::parseNumber(rate, scene.sampleRate) || !(scene.sampleRate >= 1.0f)) {
                error = "not a sample rate: " + rate;
                break;
            }
        } else if (option == "--info") {
            scene.infoPanel = true;
        } else {
            return usage();
        }
    }
    if (!error.empty()) {
        std::fprintf(stderr, "render-editor: %s\n", error.c_str());
        return 2;
    }
    const render_editor::Picture picture = render_editor::render(scene);
    if (picture.pixels.empty()) {
        std::fputs("render-editor: the editor did not open\n", stderr);
        return 1;
    }
    if (!gui::writePngFile(out, picture.pixels.data(), picture.width, picture.height, picture.width)) {
        std::fprintf(stderr, "render-editor: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}
