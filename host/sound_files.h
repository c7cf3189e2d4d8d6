// The sound-file readers: RIFF/WAVE files with PCM data and Ogg Vorbis files,
// decoded whole into one block of interleaved little-endian PCM samples.
//
// Every reader takes an open file positioned where the sound starts and gives
// either a block allocated with std::malloc (the caller frees it with
// std::free) and its layout, or nullptr with nothing allocated. `length` is in
// sample frames: the block holds length * channels * bytesPerSample bytes.
#pragma once

#include <climits>
#include <cstdio>

#include "runtime/string.h"

// Picks the reader by the path's ending, compared in lower case: ".wav" the
// WAV reader, ".ogg" the Ogg reader; any other ending gives nullptr.
unsigned char* ReadSampleFile(std::FILE* file, const String& path, int* length, int* channels,
                              int* bytesPerSample, int* rate);

// PCM only (format code 1), the "fmt " chunk first. The sample width is
// whatever the file says, so 24-bit data is read as 3 bytes per sample.
unsigned char* ReadWav(std::FILE* file, int* length, int* channels, int* bytesPerSample, int* rate);

// What reading one Ogg Vorbis file may cost; a file that needs more is
// refused. The defaults are the program's own.
struct OggLimits {
    // Bytes the decoder may take for its tables and state: 64 MiB, far beyond
    // what a real stream needs.
    int decoderBytes = 64 * 1024 * 1024;
    // Bytes of decoded samples: what the int byte counts further on can hold.
    int sampleBytes = INT_MAX;
};

// Decodes every frame to signed 16-bit samples, so bytesPerSample is always 2.
// A sample rate beyond the int range is refused.
unsigned char* ReadOgg(std::FILE* file, int* length, int* channels, int* bytesPerSample, int* rate,
                       const OggLimits& limits);
// The same with the program's own limits.
unsigned char* ReadOgg(std::FILE* file, int* length, int* channels, int* bytesPerSample, int* rate);
