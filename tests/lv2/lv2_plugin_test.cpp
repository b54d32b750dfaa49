// The LV2 bundle as a host sees it through lilv: its description against the port table, its
// factory presets, its latency, and its audio against the VST 2.4 plug-in's for the same settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "engine/parameters.h"
#include "lv2/identity.h"
#include "lv2/ports.h"
#include "presets/factory_presets.h"
#include "tests/host/test_host.h"
#include "tests/lv2/support/lv2_host.h"

using namespace lv2port;

namespace {

constexpr const char* kLv2 = "http://lv2plug.in/ns/lv2core#";
constexpr const char* kPset = "http://lv2plug.in/ns/ext/presets#";
constexpr const char* kRdfs = "http://www.w3.org/2000/01/rdf-schema#";
constexpr const char* kPortProps = "http://lv2plug.in/ns/ext/port-props#";

std::string node(const char* prefix, const char* name) {
    return std::string(prefix) + name;
}

// A lilv node that frees itself.
struct Node {
    explicit Node(LilvNode* n) : n(n) {}
    Node(const char* prefix, const char* name) : n(lv2test::world().uri(node(prefix, name).c_str())) {}
    ~Node() { lilv_node_free(n); }
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;
    LilvNode* n;
};

bool sameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof(a)) == 0;
}

TEST(Lv2Description, NamesTheLimiterWithItsClassLatencyAndVersion) {
    const LilvPlugin* plugin = lv2test::world().plugin();
    Node name(lilv_plugin_get_name(plugin));
    EXPECT_STREQ(lilv_node_as_string(name.n), "Orvel Zelmar");
    EXPECT_STREQ(lilv_node_as_uri(lilv_plugin_class_get_uri(lilv_plugin_get_class(plugin))),
                 node(kLv2, "LimiterPlugin").c_str());
    EXPECT_EQ(lilv_plugin_get_num_ports(plugin), std::uint32_t(kNumPorts));
    ASSERT_TRUE(lilv_plugin_has_latency(plugin));
    EXPECT_EQ(lilv_plugin_get_latency_port_index(plugin), std::uint32_t(kLatency));
    Node hardRt(kLv2, "hardRTCapable");
    EXPECT_TRUE(lilv_plugin_has_feature(plugin, hardRt.n));
    LilvNodes* features = lilv_plugin_get_required_features(plugin);
    EXPECT_EQ(lilv_nodes_size(features), 0u);
    lilv_nodes_free(features);
}

TEST(Lv2Description, EveryPortAsTheTableDescribesIt) {
    const LilvPlugin* plugin = lv2test::world().plugin();
    Node audioClass(kLv2, "AudioPort"), controlClass(kLv2, "ControlPort"), inputClass(kLv2, "InputPort");
    Node toggled(kLv2, "toggled"), enumeration(kLv2, "enumeration"), notAutomatic(kPortProps, "notAutomatic");
    Node reportsLatency(kLv2, "reportsLatency");
    for (std::uint32_t i = 0; i < kNumPorts; ++i) {
        const PortInfo& info = port(i);
        const LilvPort* p = lilv_plugin_get_port_by_index(plugin, i);
        ASSERT_NE(p, nullptr) << i;
        EXPECT_STREQ(lilv_node_as_string(lilv_port_get_symbol(plugin, p)), info.symbol) << i;
        EXPECT_EQ(lilv_port_is_a(plugin, p, audioClass.n), info.kind == Kind::Audio) << info.symbol;
        EXPECT_EQ(lilv_port_is_a(plugin, p, controlClass.n), info.kind == Kind::Control) << info.symbol;
        EXPECT_EQ(lilv_port_is_a(plugin, p, inputClass.n), info.direction == Direction::Input) << info.symbol;
        if (info.kind == Kind::Audio) continue;
        LilvNode *def = nullptr, *min = nullptr, *max = nullptr;
        lilv_port_get_range(plugin, p, &def, &min, &max);
        ASSERT_TRUE(min && max) << info.symbol;
        EXPECT_FLOAT_EQ(lilv_node_as_float(min), minimum(info)) << info.symbol;
        EXPECT_FLOAT_EQ(lilv_node_as_float(max), maximum(info)) << info.symbol;
        if (info.direction == Direction::Input) {
            ASSERT_TRUE(def) << info.symbol;
            EXPECT_FLOAT_EQ(lilv_node_as_float(def), defaultValue(info)) << info.symbol;
        }
        lilv_node_free(def);
        lilv_node_free(min);
        lilv_node_free(max);
        EXPECT_EQ(lilv_port_has_property(plugin, p, toggled.n), info.toggled) << info.symbol;
        EXPECT_EQ(lilv_port_has_property(plugin, p, enumeration.n), choiceCount(info) > 0 && !info.toggled)
            << info.symbol;
        EXPECT_EQ(lilv_port_has_property(plugin, p, notAutomatic.n), !info.automatable) << info.symbol;
        EXPECT_EQ(lilv_port_has_property(plugin, p, reportsLatency.n), i == kLatency) << info.symbol;
    }
}

