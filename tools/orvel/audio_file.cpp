#include "tools/orvel/audio_file.h"

#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>

#include "tools/orvel/errors.h"

namespace orvel {

namespace {

std::string lowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return ext;
}

bool isSupportedContainer(int container) {
    switch (container) {
    case SF_FORMAT_WAV:
    case SF_FORMAT_WAVEX:
    case SF_FORMAT_RF64:
    case SF_FORMAT_AIFF:
    case SF_FORMAT_FLAC:
        return true;
    default:
        return false;
    }
}

std::string containerName(int container) {
    SF_FORMAT_INFO info{};
    info.format = container;
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof(info)) == 0 && info.name) return info.name;
    return "format " + std::to_string(container >> 16);
}

// Temporary outputs that an interrupting signal must remove. Fixed slots, so that the handler only
// reads memory that never moves.
constexpr int kTempSlots = 64;
constexpr std::size_t kTempPathMax = 4096;
char tempPaths[kTempSlots][kTempPathMax];
std::atomic<bool> tempUsed[kTempSlots];

int claimTempSlot(const std::string& path) {
    if (path.size() >= kTempPathMax) return -1;
    for (int i = 0; i < kTempSlots; ++i) {
        bool expected = false;
        if (tempUsed[i].compare_exchange_strong(expected, true)) {
            std::memcpy(tempPaths[i], path.c_str(), path.size() + 1);
            return i;
        }
    }
    return -1;
}

void releaseTempSlot(int slot) {
    if (slot >= 0) tempUsed[slot].store(false);
}

void onInterrupt(int signal) {
    for (int i = 0; i < kTempSlots; ++i)
        if (tempUsed[i].load()) unlink(tempPaths[i]);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

mode_t creationMode = 0644;

} // namespace

void installInterruptCleanup() {
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
        std::signal(s, onInterrupt);
}

void applyCreationMode(int descriptor) {
    fchmod(descriptor, creationMode);
}

void rememberCreationMode() {
    const mode_t mask = umask(0);
    umask(mask);
    creationMode = 0666 & ~mask;
}

std::string sampleFormatName(int format) {
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
        return "8-bit";
    case SF_FORMAT_PCM_16:
        return "16-bit";
    case SF_FORMAT_PCM_24:
        return "24-bit";
    case SF_FORMAT_PCM_32:
        return "32-bit";
    case SF_FORMAT_FLOAT:
        return "32-bit float";
    case SF_FORMAT_DOUBLE:
        return "64-bit float";
    default:
        return "encoded";
    }
}

// "WAV" rather than libsndfile's "WAV (Microsoft)".
std::string containerShortName(int format) {
    std::string text = containerName(format & SF_FORMAT_TYPEMASK);
    if (const auto space = text.find(' '); space != std::string::npos) text.resize(space);
    return text;
}

std::string describeFormat(int format) {
    return containerShortName(format) + " " + sampleFormatName(format);
}

AudioReader::AudioReader(const std::string& path) : path(path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) throw Error("cannot read " + path + ": it is a folder");
    if (!std::filesystem::exists(path, ec)) throw Error("cannot read " + path + ": no such file");
    SF_INFO info{};
    file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) throw Error("cannot read " + path + ": " + sf_strerror(nullptr));
    rate = info.samplerate;
    channelCount = info.channels;
    frameCount = info.frames;
    sndfileFormat = info.format;
    const int container = info.format & SF_FORMAT_TYPEMASK;
    std::string problem;
    if (!isSupportedContainer(container))
        problem = containerName(container) + " files are not supported; use WAV, AIFF or FLAC";
    else if (channelCount < 1 || channelCount > 2)
        problem = std::to_string(channelCount) + " channels; only mono and stereo are supported";
    else if (rate < 1000 || rate > 768000)
        problem = "unsupported sample rate " + std::to_string(rate) + " Hz";
    if (!problem.empty()) {
        sf_close(file);
        file = nullptr;
        throw Error(path + ": " + problem);
    }
}

AudioReader::~AudioReader() {
    if (file) sf_close(file);
}

std::int64_t AudioReader::read(double* interleaved, std::int64_t frames) {
    const sf_count_t got = sf_readf_double(file, interleaved, frames);
    if (got < frames && sf_error(file) != SF_ERR_NO_ERROR)
        throw Error("cannot read " + path + ": " + sf_strerror(file));
    return got;
}

