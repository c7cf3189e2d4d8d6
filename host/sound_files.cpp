#include "host/sound_files.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

// stb_vorbis is a single-file library: this is the one place that compiles it.
// Only its stdio pull interface is used. It sits in a system include folder, so
// the compiler keeps its warnings to itself.
#define STB_VORBIS_NO_PUSHDATA_API
#include <stb/stb_vorbis.h>

namespace {

bool ReadTag(std::FILE* file, char tag[4]) { return std::fread(tag, 1, 4, file) == 4; }

bool ReadU16(std::FILE* file, uint32_t* value) {
    unsigned char b[2];
    if (std::fread(b, 1, 2, file) != 2) return false;
    *value = b[0] | (b[1] << 8);
    return true;
}

bool ReadU32(std::FILE* file, uint32_t* value) {
    unsigned char b[4];
    if (std::fread(b, 1, 4, file) != 4) return false;
    *value = b[0] | (b[1] << 8) | (b[2] << 16) | (uint32_t(b[3]) << 24);
    return true;
}

// Bytes from the current position to the end of the file; -1 if the file
// cannot tell.
long RemainingBytes(std::FILE* file) {
    long here = std::ftell(file);
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return -1;
    long end = std::ftell(file);
    if (std::fseek(file, here, SEEK_SET) != 0 || end < here) return -1;
    return end - here;
}

// Chunk sizes come from the file and are not trusted: a size beyond the end
// of the file means the file is cut short or corrupt, never a reason to seek
// or allocate that far.
bool Skip(std::FILE* file, uint32_t count) {
    long left = RemainingBytes(file);
    if (left < 0 || count > static_cast<unsigned long>(left)) return false;
    return std::fseek(file, static_cast<long>(count), SEEK_CUR) == 0;
}

bool EndsWithLower(const String& path, const char* ending) {
    int n = static_cast<int>(std::strlen(ending));
    if (path.Length() < n) return false;
    return path.Substring(path.Length() - n).Lower() == String(ending);
}

}  // namespace

unsigned char* ReadWav(std::FILE* file, int* length, int* channels, int* bytesPerSample, int* rate) {
    char tag[4];
    uint32_t riffSize, fmtSize, format, channelCount, sampleRate, byteRate, blockAlign, bits;
    if (!ReadTag(file, tag) || std::memcmp(tag, "RIFF", 4) != 0) return nullptr;
    if (!ReadU32(file, &riffSize)) return nullptr;
    if (!ReadTag(file, tag) || std::memcmp(tag, "WAVE", 4) != 0) return nullptr;
    if (!ReadTag(file, tag) || std::memcmp(tag, "fmt ", 4) != 0) return nullptr;
    if (!ReadU32(file, &fmtSize)) return nullptr;
    if (!ReadU16(file, &format) || format != 1) return nullptr;
    if (!ReadU16(file, &channelCount) || !ReadU32(file, &sampleRate) || !ReadU32(file, &byteRate) ||
        !ReadU16(file, &blockAlign) || !ReadU16(file, &bits))
        return nullptr;
    uint32_t sampleBytes = bits / 8;
    // A frame of zero bytes has no length to divide by.
    if (channelCount == 0 || sampleBytes == 0) return nullptr;
    if (sampleRate > INT_MAX) return nullptr;
    if (fmtSize > 16 && !Skip(file, fmtSize - 16)) return nullptr;

    for (;;) {
        uint32_t size;
        if (!ReadTag(file, tag) || !ReadU32(file, &size)) return nullptr;
        if (std::memcmp(tag, "data", 4) != 0) {
            // Chunks are skipped without a pad byte after an odd size.
            if (!Skip(file, size)) return nullptr;
            continue;
        }
        long left = RemainingBytes(file);
        // The block's size must also fit the int byte counts used further on.
        if (left < 0 || size > static_cast<unsigned long>(left) || size > INT_MAX) return nullptr;
        // One spare byte so that an empty "data" chunk still gives a block.
        unsigned char* data = static_cast<unsigned char*>(std::malloc(size + 1));
        if (!data) return nullptr;
        if (std::fread(data, 1, size, file) != size) {
            std::free(data);
            continue;
        }
        *length = static_cast<int>(size / (sampleBytes * channelCount));
        *channels = static_cast<int>(channelCount);
        *bytesPerSample = static_cast<int>(sampleBytes);
        *rate = static_cast<int>(sampleRate);
        return data;
    }
}

unsigned char* ReadOgg(std::FILE* file, int* length, int* channels, int* bytesPerSample, int* rate) {
    long size = RemainingBytes(file);
    if (size < 0 || size > UINT_MAX) return nullptr;
    int error = 0;
    stb_vorbis* vorbis = stb_vorbis_open_file_section(file, 0, &error, nullptr, static_cast<unsigned>(size));
    if (!vorbis) return nullptr;
    stb_vorbis_info info = stb_vorbis_get_info(vorbis);
    int channelCount = info.channels;
    if (channelCount <= 0) {
        stb_vorbis_close(vorbis);
        return nullptr;
    }

    // 4096 frames: the longest Vorbis block decodes to at most this many, so
    // keeping that much room free lets every frame decode whole.
    const int frameRoom = 4096;
    int room = frameRoom;
    int total = 0;
    short* samples = static_cast<short*>(std::malloc(sizeof(short) * room * channelCount));
    while (samples) {
        int decoded = stb_vorbis_get_frame_short_interleaved(vorbis, channelCount, samples + total * channelCount,
                                                             (room - total) * channelCount);
        if (decoded == 0) break;
        total += decoded;
        if (room - total < frameRoom) {
            // The whole block's byte count is an int wherever it goes next
            // (OpenAL's upload size, the collector's external bytes).
            if (int64_t(room) * 2 * channelCount * int64_t(sizeof(short)) > INT_MAX) {
                std::free(samples);
                samples = nullptr;
                break;
            }
            room *= 2;
            short* grown = static_cast<short*>(std::realloc(samples, sizeof(short) * room * channelCount));
            if (!grown) std::free(samples);
            samples = grown;
        }
    }
    stb_vorbis_close(vorbis);
    if (!samples) return nullptr;
    *length = total;
    *channels = channelCount;
    *bytesPerSample = 2;
    *rate = static_cast<int>(info.sample_rate);
    return reinterpret_cast<unsigned char*>(samples);
}

unsigned char* ReadSampleFile(std::FILE* file, const String& path, int* length, int* channels, int* bytesPerSample,
                              int* rate) {
    if (EndsWithLower(path, ".wav")) return ReadWav(file, length, channels, bytesPerSample, rate);
    if (EndsWithLower(path, ".ogg")) return ReadOgg(file, length, channels, bytesPerSample, rate);
    return nullptr;
}