TEST(Lv2Description, ChoicesCarryTheDisplayTextsAsScalePoints) {
    const LilvPlugin* plugin = lv2test::world().plugin();
    struct Case {
        std::uint32_t port;
        std::vector<std::string> labels;
    };
    const Case cases[] = {
        {controlPortOf(engine::kTransShape), {"hard", "med", "soft"}},
        {controlPortOf(engine::kNoiseShape), {"off", "type A", "type B", "type C"}},
        {controlPortOf(engine::kBits), {"8", "16", "24"}},
        {controlPortOf(engine::kAttShow), {"none", "1", "2", "12", "L", "1L", "2L", "12L"}},
    };
    for (const Case& c : cases) {
        const LilvPort* p = lilv_plugin_get_port_by_index(plugin, c.port);
        LilvScalePoints* points = lilv_port_get_scale_points(plugin, p);
        std::vector<std::string> labels(c.labels.size());
        ASSERT_EQ(lilv_scale_points_size(points), c.labels.size()) << c.port;
        LILV_FOREACH(scale_points, it, points) {
            const LilvScalePoint* point = lilv_scale_points_get(points, it);
            const int value = lilv_node_as_int(lilv_scale_point_get_value(point));
            ASSERT_TRUE(value >= 0 && value < int(labels.size()));
            labels[value] = lilv_node_as_string(lilv_scale_point_get_label(point));
        }
        lilv_scale_points_free(points);
        EXPECT_EQ(labels, c.labels) << c.port;
    }
}

TEST(Lv2Presets, TheTwentyThreeFactoryPresetsWithTheirNamesAndValues) {
    LilvWorld* world = lv2test::world().get();
    Node presetClass(kPset, "Preset"), label(kRdfs, "label"), portNode(kLv2, "port"), symbol(kLv2, "symbol"),
        value(kPset, "value");
    LilvNodes* presets = lilv_plugin_get_related(lv2test::world().plugin(), presetClass.n);
    ASSERT_EQ(lilv_nodes_size(presets), 23u);
    std::vector<bool> seen(presets::kNumSlots, false);
    LILV_FOREACH(nodes, it, presets) {
        const LilvNode* preset = lilv_nodes_get(presets, it);
        lilv_world_load_resource(world, preset);
        const std::string uri = lilv_node_as_uri(preset);
        const std::string prefix = lv2identity::kPresetUriPrefix;
        ASSERT_EQ(uri.rfind(prefix, 0), 0u) << uri;
        const int slot = std::stoi(uri.substr(prefix.size()));
        ASSERT_TRUE(slot >= 1 && slot < presets::kNumSlots) << uri;
        seen[slot] = true;
        const presets::FactoryPreset& factory = presets::kFactoryPresets[slot];
        Node name(lilv_world_get(world, preset, label.n, nullptr));
        ASSERT_NE(name.n, nullptr) << uri;
        EXPECT_STREQ(lilv_node_as_string(name.n), factory.name);

        LilvNodes* ports = lilv_world_find_nodes(world, preset, portNode.n, nullptr);
        EXPECT_EQ(lilv_nodes_size(ports), 22u) << factory.name;
        LILV_FOREACH(nodes, p, ports) {
            const LilvNode* entry = lilv_nodes_get(ports, p);
            Node portSymbol(lilv_world_get(world, entry, symbol.n, nullptr));
            Node portValue(lilv_world_get(world, entry, value.n, nullptr));
            ASSERT_TRUE(portSymbol.n && portValue.n) << factory.name;
            bool matched = false;
            for (std::uint32_t i = kFirstControl; i < kLatency; ++i) {
                const PortInfo& info = port(i);
                if (std::string(info.symbol) != lilv_node_as_string(portSymbol.n)) continue;
                matched = true;
                EXPECT_TRUE(sameBits(lilv_node_as_float(portValue.n),
                                     toPortValue(info, factory.values[info.parameter])))
                    << factory.name << " " << info.symbol;
            }
            EXPECT_TRUE(matched) << lilv_node_as_string(portSymbol.n);
        }
        lilv_nodes_free(ports);
    }
    lilv_nodes_free(presets);
    for (int slot = 1; slot < presets::kNumSlots; ++slot)
        EXPECT_TRUE(seen[slot]) << slot;
}