int chooseOutputFormat(const std::string& outputPath, int inputFormat, SampleFormat choice, int channels,
                       int sampleRate) {
    const std::string ext = lowerExtension(outputPath);
    int container;
    if (ext == ".wav")
        container = SF_FORMAT_WAV;
    else if (ext == ".aif" || ext == ".aiff" || ext == ".aifc")
        container = SF_FORMAT_AIFF;
    else if (ext == ".flac")
        container = SF_FORMAT_FLAC;
    else
        throw Error("cannot tell the output format of " + outputPath + ": name it .wav, .aiff or .flac");

    int subtype = inputFormat & SF_FORMAT_SUBMASK;
    switch (choice) {
    case SampleFormat::Same:
        break;
    case SampleFormat::Pcm16:
        subtype = SF_FORMAT_PCM_16;
        break;
    case SampleFormat::Pcm24:
        subtype = SF_FORMAT_PCM_24;
        break;
    case SampleFormat::Float:
        subtype = SF_FORMAT_FLOAT;
        break;
    }
    // WAV stores 8-bit samples unsigned, AIFF and FLAC signed: "same" means 8 bits either way.
    if (subtype == SF_FORMAT_PCM_U8 || subtype == SF_FORMAT_PCM_S8)
        subtype = container == SF_FORMAT_WAV ? SF_FORMAT_PCM_U8 : SF_FORMAT_PCM_S8;

    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = container | subtype;
    if (!sf_format_check(&info))
        throw Error(containerShortName(container) + " cannot hold " + sampleFormatName(info.format) +
                    " samples at " + std::to_string(sampleRate) +
                    " Hz; choose another --format or extension");
    return info.format;
}

AudioWriter::AudioWriter(const std::string& path, int sampleRate, int channels, int sndfileFormat)
    : finalPath(path), channelCount(channels) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::is_directory(path, ec)) throw Error("cannot write " + path + ": it is a folder");
    const fs::path target(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    tempPath = (folder / ("." + target.filename().string() + ".orvel-XXXXXX")).string();
    descriptor = mkstemp(tempPath.data());
    if (descriptor < 0) throw Error("cannot write " + path + ": " + std::strerror(errno));
    tempSlot = claimTempSlot(tempPath);
    applyCreationMode(descriptor);

    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = sndfileFormat;
    file = sf_open_fd(descriptor, SFM_WRITE, &info, SF_FALSE);
    if (!file) {
        const std::string reason = sf_strerror(nullptr);
        discard();
        throw Error("cannot write " + path + ": " + reason);
    }
    // With clipping on, libsndfile scales doubles by 2^(n-1) both ways, so values on the PCM grid
    // are written exactly; without it, it scales by 2^(n-1) - 1 on the way out.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    singlePrecision = (sndfileFormat & SF_FORMAT_SUBMASK) == SF_FORMAT_FLOAT;
    switch (sndfileFormat & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
        pcmScale = 128.0;
        break;
    case SF_FORMAT_PCM_16:
        pcmScale = 32768.0;
        break;
    case SF_FORMAT_PCM_24:
        pcmScale = 8388608.0;
        break;
    case SF_FORMAT_PCM_32:
        pcmScale = 2147483648.0;
        break;
    default:
        pcmScale = 0.0;
    }
}

AudioWriter::~AudioWriter() {
    discard();
}

void AudioWriter::forgetTemporary() {
    releaseTempSlot(tempSlot);
    tempSlot = -1;
    tempPath.clear();
}

void AudioWriter::discard() {
    if (file) sf_close(file);
    file = nullptr;
    if (descriptor >= 0) close(descriptor);
    descriptor = -1;
    if (!tempPath.empty()) unlink(tempPath.c_str());
    forgetTemporary();
}

void AudioWriter::write(double* interleaved, std::int64_t frames) {
    if (frames <= 0) return;
    const std::size_t count = std::size_t(frames) * std::size_t(channelCount);
    if (pcmScale > 0.0) {
        // libsndfile truncates toward minus infinity when it shortens a sample, a bias of half a step:
        // round to the nearest step here, so that it only has exact values to store.
        for (std::size_t i = 0; i < count; ++i)
            interleaved[i] =
                std::clamp(std::nearbyint(interleaved[i] * pcmScale), -pcmScale, pcmScale - 1.0) / pcmScale;
    } else if (singlePrecision) {
        for (std::size_t i = 0; i < count; ++i)
            interleaved[i] = double(float(interleaved[i]));
    }
    if (sf_writef_double(file, interleaved, frames) != frames)
        throw Error("cannot write " + finalPath + ": " + sf_strerror(file));
}

void AudioWriter::finish() {
    if (finished) return;
    const int closeError = sf_close(file);
    file = nullptr;
    if (closeError != 0) {
        discard();
        throw Error("cannot write " + finalPath + ": " + sf_error_number(closeError));
    }
    const bool synced = fsync(descriptor) == 0;
    const int syncErrno = errno;
    const bool closed = close(descriptor) == 0;
    descriptor = -1;
    if (!synced || !closed) {
        const std::string reason = std::strerror(synced ? errno : syncErrno);
        discard();
        throw Error("cannot write " + finalPath + ": " + reason);
    }
    finished = true;
}

void AudioWriter::commit() {
    finish();
    if (std::rename(tempPath.c_str(), finalPath.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        discard();
        throw Error("cannot write " + finalPath + ": " + reason);
    }
    forgetTemporary();
}

} // namespace orvel
