// Opening the audio device: without any driver, with each of the three device
// calls failing, and through OpenAL Soft's loopback device, whose output the
// test renders into memory to hear what a started sound really produces.
#include <gtest/gtest.h>

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/audio.h"
#include "tests/unit/sound_test_files.h"

using namespace soundtest;

namespace {

// OpenAL Soft reads its drivers once, at the first device call: naming one
// that does not exist, before main, leaves this process without any device.
const bool noDrivers = setenv("ALSOFT_DRIVERS", "grimalou-no-such-driver", 1) == 0;

const AudioDeviceCalls realCalls = audioDeviceCalls;

std::vector<std::string> openedNames;
ALCdevice* const fakeDevice = reinterpret_cast<ALCdevice*>(0x1000);
ALCcontext* const fakeContext = reinterpret_cast<ALCcontext*>(0x2000);

ALCdevice* FailToOpen(const char* name) {
    openedNames.push_back(name ? name : "(default)");
    return nullptr;
}
ALCdevice* OpenFake(const char*) { return fakeDevice; }
ALCcontext* FailToCreate(ALCdevice*, const ALCint*) { return nullptr; }
ALCcontext* CreateFake(ALCdevice*, const ALCint*) { return fakeContext; }
ALCboolean RefuseFake(ALCcontext* context) { return context ? ALC_FALSE : alcMakeContextCurrent(nullptr); }

class DeviceCalls : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(noDrivers);
        ASSERT_TRUE(folder.Ok());
        tone = folder.File("tone.wav");
        ASSERT_TRUE(WriteFile(tone, ToneWav({440}, 44100, 44100)));
        sampleDataLoader = LoadSampleFromFile;
    }
    void TearDown() override { audioDeviceCalls = realCalls; }

    // A device that failed to open carries on: nothing sounds, nothing fails
    // loudly, and nothing more is printed.
    void ExpectSilentDevice(gxtkAudio* audio) {
        std::string more = CaptureStdout([&] {
            gxtkSample* sample = audio->OpenSample(String(tone.c_str()));
            ASSERT_NE(sample, nullptr);
            EXPECT_EQ(sample->buffer, 0u);
            EXPECT_EQ(audio->StartSound(sample, 0, 1), -1);
            EXPECT_EQ(audio->QueryChannel(0), 0);
            audio->ChannelGain(0, 0.5f);
            audio->ChannelBalance(0, 1);
            audio->PauseAllSounds();
            audio->ContinueAllSounds();
            EXPECT_EQ(audio->StartMusic(String(tone.c_str()), 0), 0);
            EXPECT_EQ(audio->QueryMusic(), 0);
            EXPECT_EQ(audio->StartMusic(String("missing.wav"), 0), -1);
        });
        EXPECT_EQ(more, "");
        EXPECT_EQ(RetiredBufferCount(), 0);
    }

    TempFolder folder;
    std::string tone;
};

}  // namespace

TEST_F(DeviceCalls, WithoutAnyDriverTheDeviceIsSilent) {
    gxtkAudio* audio = nullptr;
    EXPECT_EQ(CaptureStdout([&] { audio = new gxtkAudio(); }), "OpenAl error: alcOpenDevice failed\n");
    EXPECT_EQ(audio->device, nullptr);
    EXPECT_EQ(audio->channels[gxtkAudio::MUSIC_CHANNEL].source, 0u);
    ExpectSilentDevice(audio);
}

TEST_F(DeviceCalls, EachFailurePrintsItsOwnLine) {
    audioDeviceCalls.OpenDevice = FailToOpen;
    openedNames.clear();
    gxtkAudio* audio = nullptr;
    EXPECT_EQ(CaptureStdout([&] { audio = new gxtkAudio(); }), "OpenAl error: alcOpenDevice failed\n");
    EXPECT_EQ(openedNames, (std::vector<std::string>{"(default)", "Generic Hardware", "Generic Software"}));

    audioDeviceCalls.OpenDevice = OpenFake;
    audioDeviceCalls.CreateContext = FailToCreate;
    EXPECT_EQ(CaptureStdout([&] { audio = new gxtkAudio(); }), "OpenAl error: alcCreateContext failed\n");
    EXPECT_EQ(audio->context, nullptr);
    ExpectSilentDevice(audio);

    audioDeviceCalls.CreateContext = CreateFake;
    audioDeviceCalls.MakeContextCurrent = RefuseFake;
    EXPECT_EQ(CaptureStdout([&] { audio = new gxtkAudio(); }), "OpenAl error: alcMakeContextCurrent failed\n");
    ExpectSilentDevice(audio);
}

TEST_F(DeviceCalls, ADeviceMadeDuringACycleOutlivesItsEnd) {
    // The cycle under way has queued and scanned its roots already; only the
    // current-device slot refers to the new device.
    gc_full_collection();
    gc_mark_some(INT_MAX);
    gxtkAudio* audio = nullptr;
    CaptureStdout([&] { audio = new gxtkAudio(); });
    gc_full_collection();
    gc_destroy_garbage(INT_MAX);
    EXPECT_EQ(gc_find_object(reinterpret_cast<uintptr_t>(audio)), audio);
    EXPECT_STREQ(gc_check_heap(), "");
    // Taking over a source walks the current device's channels.
    EXPECT_EQ(CaptureStdout([&] { EXPECT_EQ(audio->StartSound(new gxtkSample(), 0, 0), -1); }), "");
}

