// Taking over sources when OpenAL cannot make more: OpenAL Soft is configured,
// before its first use, to allow four sources in all.
#include <gtest/gtest.h>

#include <AL/al.h>
#include <AL/alc.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "host/audio.h"
#include "tests/unit/sound_test_files.h"

using namespace soundtest;

namespace {

// OpenAL Soft reads its configuration once, at the first device call.
TempFolder* configFolder = new TempFolder();
const bool configured = WriteFile(configFolder->File("alsoft.conf"), "[general]\nsources = 4\n") &&
                        setenv("ALSOFT_CONF", configFolder->File("alsoft.conf").c_str(), 1) == 0;

ALint SourceState(ALuint source) {
    ALint state = -1;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state;
}

}  // namespace

TEST(AudioSources, StoppedSoundChannelsGiveUpTheirSources) {
    ASSERT_TRUE(configured);
    TempFolder folder;
    ASSERT_TRUE(WriteFile(folder.File("long.wav"), ToneWav({440}, 22050, 22050)));
    ASSERT_TRUE(WriteFile(folder.File("short.wav"), ToneWav({440}, 22050, 441)));
    sampleDataLoader = LoadSampleFromFile;
    gxtkAudio* audio = new gxtkAudio();
    gxtkSample* loop = audio->OpenSample(String(folder.File("long.wav").c_str()));
    gxtkSample* beep = audio->OpenSample(String(folder.File("short.wav").c_str()));
    ASSERT_TRUE(loop && beep);
    ALuint music = audio->channels[gxtkAudio::MUSIC_CHANNEL].source;
    ASSERT_NE(music, 0u);

    // Four sources: the music channel's and three more.
    for (int i = 0; i < 3; ++i) ASSERT_EQ(audio->StartSound(loop, i, 1), 0) << i;
    // Every source in use and none stopped: nothing to take over.
    EXPECT_EQ(audio->StartSound(loop, 10, 1), -1);
    EXPECT_EQ(audio->channels[10].source, 0u);
    EXPECT_EQ(audio->QueryChannel(10), 0);
    // A stopped music channel is never robbed.
    audio->HaltMusic();
    EXPECT_EQ(audio->StartSound(loop, 10, 1), -1);
    EXPECT_EQ(audio->channels[gxtkAudio::MUSIC_CHANNEL].source, music);
    // Neither is a paused channel.
    audio->HoldChannel(2);
    EXPECT_EQ(audio->StartSound(loop, 10, 1), -1);

    // A halted channel gives its source to the next channel that needs one.
    ALuint second = audio->channels[1].source;
    audio->HaltChannel(1);
    EXPECT_EQ(audio->StartSound(loop, 10, 1), 0);
    EXPECT_EQ(audio->channels[10].source, second);
    EXPECT_EQ(audio->channels[1].source, 0u);
    EXPECT_EQ(SourceState(second), AL_PLAYING);

    // So does one whose sound has ended without anybody noticing yet.
    ALuint first = audio->channels[0].source;
    audio->StartSound(beep, 0, 0);
    for (int i = 0; i < 2000 && SourceState(first) != AL_STOPPED; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(SourceState(first), AL_STOPPED);
    EXPECT_EQ(audio->channels[0].state, 1);
    audio->ChannelGain(20, 0.5f);
    EXPECT_EQ(audio->channels[20].source, first);
    EXPECT_EQ(audio->channels[0].source, 0u);
    EXPECT_EQ(audio->channels[0].state, 0);

    // A channel that only had its gain set is stopped too, and gives the
    // source back.
    EXPECT_EQ(audio->StartSound(beep, 0, 0), 0);
    EXPECT_EQ(audio->channels[0].source, first);
    EXPECT_EQ(audio->channels[20].source, 0u);
    EXPECT_EQ(audio->StartSound(beep, 21, 0), -1);
    EXPECT_EQ(audio->StartMusic(String(folder.File("long.wav").c_str()), 1), 0);
    EXPECT_EQ(audio->QueryMusic(), 1);
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(audio->context);
    alcCloseDevice(audio->device);
    delete configFolder;
}
