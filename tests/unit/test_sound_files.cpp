// The WAV and Ogg Vorbis readers, fed from memory (fmemopen) and from files
// made in the test setup.
#include <gtest/gtest.h>

#include <AL/al.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "host/audio.h"
#include "host/sound_files.h"
#include "tests/unit/sound_test_files.h"

using namespace soundtest;

namespace {

struct Decoded {
    unsigned char* data = nullptr;
    int length = -1, channels = -1, bytesPerSample = -1, rate = -1;
    ~Decoded() { std::free(data); }
    std::string Bytes() const {
        return std::string(reinterpret_cast<char*>(data), size_t(length) * channels * bytesPerSample);
    }
};

using Reader = unsigned char* (*)(std::FILE*, int*, int*, int*, int*);

void ReadBytes(Reader reader, std::string bytes, Decoded* out) {
    std::FILE* f = fmemopen(bytes.data(), bytes.size(), "rb");
    ASSERT_NE(f, nullptr);
    out->data = reader(f, &out->length, &out->channels, &out->bytesPerSample, &out->rate);
    std::fclose(f);
}

bool WavReads(const std::string& bytes) {
    Decoded d;
    ReadBytes(ReadWav, bytes, &d);
    return d.data != nullptr;
}

void ReadSampleBytes(const char* path, std::string bytes, Decoded* out) {
    std::FILE* f = fmemopen(bytes.data(), bytes.size(), "rb");
    ASSERT_NE(f, nullptr);
    out->data = ReadSampleFile(f, String(path), &out->length, &out->channels, &out->bytesPerSample, &out->rate);
    std::fclose(f);
}

}  // namespace

TEST(WavReader, ReadsPcmSamplesWithTheirLayout) {
    std::string samples = Tone16({440, 660}, 22050, 1000);
    Decoded d;
    ReadBytes(ReadWav, Riff(FmtChunk(1, 2, 22050, 16) + Chunk("data", samples)), &d);
    ASSERT_NE(d.data, nullptr);
    EXPECT_EQ(d.length, 1000);
    EXPECT_EQ(d.channels, 2);
    EXPECT_EQ(d.bytesPerSample, 2);
    EXPECT_EQ(d.rate, 22050);
    EXPECT_EQ(d.Bytes(), samples);
}

TEST(WavReader, ChunkOrder) {
    std::string fmt = FmtChunk(1, 1, 8000, 16);
    std::string data = Chunk("data", Tone16({100}, 8000, 50));

    // The format chunk must come first.
    EXPECT_FALSE(WavReads(Riff(Chunk("LIST", "INFOtags") + fmt + data)));
    // Other chunks between the format and the data are passed over, odd sizes
    // included (no pad byte follows them).
    Decoded d;
    ReadBytes(ReadWav, Riff(fmt + Chunk("LIST", "INFOISFT\x05\0\0\0abcd\0") + Chunk("fact", "odd") + data), &d);
    ASSERT_NE(d.data, nullptr);
    EXPECT_EQ(d.length, 50);
    EXPECT_EQ(d.Bytes(), Tone16({100}, 8000, 50));
    // A longer format chunk's extra bytes are skipped.
    EXPECT_TRUE(WavReads(Riff(FmtChunk(1, 1, 8000, 16, std::string("\0\0", 2)) + data)));
    // No data chunk at all.
    EXPECT_FALSE(WavReads(Riff(fmt + Chunk("LIST", "INFO"))));
    EXPECT_FALSE(WavReads("RIFX" + Riff(fmt + data).substr(4)));
    EXPECT_FALSE(WavReads(Riff(fmt + data).replace(8, 4, "AVI ")));
}

TEST(WavReader, FormatsAndSampleWidths) {
    // Floating point (3) and anything else but PCM is rejected.
    EXPECT_FALSE(WavReads(Riff(FmtChunk(3, 1, 8000, 32) + Chunk("data", std::string(64, '\0')))));
    EXPECT_FALSE(WavReads(Riff(FmtChunk(0xFFFE, 1, 8000, 16) + Chunk("data", std::string(64, '\0')))));

    Decoded stereo8;
    ReadBytes(ReadWav, Riff(FmtChunk(1, 2, 11025, 8) + Chunk("data", std::string(40, '\x80'))), &stereo8);
    ASSERT_NE(stereo8.data, nullptr);
    EXPECT_EQ(stereo8.length, 20);
    EXPECT_EQ(SampleFormat(stereo8.channels, stereo8.bytesPerSample), AL_FORMAT_STEREO8);

    // 24-bit data is read, but there is no OpenAL format for it.
    Decoded wide;
    ReadBytes(ReadWav, Riff(FmtChunk(1, 1, 48000, 24) + Chunk("data", std::string(30, '\1'))), &wide);
    ASSERT_NE(wide.data, nullptr);
    EXPECT_EQ(wide.bytesPerSample, 3);
    EXPECT_EQ(wide.length, 10);
    EXPECT_EQ(SampleFormat(wide.channels, wide.bytesPerSample), 0);

    EXPECT_EQ(SampleFormat(1, 1), AL_FORMAT_MONO8);
    EXPECT_EQ(SampleFormat(1, 2), AL_FORMAT_MONO16);
    EXPECT_EQ(SampleFormat(2, 2), AL_FORMAT_STEREO16);
    EXPECT_EQ(SampleFormat(6, 2), 0);

    // A frame of no bytes would leave the length a division by zero.
    EXPECT_FALSE(WavReads(Riff(FmtChunk(1, 0, 8000, 16) + Chunk("data", std::string(8, '\0')))));
    EXPECT_FALSE(WavReads(Riff(FmtChunk(1, 1, 8000, 4) + Chunk("data", std::string(8, '\0')))));
}

