#include "host/sound_files.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

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

namespace {

// The packets at the start of an Ogg stream, read page by page.
class OggPackets {
public:
    explicit OggPackets(std::FILE* file) : file_(file) {}

    // The next whole packet; false at anything that is not an Ogg page or at
    // a packet longer than `limit` bytes.
    bool Next(std::vector<unsigned char>* packet, size_t limit) {
        packet->clear();
        for (;;) {
            if (index_ == count_ && !NextPage()) return false;
            size_t lacing = lacing_[index_++];
            size_t before = packet->size();
            if (before + lacing > limit) return false;
            packet->resize(before + lacing);
            if (std::fread(packet->data() + before, 1, lacing, file_) != lacing) return false;
            if (lacing < 255) return true;
        }
    }

private:
    bool NextPage() {
        unsigned char header[27];
        if (std::fread(header, 1, 27, file_) != 27 || std::memcmp(header, "OggS", 4) != 0) return false;
        count_ = header[26];
        index_ = 0;
        return std::fread(lacing_, 1, count_, file_) == count_;
    }

    std::FILE* file_;
    unsigned char lacing_[255];
    size_t count_ = 0, index_ = 0;
};

// 4 MiB: room for any text tags; only pictures in the tags grow the comment
// packet beyond this, and a sound needs none.
constexpr size_t kCommentPacketLimit = 4 * 1024 * 1024;

// stb_vorbis trusts the counts and lengths of the comment packet: a count whose
// list does not fit its memory makes it crash while giving up. The size of a
// comment packet whose every count fits the packet, else 0.
size_t CheckedCommentSize(std::FILE* file) {
    OggPackets packets(file);
    std::vector<unsigned char> packet;
    if (!packets.Next(&packet, kCommentPacketLimit) || !packets.Next(&packet, kCommentPacketLimit)) return 0;
    if (packet.size() < 7 || packet[0] != 3 || std::memcmp(&packet[1], "vorbis", 6) != 0) return 0;
    size_t at = 7;
    auto next32 = [&](uint32_t* value) {
        if (packet.size() - at < 4) return false;
        *value = packet[at] | (packet[at + 1] << 8) | (packet[at + 2] << 16) | (uint32_t(packet[at + 3]) << 24);
        at += 4;
        return true;
    };
    uint32_t vendor, count, length;
    if (!next32(&vendor) || vendor > packet.size() - at) return 0;
    at += vendor;
    // Every comment takes at least its 4-byte length.
    if (!next32(&count) || count > (packet.size() - at) / 4) return 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (!next32(&length) || length > packet.size() - at) return 0;
        at += length;
    }
    return packet.size();
}

// stb_vorbis loses some of its allocations when a stream's setup is corrupt.
// Given a block of its own it allocates nothing else, and the block is freed
// once decoding is over, whatever happened. The first block holds the decoder
// of common streams (256 KiB) and, whatever it is, the comment packet's text and
// list, which take at most 8 bytes for each of its bytes; when the block is
// too small it doubles and the stream is opened anew, up to the limit.
constexpr int kFirstVorbisBlock = 256 * 1024;

stb_vorbis* OpenVorbis(std::FILE* file, unsigned size, int limit, char** block) {
    *block = nullptr;
    long start = std::ftell(file);
    if (start < 0) return nullptr;
    size_t commentSize = CheckedCommentSize(file);
    if (commentSize == 0) return nullptr;
    int64_t first = kFirstVorbisBlock + 8 * int64_t(commentSize);
    if (first > limit) first = limit;
    for (int64_t bytes = first; bytes > 0 && bytes <= limit; bytes *= 2) {
        *block = static_cast<char*>(std::malloc(static_cast<size_t>(bytes)));
        int error = VORBIS__no_error;
        stb_vorbis* vorbis = nullptr;
        if (*block && std::fseek(file, start, SEEK_SET) == 0) {
            stb_vorbis_alloc alloc = {*block, static_cast<int>(bytes)};
            vorbis = stb_vorbis_open_file_section(file, 0, &error, &alloc, size);
        }
        if (vorbis) return vorbis;
        std::free(*block);
        *block = nullptr;
        if (error != VORBIS_outofmem) break;
    }
    return nullptr;
}

// Decodes every frame as interleaved 16-bit samples; nullptr if the block
// would outgrow `limit` bytes.
short* DecodeFrames(stb_vorbis* vorbis, int channelCount, int limit, int* frames) {
    // 4096 frames: the longest Vorbis block decodes to at most this many, so
    // keeping that much room free lets every frame decode whole.
    const int frameRoom = 4096;
    int room = frameRoom;
    if (int64_t(room) * channelCount * int64_t(sizeof(short)) > limit) return nullptr;
    int total = 0;
    short* samples = static_cast<short*>(std::malloc(sizeof(short) * room * channelCount));
    while (samples) {
        int decoded = stb_vorbis_get_frame_short_interleaved(vorbis, channelCount, samples + total * channelCount,
                                                             (room - total) * channelCount);
        if (decoded == 0) break;
        total += decoded;
        if (room - total >= frameRoom) continue;
        if (int64_t(room) * 2 * channelCount * int64_t(sizeof(short)) > limit) {
            std::free(samples);
            return nullptr;
        }
        room *= 2;
        short* grown = static_cast<short*>(std::realloc(samples, sizeof(short) * room * channelCount));
        if (!grown) std::free(samples);
        samples = grown;
    }
    *frames = total;
    return samples;
}

}  // namespace

unsigned char* ReadOgg(std::FILE* file, int* length, int* channels, int* bytesPerSample, int* rate,
                       const OggLimits& limits) {
    long size = RemainingBytes(file);
    if (size < 0 || static_cast<unsigned long>(size) > UINT_MAX) return nullptr;
    char* block = nullptr;
    stb_vorbis* vorbis = OpenVorbis(file, static_cast<unsigned>(size), limits.decoderBytes, &block);
    if (!vorbis) return nullptr;
    stb_vorbis_info info = stb_vorbis_get_info(vorbis);
    int frames = 0;
    bool usable = info.channels > 0 && info.sample_rate <= INT_MAX;
    short* samples = usable ? DecodeFrames(vorbis, info.channels, limits.sampleBytes, &frames) : nullptr;
    stb_vorbis_close(vorbis);
    std::free(block);
    if (!samples) return nullptr;
    *length = frames;
    *channels = info.channels;
    *bytesPerSample = 2;
    *rate = static_cast<int>(info.sample_rate);
    return reinterpret_cast<unsigned char*>(samples);
}

unsigned char* ReadOgg(std::FILE* file, int* length, int* channels, int* bytesPerSample, int* rate) {
    return ReadOgg(file, length, channels, bytesPerSample, rate, OggLimits());
}

unsigned char* ReadSampleFile(std::FILE* file, const String& path, int* length, int* channels, int* bytesPerSample,
                              int* rate) {
    if (EndsWithLower(path, ".wav")) return ReadWav(file, length, channels, bytesPerSample, rate);
    if (EndsWithLower(path, ".ogg")) return ReadOgg(file, length, channels, bytesPerSample, rate);
    return nullptr;
}
