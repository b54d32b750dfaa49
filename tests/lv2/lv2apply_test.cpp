// Debian's command-line LV2 host renders a file through the bundle exactly as the suite's own host
// does.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/parameters.h"
#include "lv2/identity.h"
#include "lv2/ports.h"
#include "tests/lv2/support/lv2_host.h"

using namespace lv2port;

namespace {

void put32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out += char((v >> (8 * i)) & 0xFF);
}

void put16(std::string& out, std::uint16_t v) {
    out += char(v & 0xFF);
    out += char(v >> 8);
}

// A stereo 32-bit float WAV file.
void writeWav(const std::string& path, int rate, const std::vector<float>& interleaved) {
    const auto bytes = std::uint32_t(interleaved.size() * sizeof(float));
    std::string header = "RIFF";
    put32(header, 36 + bytes);
    header += "WAVEfmt ";
    put32(header, 16);
    put16(header, 3); // IEEE float
    put16(header, 2);
    put32(header, std::uint32_t(rate));
    put32(header, std::uint32_t(rate) * 8);
    put16(header, 8);
    put16(header, 32);
    header += "data";
    put32(header, bytes);
    std::ofstream out(path, std::ios::binary);
    out << header;
    out.write(reinterpret_cast<const char*>(interleaved.data()), std::streamsize(bytes));
}

std::uint32_t get32(const std::string& s, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | std::uint8_t(s[at + std::size_t(i)]);
    return v;
}

// The samples of a float WAV file's data chunk, whatever chunks come before it.
std::vector<float> readWavSamples(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<float> samples;
    for (std::size_t at = 12; at + 8 <= file.size();) {
        const std::uint32_t size = get32(file, at + 4);
        if (file.compare(at, 4, "data") == 0 && at + 8 + size <= file.size()) {
            samples.resize(size / sizeof(float));
            std::memcpy(samples.data(), file.data() + at + 8, samples.size() * sizeof(float));
            break;
        }
        at += 8 + size + (size & 1);
    }
    return samples;
}

TEST(Lv2Apply, RendersAFileBitForBitAsTheSuitesHost) {
    constexpr int kRate = 48000, kFrames = 30000;
    std::vector<float> left(kFrames), right(kFrames), interleaved;
    for (int n = 0; n < kFrames; ++n) {
        left[n] = 1.4f * std::sin(0.011f * float(n)) * (n % 9000 < 4500 ? 1.0f : 0.1f);
        right[n] = 0.9f * std::sin(0.027f * float(n));
        interleaved.push_back(left[n]);
        interleaved.push_back(right[n]);
    }
    const std::string dir = testing::TempDir();
    const std::string input = dir + "/lv2apply-in.wav", output = dir + "/lv2apply-out.wav";
    writeWav(input, kRate, interleaved);
    std::remove(output.c_str());

    const std::string command =
        std::string("LV2_PATH='") + ORVEL_LV2_PATH + ":/usr/lib/lv2' lv2apply -i '" + input + "' -o '" +
        output + "' -c drive 9.5 -c trans_shape 1 -c oversample 1 -c release 40 " + lv2identity::kPluginUri;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::vector<float> rendered = readWavSamples(output);
    ASSERT_EQ(rendered.size(), interleaved.size());

    lv2test::Instance instance(kRate);
    instance.control(controlPortOf(engine::kDrive)) = 9.5f;
    instance.control(controlPortOf(engine::kTransShape)) = 1.0f;
    instance.control(controlPortOf(engine::kOversample)) = 1.0f;
    instance.control(controlPortOf(engine::kRelease)) = 40.0f;
    std::vector<float> outL(kFrames), outR(kFrames);
    instance.connectAudio(left.data(), right.data(), outL.data(), outR.data());
    instance.activate();
    instance.run(kFrames);
    int different = 0;
    for (int n = 0; n < kFrames; ++n)
        different += std::memcmp(&rendered[2 * std::size_t(n)], &outL[n], sizeof(float)) != 0 ||
                     std::memcmp(&rendered[2 * std::size_t(n) + 1], &outR[n], sizeof(float)) != 0;
    EXPECT_EQ(different, 0);
    EXPECT_GT(std::fabs(outL[kFrames / 2]), 0.0f);
}

} // namespace