TEST(Lv2Latency, ThePortReportsTheLatencyOfTheRate) {
    struct Case {
        double rate;
        float latency;
    };
    const Case cases[] = {{44100, 159}, {48000, 159},  {88200, 287},
                          {96000, 287}, {176400, 543}, {192000, 543}};
    for (const Case& c : cases) {
        lv2test::Instance instance(c.rate);
        std::vector<float> l(64), r(64);
        instance.connectAudio(l.data(), r.data(), l.data(), r.data());
        instance.activate();
        instance.run(0);
        EXPECT_EQ(instance.output(kLatency), c.latency) << c.rate;
        instance.run(64);
        EXPECT_EQ(instance.output(kLatency), c.latency) << c.rate;
    }
}

// ---------------------------------------------------------------------------------------------
// Audio against the VST 2.4 plug-in

// A port value a host may send: mostly inside the range, sometimes far outside it or not a number.
float randomPortValue(const PortInfo& info, std::mt19937& rng) {
    const float lo = minimum(info), hi = maximum(info);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    if (unit(rng) < 0.12f) {
        const float wild[] = {std::numeric_limits<float>::quiet_NaN(),
                              std::numeric_limits<float>::infinity(),
                              -std::numeric_limits<float>::infinity(),
                              1e30f,
                              -1e30f,
                              hi + (hi - lo),
                              lo - (hi - lo) - 1.0f};
        return wild[rng() % (sizeof(wild) / sizeof(wild[0]))];
    }
    if (choiceCount(info) > 0) return float(rng() % unsigned(choiceCount(info)));
    return lo + (hi - lo) * unit(rng);
}

struct Pair {
    explicit Pair(double rate) : lv2(rate), vst(testhost::library()) {
        vst.dispatch(vst::effSetSampleRate, 0, 0, nullptr, float(rate));
    }
    // The same setting on both sides; the VST 2.4 side hears only of values the LV2 side sees change.
    void set(std::uint32_t p, float value) {
        float& held = lv2.control(p);
        if (sameBits(held, value)) return;
        held = value;
        const PortInfo& info = port(p);
        vst->setParameter(vst.get(), info.parameter, toNormalized(info, value));
    }
    lv2test::Instance lv2;
    testhost::Instance vst;
};

// Music-like material up to twice full scale: sine bursts over noise, with stretches of silence.
std::vector<float> material(int frames, int channel, std::mt19937& rng) {
    std::normal_distribution<float> noise(0.0f, 0.2f);
    std::vector<float> x(static_cast<std::size_t>(frames));
    for (int n = 0; n < frames; ++n) {
        const float envelope = (n / 4000) % 5 == 4 ? 0.0f : 0.3f + 1.7f * float((n / 1500) % 4) / 3.0f;
        x[std::size_t(n)] = envelope * (0.6f * std::sin(0.013f * float(n) * float(channel + 1)) + noise(rng));
    }
    return x;
}

