// A small LV2 host on lilv for the suite: it loads the bundle from the build folder as a host
// would (the system's LV2 vocabularies beside it), instantiates the plug-in and runs it with
// port buffers of its own.
#pragma once

#include <lilv/lilv.h>

#include <cstdint>
#include <string>
#include <vector>

#include "lv2/ports.h"

namespace lv2test {

class World {
public:
    World();
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    LilvWorld* get() const { return world; }
    const LilvPlugin* plugin() const { return found; }
    LilvNode* uri(const char* text) const { return lilv_new_uri(world, text); }

private:
    LilvWorld* world;
    const LilvPlugin* found = nullptr;
};

// The suite's one world.
World& world();

class Instance {
public:
    explicit Instance(double rate);
    ~Instance();
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    // The value a control input holds, as the host writes it before a run.
    float& control(std::uint32_t port) { return values[port]; }
    float output(std::uint32_t port) const { return values[port]; }
    // Connects every port (audio to the given buffers, null to leave a port unconnected).
    void connectAudio(float* inL, float* inR, float* outL, float* outR);
    void connect(std::uint32_t port, void* data) { lilv_instance_connect_port(instance, port, data); }
    void activate() {
        lilv_instance_activate(instance);
        active = true;
    }
    void run(std::uint32_t frames) { lilv_instance_run(instance, frames); }

private:
    LilvInstance* instance;
    bool active = false;
    float values[lv2port::kNumPorts] = {};
};

} // namespace lv2test
