#include "tools/render-editor/render.h"

#include <charconv>
#include <cstring>
#include <strings.h>

#include "editor/editor.h"
#include "editor/info.h"
#include "editor/meter_gr.h"
#include "editor/meter_lcd.h"
#include "editor/meter_level.h"
#include "editor/my_frame.h"
#include "engine/parameters.h"
#include "gui/tick_source.h"
#include "host/plugin.h"
#include "host/plugin_editor.h"
#include "platform/frame_window_headless.h"
#include "platform/registry_sandbox.h"

namespace render_editor {

namespace {

// A clock that stands still, so that nothing in the picture depends on when it was drawn.
class StillClock : public gui::TickSource {
public:
    StillClock() { gui::setTickSource(this); }
    ~StillClock() override { gui::setTickSource(nullptr); }
    std::uint32_t now() override { return time; }
    void sleep(std::uint32_t ms) override { time += ms; }
    std::uint32_t time = 1000;
};

vst::VstIntPtr silentHost(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*, float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

} // namespace

Picture render(const Scene& scene) {
    StillClock clock;
    // No stored default preset, bank or metering preference of this machine shows in the picture.
    platform::RegistrySandbox sandbox;
    Picture picture;
    Plugin* plugin = new Plugin(silentHost, &createPluginEditor);
    auto* glue = dynamic_cast<PluginEditor*>(plugin->getEditor());
    Editor* editor = glue ? &glue->getEditor() : nullptr;
    plugin->dispatcher(vst::effSetSampleRate, 0, 0, nullptr, scene.sampleRate);
    for (const auto& [index, value] : scene.parameters)
        plugin->setParameter(index, value);
    if (editor && plugin->dispatcher(vst::effEditOpen, 0, 0, nullptr, 0.0f)) {
        clock.time += 1000;
        plugin->dispatcher(vst::effEditIdle, 0, 0, nullptr, 0.0f);
        if (scene.feedMeters) {
            const float* m = scene.meters;
            clock.time += 20;
            const std::uint32_t now = clock.time;
            editor->getInputMeter()->feed(now, m[0], m[1], m[4], m[5]);
            editor->getOutputMeter()->feed(now, m[2], m[3], m[6], m[7]);
            editor->getGainReductionMeter()->feed(now, m[8], m[9]);
            editor->getInputReadout()->feed(m[0], m[1]);
            editor->getOutputReadout()->feed(m[2], m[3]);
            editor->getGainReductionReadout()->feed(m[8], m[9]);
        }
        MyFrame* frame = editor->getMyFrame();
        auto* window = platform::asHeadless(frame->getPlatformWindow());
        if (scene.infoPanel && window) {
            window->press(260, 385, platform::kMouseLeft);
            window->release(260, 385, platform::kMouseLeft);
        }
        frame->redrawRect(CRect(0, 0, frame->getWidth(), frame->getHeight()));
        picture.width = frame->getWidth();
        picture.height = frame->getHeight();
        picture.pixels.assign(frame->getSurfacePixels(),
                              frame->getSurfacePixels() +
                                  std::size_t(picture.width) * std::size_t(picture.height));
        plugin->dispatcher(vst::effEditClose, 0, 0, nullptr, 0.0f);
    }
    delete plugin;
    return picture;
}

bool parseNumber(const std::string& text, float& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc() && ptr == end;
}

bool parseSetting(const std::string& text, std::pair<int, float>& setting, std::string& error) {
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0) {
        error = "expected NAME=VALUE: " + text;
        return false;
    }
    const std::string name = text.substr(0, equals), value = text.substr(equals + 1);
    int index = -1;
    for (int i = 0; i < engine::kNumParameters; ++i)
        if (strcasecmp(engine::kParameters[i].name, name.c_str()) == 0) index = i;
    if (index < 0) {
        const auto [ptr, ec] = std::from_chars(name.data(), name.data() + name.size(), index);
        if (ec != std::errc() || ptr != name.data() + name.size() || index < 0 ||
            index >= engine::kNumParameters) {
            error = "no parameter " + name;
            return false;
        }
    }
    const engine::ParameterInfo& info = engine::kParameters[index];
    if (info.kind == engine::ParamKind::Choice)
        for (int k = 0; k < info.choices; ++k)
            if (strcasecmp(info.texts[k], value.c_str()) == 0) {
                setting = {index, engine::centre(k, info.choices)};
                return true;
            }
    float v = 0.0f;
    if (!parseNumber(value, v) || !(v >= 0.0f && v <= 1.0f)) {
        error = "not a normalized value or a choice of " + name + ": " + value;
        return false;
    }
    setting = {index, v};
    return true;
}

bool parseMeters(const std::string& text, float meters[10], std::string& error) {
    std::size_t start = 0;
    for (int i = 0; i < 10; ++i) {
        const std::size_t comma = text.find(',', start);
        if ((comma == std::string::npos) != (i == 9)) {
            error = "expected ten comma-separated values: " + text;
            return false;
        }
        const std::string item =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (!parseNumber(item, meters[i]) || !(meters[i] >= 0.0f)) {
            error = "not a linear level: " + item;
            return false;
        }
        start = comma + 1;
    }
    return true;
}

} // namespace render_editor
