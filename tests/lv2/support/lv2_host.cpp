#include "tests/lv2/support/lv2_host.h"

#include <stdexcept>

#include "lv2/identity.h"

namespace lv2test {

World::World() : world(lilv_world_new()) {
    // The LV2 vocabularies a host finds on the system (and nothing of a user's own ~/.lv2, where an
    // installed copy would stand beside the built one), then our bundle where the build left it.
    LilvNode* path = lilv_new_string(world, "/usr/lib/lv2");
    lilv_world_set_option(world, LILV_OPTION_LV2_PATH, path);
    lilv_node_free(path);
    lilv_world_load_all(world);
    LilvNode* bundle = lilv_new_file_uri(world, nullptr, ORVEL_LV2_BUNDLE "/");
    lilv_world_load_bundle(world, bundle);
    lilv_node_free(bundle);
    LilvNode* id = uri(lv2identity::kPluginUri);
    found = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), id);
    lilv_node_free(id);
    if (!found) throw std::runtime_error("the bundle in " ORVEL_LV2_BUNDLE " has no Orvel Zelmar plug-in");
}

World::~World() {
    lilv_world_free(world);
}

World& world() {
    static World instance;
    return instance;
}

Instance::Instance(double rate) : instance(lilv_plugin_instantiate(world().plugin(), rate, nullptr)) {
    if (!instance) throw std::runtime_error("lilv could not instantiate the plug-in");
    for (std::uint32_t i = lv2port::kFirstControl; i < lv2port::kNumPorts; ++i) {
        const lv2port::PortInfo& info = lv2port::port(i);
        values[i] = info.direction == lv2port::Direction::Input ? lv2port::defaultValue(info) : -1.0f;
        connect(i, &values[i]);
    }
}

Instance::~Instance() {
    if (active) lilv_instance_deactivate(instance);
    lilv_instance_free(instance);
}

void Instance::connectAudio(float* inL, float* inR, float* outL, float* outR) {
    connect(lv2port::kInLeft, inL);
    connect(lv2port::kInRight, inR);
    connect(lv2port::kOutLeft, outL);
    connect(lv2port::kOutRight, outR);
}

} // namespace lv2test