namespace {

// 44100 Hz stereo 16-bit output rendered on demand.
constexpr int kRate = 44100;
// OpenAL Soft dithers its 16-bit output, so silence is a level of about 0.5.
constexpr double kSilence = 2;
LPALCLOOPBACKOPENDEVICESOFT loopbackOpen = nullptr;
LPALCRENDERSAMPLESSOFT renderSamples = nullptr;

ALCdevice* OpenLoopback(const char*) { return loopbackOpen(nullptr); }
ALCcontext* CreateLoopbackContext(ALCdevice* device, const ALCint*) {
    const ALCint attributes[] = {ALC_FREQUENCY,        kRate,          ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT,
                                 ALC_FORMAT_TYPE_SOFT, ALC_SHORT_SOFT, 0};
    return alcCreateContext(device, attributes);
}

struct Rendered {
    std::vector<int16_t> samples;  // interleaved left, right
    int frames = 0;
    double Rms(int channel) const {
        double sum = 0;
        for (int i = 0; i < frames; ++i) sum += double(samples[i * 2 + channel]) * samples[i * 2 + channel];
        return std::sqrt(sum / frames);
    }
    int Crossings(int channel) const { return RisingCrossings(samples.data(), frames, 2, channel); }
};

// Renders and discards a short lead-in, so that gain and panning ramps are
// over, then renders `seconds` of output.
Rendered Render(ALCdevice* device, double seconds) {
    std::vector<int16_t> lead(1024 * 2);
    renderSamples(device, lead.data(), 1024);
    Rendered r;
    r.frames = static_cast<int>(seconds * kRate);
    r.samples.resize(r.frames * 2);
    renderSamples(device, r.samples.data(), r.frames);
    return r;
}

}  // namespace

TEST_F(DeviceCalls, AStartedSoundReallyProducesSamples) {
    ASSERT_TRUE(alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback"));
    loopbackOpen = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    renderSamples = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    ASSERT_TRUE(loopbackOpen && renderSamples);
    audioDeviceCalls.OpenDevice = OpenLoopback;
    audioDeviceCalls.CreateContext = CreateLoopbackContext;
    gxtkAudio* audio = nullptr;
    EXPECT_EQ(CaptureStdout([&] { audio = new gxtkAudio(); }), "");
    ASSERT_NE(audio->context, nullptr);
    ALCdevice* device = audio->device;

    Rendered before = Render(device, 0.1);
    EXPECT_LT(before.Rms(0), kSilence);

    // A 440 Hz tone, straight ahead: both sides carry it.
    gxtkSample* sample = audio->OpenSample(String(tone.c_str()));
    ASSERT_NE(sample, nullptr);
    ASSERT_EQ(audio->StartSound(sample, 0, 1), 0);
    Rendered ahead = Render(device, 0.5);
    EXPECT_GT(ahead.Rms(0), 1000);
    EXPECT_NEAR(ahead.Rms(0), ahead.Rms(1), ahead.Rms(0) * 0.05);
    EXPECT_NEAR(ahead.Crossings(0), 220, 3);

    // A quarter turn to the right.
    audio->ChannelBalance(0, float(M_PI / 2));
    Rendered right = Render(device, 0.2);
    EXPECT_GT(right.Rms(1), 3 * right.Rms(0));
    audio->ChannelBalance(0, -float(M_PI / 2));
    Rendered left = Render(device, 0.2);
    EXPECT_GT(left.Rms(0), 3 * left.Rms(1));
    audio->ChannelBalance(0, 0);

    // Double pitch doubles the frequency; gain scales the level.
    audio->ChannelPitch(0, 2);
    EXPECT_NEAR(Render(device, 0.5).Crossings(0), 440, 6);
    audio->ChannelPitch(0, 1);
    audio->ChannelGain(0, 0.5f);
    EXPECT_NEAR(Render(device, 0.2).Rms(0), ahead.Rms(0) / 2, ahead.Rms(0) * 0.05);

    audio->HoldChannel(0);
    EXPECT_LT(Render(device, 0.1).Rms(0), kSilence);
    audio->ContinueChannel(0);
    EXPECT_GT(Render(device, 0.1).Rms(0), 500);
    audio->PauseAllSounds();
    EXPECT_LT(Render(device, 0.1).Rms(0), kSilence);
    audio->ContinueAllSounds();
    EXPECT_GT(Render(device, 0.1).Rms(0), 500);
    audio->HaltChannel(0);
    EXPECT_LT(Render(device, 0.1).Rms(0), kSilence);

    // Without looping the one-second tone ends, and the channel says so.
    audio->StartSound(sample, 1, 0);
    ASSERT_EQ(audio->QueryChannel(1), 1);
    Render(device, 1.1);
    EXPECT_EQ(audio->QueryChannel(1), 0);
    EXPECT_LT(Render(device, 0.1).Rms(0), kSilence);

    alcMakeContextCurrent(nullptr);
    alcDestroyContext(audio->context);
    alcCloseDevice(device);
}
