// Any bytes through both sound-file readers: never crashes, and what they give
// is consistent. The WAV reader never gives more bytes than the file holds.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "host/sound_files.h"

namespace {

// The Ogg reader's costs grow with what a file declares, not with its size:
// a few bytes can ask for a large decoder or for thousands of frames of many
// channels. These caps keep every input to a fraction of a millisecond:
// 72 KiB holds the decoder itself (about 60 KiB) with the tables of blocks up
// to 2048 samples, and 16 KiB the first 4096 frames of a stereo stream.
OggLimits HarnessLimits() {
    OggLimits limits;
    limits.decoderBytes = 72 * 1024;
    limits.sampleBytes = 16 * 1024;
    return limits;
}

template <class Reader>
void Read(Reader reader, const uint8_t* data, size_t size, bool wav) {
    // fmemopen refuses an empty buffer; one byte of room with nothing in it.
    std::vector<uint8_t> copy(data, data + size);
    copy.push_back(0);
    std::FILE* file = fmemopen(copy.data(), size ? size : 1, "rb");
    if (!file) return;
    if (size == 0) std::fgetc(file);
    int length = -1, channels = -1, bytesPerSample = -1, rate = -1;
    unsigned char* samples = reader(file, &length, &channels, &bytesPerSample, &rate);
    std::fclose(file);
    if (!samples) return;
    if (length < 0 || channels <= 0 || bytesPerSample <= 0 || rate < 0) std::abort();
    int64_t bytes = int64_t(length) * channels * bytesPerSample;
    if (bytes > INT32_MAX) std::abort();
    if (wav && bytes > int64_t(size)) std::abort();
    if (!wav && (bytesPerSample != 2 || bytes > HarnessLimits().sampleBytes)) std::abort();
    // Every byte of the block must be readable (ASan checks the bounds).
    volatile unsigned sum = 0;
    for (int64_t i = 0; i < bytes; ++i) sum = sum + samples[i];
    std::free(samples);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Read(ReadWav, data, size, true);
    Read([](std::FILE* file, int* length, int* channels, int* bytesPerSample, int* rate) {
        return ReadOgg(file, length, channels, bytesPerSample, rate, HarnessLimits());
    }, data, size, false);
    return 0;
}