TEST(Lv2Audio, BitIdenticalToTheVstPluginForTheSameSettings) {
    std::mt19937 rng(2026);
    for (double rate : {44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0}) {
        Pair pair(rate);
        for (std::uint32_t p = kFirstControl; p < kLatency; ++p) {
            const PortInfo& info = port(p);
            if (info.parameter == engine::kCalibrate) continue; // set below, now and then
            pair.set(p, randomPortValue(info, rng));
        }
        const int total = int(rate) * 2;
        const std::vector<float> inL = material(total, 0, rng), inR = material(total, 1, rng);
        std::vector<float> lv2L(total), lv2R(total), vstL(total), vstR(total);
        pair.lv2.activate();
        pair.vst.dispatch(vst::effMainsChanged, 0, 0);
        pair.vst.dispatch(vst::effMainsChanged, 0, 1);
        std::uniform_int_distribution<int> blockSize(1, 2048);
        for (int start = 0; start < total;) {
            const int frames = std::min(blockSize(rng), total - start);
            if (rng() % 4 == 0) {
                // Changes between blocks, in port order as the LV2 side applies them.
                std::vector<std::uint32_t> changed;
                for (int k = 0; k < 3; ++k)
                    changed.push_back(kFirstControl + std::uint32_t(rng() % 22));
                std::sort(changed.begin(), changed.end());
                for (std::uint32_t p : changed) {
                    const PortInfo& info = port(p);
                    if (info.parameter == engine::kCalibrate && rng() % 3 != 0) continue;
                    pair.set(p, randomPortValue(info, rng));
                }
            }
            float* lv2In[2] = {const_cast<float*>(inL.data()) + start,
                               const_cast<float*>(inR.data()) + start};
            pair.lv2.connectAudio(lv2In[0], lv2In[1], lv2L.data() + start, lv2R.data() + start);
            pair.lv2.run(std::uint32_t(frames));
            float* vstIn[2] = {lv2In[0], lv2In[1]};
            float* vstOut[2] = {vstL.data() + start, vstR.data() + start};
            pair.vst->processReplacing(pair.vst.get(), vstIn, vstOut, frames);
            start += frames;
        }
        for (int n = 0; n < total; ++n) {
            ASSERT_TRUE(sameBits(lv2L[n], vstL[n]) && sameBits(lv2R[n], vstR[n]))
                << rate << " Hz, sample " << n << ": " << lv2L[n] << " " << vstL[n];
            ASSERT_TRUE(std::isfinite(lv2L[n]) && std::fabs(lv2L[n]) <= 1.0f) << rate << " " << n;
        }
    }
}

TEST(Lv2Audio, LateConnectionsAndEmptyRunsAreHarmless) {
    lv2test::Instance instance(48000);
    instance.activate();
    instance.run(256); // nothing connected: skipped
    std::vector<float> in(512, 0.5f), out(512, 7.0f);
    instance.connectAudio(in.data(), nullptr, out.data(), nullptr);
    instance.run(0);
    EXPECT_EQ(out, std::vector<float>(512, 7.0f));
    instance.run(512); // mono: the left pins alone
    for (float v : out)
        ASSERT_TRUE(std::isfinite(v) && std::fabs(v) <= 1.0f);
    EXPECT_NE(out[511], 7.0f);
}

TEST(Lv2Meters, PeaksRmsAndGainReductionReachTheirPorts) {
    lv2test::Instance instance(48000);
    instance.control(controlPortOf(engine::kDrive)) = 24.0f;
    instance.control(controlPortOf(engine::kPostMeter)) = 1.0f; // the input meter before the drive
    const int frames = 48000;
    std::vector<float> l(frames), r(frames, 0.0f), outL(frames), outR(frames);
    for (int n = 0; n < frames; ++n)
        l[n] = 0.5f * std::sin(0.05f * float(n));
    instance.connectAudio(l.data(), r.data(), outL.data(), outR.data());
    instance.activate();
    instance.run(frames);
    EXPECT_NEAR(instance.output(kInPeakLeft), -6.02f, 0.05f);
    EXPECT_EQ(instance.output(kInPeakRight), kPeakFloorDb);
    EXPECT_GT(instance.output(kGainReductionLeft), 6.0f);
    EXPECT_LE(instance.output(kOutPeakLeft), 0.0f);
    EXPECT_GT(instance.output(kOutPeakLeft), -3.0f);
    // A sine's RMS level reads as its peak (the K-system's convention).
    EXPECT_NEAR(instance.output(kInRmsLeft), -6.02f, 0.3f);
    EXPECT_EQ(instance.output(kInRmsRight), kPeakFloorDb);
    EXPECT_GT(instance.output(kOutRmsLeft), instance.output(kInRmsLeft) + 3.0f); // driven, limited

    // Silence after it: the peak stays shown through the window that saw it, then goes.
    std::fill(l.begin(), l.end(), 0.0f);
    instance.run(64);
    EXPECT_NEAR(instance.output(kInPeakLeft), -6.02f, 0.05f);
    instance.run(4800);
    instance.run(4800);
    EXPECT_EQ(instance.output(kInPeakLeft), kPeakFloorDb);
}

} // namespace
