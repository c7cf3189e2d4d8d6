// Sound files made by the tests themselves: WAV files byte by byte (so that
// chunks can lie about their sizes) and Ogg Vorbis files through oggenc.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

namespace soundtest {

inline std::string Le16(uint32_t v) { return {char(v & 0xFF), char((v >> 8) & 0xFF)}; }
inline std::string Le32(uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }

inline std::string Chunk(const std::string& tag, const std::string& body) {
    return tag + Le32(static_cast<uint32_t>(body.size())) + body;
}

inline std::string FmtChunk(int format, int channels, int rate, int bits, const std::string& extra = "") {
    int block = channels * bits / 8;
    std::string body = Le16(format) + Le16(channels) + Le32(rate) + Le32(rate * block) + Le16(block) + Le16(bits);
    return Chunk("fmt ", body + extra);
}

inline std::string Riff(const std::string& chunks) {
    return "RIFF" + Le32(static_cast<uint32_t>(4 + chunks.size())) + "WAVE" + chunks;
}

// Interleaved signed 16-bit samples: channel c is a sine of frequencies[c] Hz.
inline std::string Tone16(const std::vector<double>& frequencies, int rate, int frames, double amplitude = 12000) {
    std::string bytes;
    for (int i = 0; i < frames; ++i)
        for (double f : frequencies) {
            int16_t s = static_cast<int16_t>(std::lround(amplitude * std::sin(2 * M_PI * f * i / rate)));
            bytes += Le16(static_cast<uint16_t>(s));
        }
    return bytes;
}

inline std::string ToneWav(const std::vector<double>& frequencies, int rate, int frames) {
    int channels = static_cast<int>(frequencies.size());
    return Riff(FmtChunk(1, channels, rate, 16) + Chunk("data", Tone16(frequencies, rate, frames)));
}

// A fresh folder under /tmp, removed with its files by the destructor.
class TempFolder {
public:
    TempFolder() {
        char name[] = "/tmp/grimalou-sound-XXXXXX";
        path_ = mkdtemp(name) ? name : "";
    }
    ~TempFolder() {
        if (!path_.empty()) std::system(("rm -rf '" + path_ + "'").c_str());
    }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    bool Ok() const { return !path_.empty(); }

private:
    std::string path_;
};

inline bool WriteFile(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// Encodes a WAV file to Ogg Vorbis; an empty text on success, else why not.
inline std::string EncodeOgg(const std::string& wavPath, const std::string& oggPath) {
    if (std::system("command -v oggenc >/dev/null 2>&1") != 0)
        return "oggenc is needed to make the Ogg Vorbis test files (Debian package vorbis-tools)";
    std::string command = "oggenc -Q -c TITLE=grimalou -c ARTIST=tests -o '" + oggPath + "' '" + wavPath + "'";
    if (std::system(command.c_str()) != 0) return "oggenc failed: " + command;
    return "";
}

// Sign changes from negative to non-negative, one per period of a sine.
inline int RisingCrossings(const int16_t* samples, int frames, int channels, int channel) {
    int count = 0;
    for (int i = 1; i < frames; ++i)
        if (samples[(i - 1) * channels + channel] < 0 && samples[i * channels + channel] >= 0) ++count;
    return count;
}

}  // namespace soundtest

#include "host/sound_files.h"
#include "runtime/string.h"

namespace soundtest {

// Stands in for the host game's LoadSampleData: plain file names, no "ravlen:"
// paths.
inline unsigned char* LoadSampleFromFile(const String& path, int* length, int* channels, int* bytesPerSample,
                                         int* rate) {
    std::FILE* f = std::fopen(path.ToUtf8().c_str(), "rb");
    if (!f) return nullptr;
    unsigned char* data = ReadSampleFile(f, path, length, channels, bytesPerSample, rate);
    std::fclose(f);
    return data;
}

// Standard output written while `run` runs.
template <class F>
std::string CaptureStdout(F run) {
    std::fflush(stdout);
    std::FILE* capture = std::tmpfile();
    int saved = dup(1);
    dup2(fileno(capture), 1);
    run();
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
    std::string text;
    std::rewind(capture);
    for (int c; (c = std::fgetc(capture)) != EOF;) text += char(c);
    std::fclose(capture);
    return text;
}

}  // namespace soundtest
