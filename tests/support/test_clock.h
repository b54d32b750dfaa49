// The toolkit's clock under a test's control: installed for its lifetime, it answers the time it
// holds and lets sleeps pass at once, recording each.
#pragma once

#include <cstdint>
#include <vector>

#include "gui/tick_source.h"

namespace testsupport {

class TestClock : public gui::TickSource {
public:
    explicit TestClock(std::uint32_t start = 1000) : time(start) { gui::setTickSource(this); }
    ~TestClock() override { gui::setTickSource(nullptr); }
    TestClock(const TestClock&) = delete;
    TestClock& operator=(const TestClock&) = delete;

    std::uint32_t now() override { return time; }
    void sleep(std::uint32_t ms) override {
        sleeps.push_back(ms);
        time += ms;
    }

    std::uint32_t time;
    std::vector<std::uint32_t> sleeps;
};

} // namespace testsupport
