// Two meters for the files orvel writes, independent of orvel's own report: libebur128 called
// directly on the file's samples, and FFmpeg's ebur128 filter (true peak on) run as a program.
#pragma once

#include <string>
#include <vector>

namespace orveltest {

struct Loudness {
    double integratedLufs = 0.0;
    double truePeakDbtp = 0.0; // the highest over the channels
};

// libebur128 on the file as read back.
Loudness measureWithLibebur128(const std::string& path);
// The integrated loudness of several files measured as one programme.
double albumLoudnessWithLibebur128(const std::vector<std::string>& paths);
// FFmpeg's ebur128 filter; fails the test when ffmpeg is missing or says nothing.
Loudness measureWithFfmpeg(const std::string& path);

// A programme-like test signal, interleaved stereo: kick, snare-like noise bursts, bass and a
// sustained chord, with the crest factor of unmastered music. `level` scales it (1.0: peaks near
// -1 dBFS); a burst of noise near full scale, `burstSeconds` long at `burstAt`, makes a place the
// limiter must work whatever the level.
std::vector<double> music(int rate, double seconds, double level, unsigned seed, double burstAt = -1.0,
                          double burstSeconds = 0.0);

} // namespace orveltest
