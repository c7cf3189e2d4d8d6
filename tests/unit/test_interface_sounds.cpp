// The interface sounds: the committed files as the program's own Ogg reader
// decodes them (quiet, short, no click at either end), what playing them
// through OpenAL Soft's loopback device really produces, and a set whose
// files are missing or damaged.
#include <gtest/gtest.h>

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/interface_sounds.h"
#include "host/sound_files.h"
#include "tests/unit/sound_test_files.h"

using namespace soundtest;

namespace {

std::string SoundsFolder() {
    const char* source = std::getenv("GRIMALOU_SOURCE_DIR");
    return std::string(source ? source : ".") + "/data/sounds/";
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

double Dbfs(int peak) { return peak > 0 ? 20 * std::log10(peak / 32768.0) : -200; }

TEST(InterfaceSoundFiles, DecodeQuietShortAndWithoutClicks) {
    for (int i = 0; i < SOUND_COUNT; ++i) {
        std::string path = SoundsFolder() + InterfaceSoundFile(InterfaceSound(i));
        SCOPED_TRACE(path);
        std::FILE* file = std::fopen(path.c_str(), "rb");
        ASSERT_NE(file, nullptr);
        int length = 0, channels = 0, bytes = 0, rate = 0;
        short* samples = reinterpret_cast<short*>(ReadOgg(file, &length, &channels, &bytes, &rate));
        std::fclose(file);
        ASSERT_NE(samples, nullptr);
        ASSERT_EQ(channels, 1);
        double seconds = double(length) / rate;
        EXPECT_LE(seconds, i == SOUND_CHIME ? 1.1 : 0.6);
        int peak = 0;
        for (int s = 0; s < length; ++s) peak = std::max(peak, std::abs(int(samples[s])));
        EXPECT_LE(Dbfs(peak), -14.0);
        EXPECT_GE(Dbfs(peak), -30.0) << "heard at all";
        // The first and last millisecond stay below -40 dBFS: the sound fades
        // in and out instead of starting or stopping with a step.
        int edge = rate / 1000, edgePeak = 0;
        for (int s = 0; s < edge; ++s)
            edgePeak = std::max({edgePeak, std::abs(int(samples[s])), std::abs(int(samples[length - 1 - s]))});
        EXPECT_LE(Dbfs(edgePeak), -40.0);
        std::free(samples);
    }
}

// 44100 Hz stereo 16-bit output rendered on demand.
class LoopbackSounds : public ::testing::Test {
protected:
    static constexpr int kRate = 44100;

    void SetUp() override {
        ASSERT_TRUE(alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback"));
        open_ = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
        render_ = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
        ASSERT_TRUE(open_ && render_);
        saved_ = audioDeviceCalls;
        opener = open_;
        audioDeviceCalls.OpenDevice = [](const char*) { return opener(nullptr); };
        audioDeviceCalls.CreateContext = [](ALCdevice* device, const ALCint*) {
            const ALCint attributes[] = {ALC_FREQUENCY,        kRate,          ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT,
                                         ALC_FORMAT_TYPE_SOFT, ALC_SHORT_SOFT, 0};
            return alcCreateContext(device, attributes);
        };
        sampleDataLoader = LoadSampleFromFile;
        audio = new gxtkAudio();
        ASSERT_NE(audio->context, nullptr);
    }
    void TearDown() override {
        audioDeviceCalls = saved_;
        if (audio && audio->context) {
            alcMakeContextCurrent(nullptr);
            alcDestroyContext(audio->context);
            alcCloseDevice(audio->device);
        }
    }

    // The loudest output sample over the next `seconds`.
    int PeakOver(double seconds) {
        std::vector<int16_t> out(static_cast<size_t>(seconds * kRate) * 2);
        render_(audio->device, out.data(), static_cast<ALCsizei>(out.size() / 2));
        int peak = 0;
        for (int16_t s : out) peak = std::max(peak, std::abs(int(s)));
        return peak;
    }

    static LPALCLOOPBACKOPENDEVICESOFT opener;
    gxtkAudio* audio = nullptr;
    LPALCLOOPBACKOPENDEVICESOFT open_ = nullptr;
    LPALCRENDERSAMPLESSOFT render_ = nullptr;
    AudioDeviceCalls saved_{};
};
LPALCLOOPBACKOPENDEVICESOFT LoopbackSounds::opener = nullptr;

// OpenAL Soft dithers its 16-bit output: silence peaks at a step or two.
constexpr int kSilence = 4;

TEST_F(LoopbackSounds, APressAndACountdownSoundAndThenAllIsQuietAgain) {
    KtInterfaceSounds* sounds = nullptr;
    EXPECT_EQ(CaptureStdout([&] { sounds = new KtInterfaceSounds(audio, String(SoundsFolder().c_str())); }), "");
    EXPECT_LE(PeakOver(0.2), kSilence) << "nothing plays when nothing happens";

    sounds->Play(SOUND_PRESS);
    EXPECT_GT(PeakOver(0.15), 1000);
    // Ticks a second apart, as a countdown gives them: every one is heard.
    for (int tick = 0; tick < 3; ++tick) {
        sounds->Play(SOUND_TICK);
        EXPECT_GT(PeakOver(0.1), 500) << "tick " << tick;
        PeakOver(0.9);
    }
    // The device plays the sounds at their own quiet level.
    sounds->Play(SOUND_CHIME);
    int chime = PeakOver(1.2);
    EXPECT_GT(chime, 1000);
    EXPECT_LT(Dbfs(chime), -13.5);
    for (int channel = 0; channel < KtInterfaceSounds::kChannels; ++channel)
        EXPECT_EQ(audio->QueryChannel(channel), 0) << channel;
    EXPECT_LE(PeakOver(0.2), kSilence);
}

TEST_F(LoopbackSounds, MissingAndDamagedFilesAreNamedOnceAndStaySilent) {
    TempFolder folder;
    ASSERT_TRUE(folder.Ok());
    for (int i = 0; i < SOUND_COUNT; ++i) {
        std::string name = InterfaceSoundFile(InterfaceSound(i));
        std::string bytes = ReadBytes(SoundsFolder() + name);
        if (i == SOUND_TICK) bytes.resize(bytes.size() / 3);
        if (i == SOUND_PRESS) continue;
        ASSERT_TRUE(WriteFile(folder.File(name), bytes));
    }
    KtInterfaceSounds* sounds = nullptr;
    std::string printed =
        CaptureStdout([&] { sounds = new KtInterfaceSounds(audio, String((folder.File("")).c_str())); });
    EXPECT_EQ(printed, "Sound files missing or damaged, played as silence: " + folder.File("press.ogg") + ", " +
                           folder.File("tick.ogg") + "\n");
    EXPECT_EQ(CaptureStdout([&] {
                  sounds->Play(SOUND_PRESS);
                  sounds->Play(SOUND_TICK);
              }),
              "");
    EXPECT_LE(PeakOver(0.2), kSilence);
    sounds->Play(SOUND_MESSAGE);
    EXPECT_GT(PeakOver(0.2), 500);
}

}  // namespace
