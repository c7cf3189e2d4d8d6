// Any bytes through both sound-file readers: never crashes, and what they give
// is consistent. The WAV reader never gives more bytes than the file holds.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "host/sound_files.h"

namespace {

using Reader = unsigned char* (*)(std::FILE*, int*, int*, int*, int*);

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
    if (!wav && bytesPerSample != 2) std::abort();
    // Every byte of the block must be readable (ASan checks the bounds).
    volatile unsigned sum = 0;
    for (int64_t i = 0; i < bytes; ++i) sum = sum + samples[i];
    std::free(samples);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Read(ReadWav, data, size, true);
    Read(ReadOgg, data, size, false);
    return 0;
}
