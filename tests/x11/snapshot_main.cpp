// Writes a PNG of the built .so's editor as a real X server shows it: loaded as a host loads it,
// opened in a parent window, fed a few seconds of a two-tone signal driven into the limiter so that
// the meters move, and read back from the server.
//
//   scripts/x11-run build/linux/bin/x11-editor-snapshot OUT.png
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

#include "engine/parameters.h"
#include "gui/image_codec.h"
#include "platform/registry_sandbox.h"
#include "support/plugin_under_test.h"

using namespace x11test;

namespace {

void feed(LoadedPlugin& plugin, double seconds) {
    constexpr int kBlock = 512;
    constexpr double kRate = 44100;
    std::vector<float> left(kBlock), right(kBlock), outLeft(kBlock), outRight(kBlock);
    float* in[2] = {left.data(), right.data()};
    float* out[2] = {outLeft.data(), outRight.data()};
    static long frame = 0;
    for (int b = 0; b < int(seconds * kRate / kBlock); ++b) {
        for (int i = 0; i < kBlock; ++i, ++frame) {
            double t = double(frame) / kRate;
            left[std::size_t(i)] =
                float(0.45 * std::sin(2 * M_PI * 110 * t) + 0.3 * std::sin(2 * M_PI * 1700 * t));
            right[std::size_t(i)] =
                float(0.4 * std::sin(2 * M_PI * 110 * t + 0.5) + 0.3 * std::sin(2 * M_PI * 2300 * t));
        }
        plugin.effect->processReplacing(plugin.effect, in, out, kBlock);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.png\n", argv[0]);
        return 2;
    }
    platform::RegistrySandbox sandbox;
    Host host;
    LoadedPlugin plugin;
    if (!plugin.effect) {
        std::fprintf(stderr, "cannot load the plug-in: %s\n", plugin.library.error().c_str());
        return 1;
    }
    plugin.dispatch(vst::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    plugin.dispatch(vst::effSetBlockSize, 0, 512);
    plugin.dispatch(vst::effMainsChanged, 0, 1);
    plugin.effect->setParameter(plugin.effect, engine::kDrive, 0.625f);
    plugin.effect->setParameter(plugin.effect, engine::kOutput, 0.95f);
    Window parent = host.makeParent(kEditorWidth, kEditorHeight);
    if (plugin.open(parent) != 1) {
        std::fprintf(stderr, "the editor did not open\n");
        return 1;
    }
    Window editor = host.firstChild(parent);
    host.moveTo(1270, 1010);
    for (int i = 0; i < 40; ++i) {
        feed(plugin, 0.05);
        idleFor(plugin, host, 30);
    }
    std::vector<std::uint32_t> shown = host.readWindow(editor);
    plugin.dispatch(vst::effEditClose);
    if (shown.size() != std::size_t(kEditorWidth) * kEditorHeight ||
        !gui::writePngFile(argv[1], shown.data(), kEditorWidth, kEditorHeight, kEditorWidth)) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