TEST(WavReader, RejectsCutAndLyingFiles) {
    std::string whole = Riff(FmtChunk(1, 1, 8000, 16) + Chunk("LIST", "INFOx") + Chunk("data", Tone16({300}, 8000, 20)));
    ASSERT_TRUE(WavReads(whole));
    for (size_t cut = 0; cut < whole.size(); ++cut) EXPECT_FALSE(WavReads(whole.substr(0, cut))) << "cut at " << cut;

    std::string head = "RIFF" + Le32(100) + "WAVE" + FmtChunk(1, 1, 8000, 16);
    // A data chunk larger than what is left of the file, and the size -1.
    EXPECT_FALSE(WavReads(head + "data" + Le32(41) + std::string(40, 'x')));
    EXPECT_TRUE(WavReads(head + "data" + Le32(40) + std::string(40, 'x')));
    EXPECT_FALSE(WavReads(head + "data" + Le32(0xFFFFFFFF) + std::string(40, 'x')));
    // A chunk to skip that runs past the end, then nothing more to read.
    EXPECT_FALSE(WavReads(head + "LIST" + Le32(0xFFFFFFFF) + Chunk("data", "abcd")));
    EXPECT_FALSE(WavReads(head + "LIST" + Le32(0x7FFFFFF0)));
    // An empty data chunk is a sound of no frames.
    Decoded empty;
    ReadBytes(ReadWav, head + Chunk("data", ""), &empty);
    EXPECT_NE(empty.data, nullptr);
    EXPECT_EQ(empty.length, 0);
}

#if defined(__SANITIZE_ADDRESS__)
TEST(WavReader, NeverAllocatesMoreThanTheFileHolds) {
    GTEST_SKIP() << "the sanitizers own malloc; the plain build runs this test";
}
#else
// Every malloc of the process goes through here so the test can see the
// largest block asked for while the reader runs.
extern "C" void* __libc_malloc(size_t size);
namespace {
size_t largestRequest = 0;
}
extern "C" void* malloc(size_t size) {
    if (size > largestRequest) largestRequest = size;
    return __libc_malloc(size);
}

TEST(WavReader, NeverAllocatesMoreThanTheFileHolds) {
    std::string head = "RIFF" + Le32(100) + "WAVE" + FmtChunk(1, 2, 8000, 16);
    const char* lies[] = {"\xF0\xFF\xFF\x7F", "\xFF\xFF\xFF\xFF", "\x00\x00\x00\x10"};
    for (const char* size : lies) {
        SCOPED_TRACE(testing::Message() << "declared size " << *reinterpret_cast<const uint32_t*>(size));
        std::string file = head + "data" + std::string(size, 4) + std::string(64, 'x');
        std::FILE* f = fmemopen(file.data(), file.size(), "rb");
        ASSERT_NE(f, nullptr);
        // Unbuffered, so that stdio's own buffer is not counted.
        std::setvbuf(f, nullptr, _IONBF, 0);
        int length, channels, bytesPerSample, rate;
        largestRequest = 0;
        unsigned char* data = ReadWav(f, &length, &channels, &bytesPerSample, &rate);
        size_t largest = largestRequest;
        std::fclose(f);
        EXPECT_EQ(data, nullptr);
        EXPECT_LE(largest, file.size());
    }
}
#endif

TEST(SampleFile, PicksTheReaderByTheEndingInLowerCase) {
    std::string wav = ToneWav({500}, 8000, 100);
    for (const char* path : {"ravlen://data/beep.wav", "BEEP.WAV", "beep.Wav"}) {
        Decoded d;
        ReadSampleBytes(path, wav, &d);
        EXPECT_NE(d.data, nullptr) << path;
        EXPECT_EQ(d.length, 100) << path;
    }
    for (const char* path : {"beep.wav.txt", "beep", "wav", "beep.ogg", "beep.mp3"}) {
        Decoded d;
        ReadSampleBytes(path, wav, &d);
        EXPECT_EQ(d.data, nullptr) << path;
    }
}

class OggReader : public ::testing::Test {
protected:
    // A WAV file of the given tones encoded by oggenc; fails the test with the
    // reason when the tool is missing or fails.
    std::string MakeOgg(const std::string& name, const std::vector<double>& tones, int rate, int frames) {
        std::string wav = folder.File(name + ".wav"), ogg = folder.File(name + ".ogg");
        EXPECT_TRUE(folder.Ok());
        EXPECT_TRUE(WriteFile(wav, ToneWav(tones, rate, frames)));
        std::string why = EncodeOgg(wav, ogg);
        EXPECT_EQ(why, "");
        return why.empty() ? ogg : "";
    }
    void ReadFile(const std::string& path, long skip, Decoded* out) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        ASSERT_NE(f, nullptr) << path;
        std::fseek(f, skip, SEEK_SET);
        out->data = ReadOgg(f, &out->length, &out->channels, &out->bytesPerSample, &out->rate);
        std::fclose(f);
    }
    TempFolder folder;
};

