// Audio files through libsndfile: WAV, AIFF and FLAC, mono or stereo, read and written as interleaved
// doubles. An output file is written under a temporary name beside its final path and renamed into
// place only when complete, so a failure or an interruption leaves no partial file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct sf_private_tag;

namespace orvel {

enum class SampleFormat { Same, Pcm16, Pcm24, Float };

// "WAV 24-bit", "FLAC 16-bit", "AIFF 32-bit float", ...
std::string describeFormat(int sndfileFormat);

class AudioReader {
public:
    // Throws Error for a file that cannot be read, a container other than WAV, AIFF or FLAC, or more
    // than two channels.
    explicit AudioReader(const std::string& path);
    ~AudioReader();
    AudioReader(const AudioReader&) = delete;
    AudioReader& operator=(const AudioReader&) = delete;

    int sampleRate() const { return rate; }
    int channels() const { return channelCount; }
    std::int64_t frames() const { return frameCount; }
    int format() const { return sndfileFormat; }
    // Reads up to `frames` interleaved frames; fewer only at the end of the file. Throws on a read error.
    std::int64_t read(double* interleaved, std::int64_t frames);

private:
    std::string path;
    sf_private_tag* file = nullptr;
    int rate = 0, channelCount = 0, sndfileFormat = 0;
    std::int64_t frameCount = 0;
};

// The libsndfile format of the output: container from the output's extension (.wav, .aif/.aiff,
// .flac), sample format from the choice ("same" keeps the input's). Throws Error when the container
// is unknown or cannot hold the sample format.
int chooseOutputFormat(const std::string& outputPath, int inputFormat, SampleFormat choice, int channels,
                       int sampleRate);

class AudioWriter {
public:
    // Creates the temporary file beside `path`; throws Error when the folder is not writable or `path`
    // names a folder.
    AudioWriter(const std::string& path, int sampleRate, int channels, int sndfileFormat);
    // Removes the temporary file unless commit() succeeded.
    ~AudioWriter();
    AudioWriter(const AudioWriter&) = delete;
    AudioWriter& operator=(const AudioWriter&) = delete;

    // Writes interleaved frames and leaves in `interleaved` the values the file holds: PCM samples
    // rounded to the nearest step and clipped at full scale (never wrapped), 32-bit float samples
    // rounded to float. Throws on failure.
    void write(double* interleaved, std::int64_t frames);
    // Completes the file under its temporary name. Throws on failure.
    void finish();
    // Finishes the file if needed and renames it to its final path. Throws on failure.
    void commit();

private:
    void discard();
    void forgetTemporary();

    std::string finalPath;
    std::string tempPath;
    int descriptor = -1;
    int tempSlot = -1;
    sf_private_tag* file = nullptr;
    int channelCount = 0;
    double pcmScale = 0.0; // 2^(bits - 1) for PCM output, 0 for floating point
    bool singlePrecision = false;
    bool finished = false;
};

// Removes every temporary output still open, then lets the signal end the process as it would have.
void installInterruptCleanup();

// Remembers the permission bits new files get; call once before any thread starts.
void rememberCreationMode();
// Gives a file made by mkstemp (owner-only) the permission bits a new file gets.
void applyCreationMode(int descriptor);

} // namespace orvel