TEST_F(OggReader, DecodesEveryFrameOfAStereoStream) {
    std::string ogg = MakeOgg("stereo", {440, 880}, 22050, 22050);
    ASSERT_NE(ogg, "");
    Decoded d;
    ReadFile(ogg, 0, &d);
    ASSERT_NE(d.data, nullptr);
    EXPECT_EQ(d.channels, 2);
    EXPECT_EQ(d.bytesPerSample, 2);
    EXPECT_EQ(d.rate, 22050);
    EXPECT_NEAR(d.length, 22050, 64);
    // The left channel carries 440 Hz and the right 880 Hz for one second:
    // the channels come out interleaved in their order.
    const int16_t* s = reinterpret_cast<const int16_t*>(d.data);
    EXPECT_NEAR(RisingCrossings(s, d.length, 2, 0), 440, 4);
    EXPECT_NEAR(RisingCrossings(s, d.length, 2, 1), 880, 4);
}

TEST_F(OggReader, GrowsItsBlockForLongStreams) {
    // Three seconds: far past the first 4096 frames of room.
    std::string ogg = MakeOgg("long", {1000}, 44100, 3 * 44100);
    ASSERT_NE(ogg, "");
    Decoded d;
    ReadFile(ogg, 0, &d);
    ASSERT_NE(d.data, nullptr);
    EXPECT_EQ(d.channels, 1);
    EXPECT_NEAR(d.length, 3 * 44100, 64);
    const int16_t* s = reinterpret_cast<const int16_t*>(d.data);
    EXPECT_NEAR(RisingCrossings(s, d.length, 1, 0), 3000, 6);
}

TEST_F(OggReader, ReadsFromTheCurrentPosition) {
    std::string ogg = MakeOgg("inner", {440}, 8000, 4000);
    ASSERT_NE(ogg, "");
    std::FILE* in = std::fopen(ogg.c_str(), "rb");
    ASSERT_NE(in, nullptr);
    std::string bytes = "junk before the stream";
    for (int c; (c = std::fgetc(in)) != EOF;) bytes += char(c);
    std::fclose(in);
    std::string shifted = folder.File("shifted.ogg");
    ASSERT_TRUE(WriteFile(shifted, bytes));
    Decoded d;
    ReadFile(shifted, 22, &d);
    ASSERT_NE(d.data, nullptr);
    EXPECT_NEAR(d.length, 4000, 64);
}

TEST_F(OggReader, RejectsWhatIsNoVorbisStream) {
    std::string ogg = MakeOgg("cut", {440}, 8000, 4000);
    ASSERT_NE(ogg, "");
    std::FILE* in = std::fopen(ogg.c_str(), "rb");
    ASSERT_NE(in, nullptr);
    std::string bytes;
    for (int c; (c = std::fgetc(in)) != EOF;) bytes += char(c);
    std::fclose(in);

    // A comment count far beyond what its packet holds.
    size_t comments = bytes.find("\x03vorbis");
    ASSERT_NE(comments, std::string::npos);
    uint32_t vendor;
    std::memcpy(&vendor, &bytes[comments + 7], 4);
    std::string lying = bytes;
    lying.replace(comments + 11 + vendor, 4, Le32(0x10000000));
    Decoded tooManyComments;
    ReadBytes(ReadOgg, lying, &tooManyComments);
    EXPECT_EQ(tooManyComments.data, nullptr);
    Decoded intact;
    ReadBytes(ReadOgg, bytes, &intact);
    EXPECT_NE(intact.data, nullptr);

    // A sample rate that an int cannot hold.
    size_t identification = bytes.find("\x01vorbis");
    ASSERT_NE(identification, std::string::npos);
    std::string fastRate = bytes;
    fastRate.replace(identification + 12, 4, Le32(0x80001F40));
    Decoded tooFast;
    ReadBytes(ReadOgg, fastRate, &tooFast);
    EXPECT_EQ(tooFast.data, nullptr);

    Decoded cutHeaders, wav, empty, noise;
    ReadBytes(ReadOgg, bytes.substr(0, 80), &cutHeaders);
    EXPECT_EQ(cutHeaders.data, nullptr);
    ReadBytes(ReadOgg, ToneWav({440}, 8000, 100), &wav);
    EXPECT_EQ(wav.data, nullptr);
    ReadBytes(ReadOgg, std::string(1, '\0'), &empty);
    EXPECT_EQ(empty.data, nullptr);
    std::string junk;
    for (int i = 0; i < 5000; ++i) junk += char((i * 7919) >> 3);
    ReadBytes(ReadOgg, "OggS" + junk, &noise);
    EXPECT_EQ(noise.data, nullptr);
}
