// The audio device on OpenAL Soft's null backend: one device for the whole
// suite, as in the program, so buffer names never mix between devices.
#include <gtest/gtest.h>

#include <AL/al.h>
#include <AL/alc.h>

#include <chrono>
#include <climits>
#include <cmath>
#include <thread>

#include "host/audio.h"
#include "tests/unit/sound_test_files.h"

using namespace soundtest;

namespace {

ALint SourceInt(ALuint source, ALenum what) {
    ALint value = -1;
    alGetSourcei(source, what, &value);
    return value;
}

// The null backend mixes in real time; a short sound ends within a second,
// and the deadline leaves room for a busy machine.
bool WaitUntilStopped(ALuint source) {
    for (int i = 0; i < 2000 && SourceInt(source, AL_SOURCE_STATE) != AL_STOPPED; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return SourceInt(source, AL_SOURCE_STATE) == AL_STOPPED;
}

}  // namespace

class AudioDevice : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = new TempFolder();
        ASSERT_TRUE(WriteFile(folder->File("long.wav"), ToneWav({440}, 22050, 22050 * 2)));
        ASSERT_TRUE(WriteFile(folder->File("short.wav"), ToneWav({440}, 22050, 441)));
        ASSERT_TRUE(WriteFile(folder->File("wide.wav"), Riff(FmtChunk(1, 1, 8000, 24) + Chunk("data", std::string(300, '\0')))));
        sampleDataLoader = LoadSampleFromFile;
        audio = new gxtkAudio();
    }
    static void TearDownTestSuite() {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(audio->context);
        alcCloseDevice(audio->device);
        delete folder;
    }

    // Every test leaves the channels halted and no buffer waiting for deletion.
    void TearDown() override {
        for (int i = 0; i < gxtkAudio::CHANNEL_COUNT; ++i) {
            audio->HaltChannel(i);
            alSourcei(audio->channels[i].source, AL_BUFFER, 0);
        }
        audio->OpenSample(String("no such file.wav"));  // flushes the retired buffers
        EXPECT_EQ(RetiredBufferCount(), 0);
    }

    gxtkSample* Open(const char* name) {
        gxtkSample* sample = audio->OpenSample(String(folder->File(name).c_str()));
        EXPECT_NE(sample, nullptr) << name;
        return sample;
    }
    ALuint Source(int channel) { return audio->channels[channel].source; }

    static TempFolder* folder;
    static gxtkAudio* audio;
};
TempFolder* AudioDevice::folder = nullptr;
gxtkAudio* AudioDevice::audio = nullptr;

TEST_F(AudioDevice, StartsWithOnlyTheMusicChannelsSource) {
    EXPECT_NE(audio->device, nullptr);
    EXPECT_NE(audio->context, nullptr);
    EXPECT_NE(Source(gxtkAudio::MUSIC_CHANNEL), 0u);
    for (int i = 0; i < gxtkAudio::SOUND_CHANNELS; ++i) {
        EXPECT_EQ(Source(i), 0u) << i;
        EXPECT_EQ(audio->QueryChannel(i), 0) << i;
    }
    EXPECT_EQ(alGetInteger(AL_DISTANCE_MODEL), AL_NONE);
}

TEST_F(AudioDevice, ChannelStateMachine) {
    gxtkSample* sample = Open("long.wav");
    ASSERT_NE(sample, nullptr);
    EXPECT_EQ(audio->StartSound(sample, 3, 0), 0);
    ALuint source = Source(3);
    ASSERT_NE(source, 0u);
    EXPECT_EQ(SourceInt(source, AL_BUFFER), static_cast<ALint>(sample->buffer));
    EXPECT_EQ(SourceInt(source, AL_LOOPING), 0);
    EXPECT_EQ(audio->channels[3].sample, sample);
    EXPECT_EQ(audio->QueryChannel(3), 1);
    EXPECT_EQ(SourceInt(source, AL_SOURCE_STATE), AL_PLAYING);

    audio->ContinueChannel(3);  // only a paused channel continues
    EXPECT_EQ(audio->QueryChannel(3), 1);
    audio->HoldChannel(3);
    EXPECT_EQ(audio->QueryChannel(3), 2);
    EXPECT_EQ(SourceInt(source, AL_SOURCE_STATE), AL_PAUSED);
    audio->HoldChannel(3);
    EXPECT_EQ(audio->QueryChannel(3), 2);
    audio->ContinueChannel(3);
    EXPECT_EQ(audio->QueryChannel(3), 1);
    EXPECT_EQ(SourceInt(source, AL_SOURCE_STATE), AL_PLAYING);
    audio->HaltChannel(3);
    EXPECT_EQ(audio->QueryChannel(3), 0);
    EXPECT_EQ(SourceInt(source, AL_SOURCE_STATE), AL_STOPPED);
    audio->ContinueChannel(3);
    audio->HoldChannel(3);
    EXPECT_EQ(audio->QueryChannel(3), 0);

    // Flags not 0 loop; a restart reuses the channel's source.
    EXPECT_EQ(audio->StartSound(sample, 3, 5), 0);
    EXPECT_EQ(Source(3), source);
    EXPECT_EQ(SourceInt(source, AL_LOOPING), 1);
    EXPECT_EQ(audio->channels[3].flags, 5);

    // Channels outside 0..32 have no source and change nothing.
    EXPECT_EQ(audio->StartSound(sample, 33, 0), -1);
    EXPECT_EQ(audio->StartSound(sample, -1, 0), -1);
    EXPECT_EQ(audio->QueryChannel(40), 0);
}

TEST_F(AudioDevice, AFinishedSoundReadsAsStopped) {
    gxtkSample* beep = Open("short.wav");
    gxtkSample* loop = Open("short.wav");
    ASSERT_TRUE(beep && loop);
    audio->StartSound(beep, 0, 0);
    audio->StartSound(beep, 1, 0);
    audio->StartSound(loop, 2, 1);
    ASSERT_TRUE(WaitUntilStopped(Source(0)));
    ASSERT_TRUE(WaitUntilStopped(Source(1)));
    // Nothing noticed the end yet; asking does.
    EXPECT_EQ(audio->channels[0].state, 1);
    EXPECT_EQ(audio->QueryChannel(0), 0);
    // Holding an ended sound stops the channel instead of pausing it.
    audio->HoldChannel(1);
    EXPECT_EQ(audio->QueryChannel(1), 0);
    EXPECT_EQ(audio->QueryChannel(2), 1);
    EXPECT_EQ(SourceInt(Source(2), AL_SOURCE_STATE), AL_PLAYING);
}

TEST_F(AudioDevice, SuspensionPausesExactlyThePlayingSources) {
    gxtkSample* loop = Open("long.wav");
    gxtkSample* beep = Open("short.wav");
    ASSERT_TRUE(loop && beep);
    audio->StartSound(loop, 0, 1);  // playing
    audio->StartSound(loop, 1, 1);
    audio->HoldChannel(1);          // paused by the application
    audio->StartSound(beep, 2, 0);  // ends by itself
    audio->StartSound(loop, 3, 1);
    audio->HaltChannel(3);          // halted
    ASSERT_EQ(audio->StartMusic(String(folder->File("long.wav").c_str()), 1), 0);
    ASSERT_TRUE(WaitUntilStopped(Source(2)));

    audio->PauseAllSounds();
    EXPECT_EQ(SourceInt(Source(0), AL_SOURCE_STATE), AL_PAUSED);
    EXPECT_EQ(SourceInt(Source(gxtkAudio::MUSIC_CHANNEL), AL_SOURCE_STATE), AL_PAUSED);
    EXPECT_EQ(SourceInt(Source(1), AL_SOURCE_STATE), AL_PAUSED);
    EXPECT_EQ(SourceInt(Source(2), AL_SOURCE_STATE), AL_STOPPED);
    EXPECT_EQ(SourceInt(Source(3), AL_SOURCE_STATE), AL_STOPPED);
    // The states stay as they were: suspension is not the application's pause.
    EXPECT_EQ(audio->channels[0].state, 1);
    EXPECT_EQ(audio->channels[1].state, 2);
    EXPECT_EQ(audio->channels[2].state, 1);
    EXPECT_EQ(audio->QueryMusic(), 1);

    audio->ContinueAllSounds();
    EXPECT_EQ(SourceInt(Source(0), AL_SOURCE_STATE), AL_PLAYING);
    EXPECT_EQ(SourceInt(Source(gxtkAudio::MUSIC_CHANNEL), AL_SOURCE_STATE), AL_PLAYING);
    EXPECT_EQ(SourceInt(Source(1), AL_SOURCE_STATE), AL_PAUSED);
    EXPECT_EQ(SourceInt(Source(2), AL_SOURCE_STATE), AL_STOPPED);
    EXPECT_EQ(SourceInt(Source(3), AL_SOURCE_STATE), AL_STOPPED);
    EXPECT_EQ(audio->QueryChannel(1), 2);
}

TEST_F(AudioDevice, RetiredBuffersAreDeletedOnlyOnceNoSourceHoldsThem) {
    gxtkSample* held = Open("long.wav");
    gxtkSample* ended = Open("short.wav");
    gxtkSample* other = Open("short.wav");
    ASSERT_TRUE(held && ended && other);
    ALuint heldBuffer = held->buffer, endedBuffer = ended->buffer;
    audio->StartSound(held, 0, 1);
    audio->StartSound(ended, 1, 0);
    ASSERT_TRUE(WaitUntilStopped(Source(1)));

    held->DropBuffer();
    ended->DropBuffer();
    EXPECT_EQ(held->buffer, 0u);
    EXPECT_EQ(RetiredBufferCount(), 2);
    EXPECT_TRUE(alIsBuffer(heldBuffer));  // dropping makes no OpenAL call

    // The ended source lets go of its buffer; the looping one still plays it.
    EXPECT_EQ(audio->OpenSample(String("missing.wav")), nullptr);
    EXPECT_FALSE(alIsBuffer(endedBuffer));
    EXPECT_EQ(SourceInt(Source(1), AL_BUFFER), 0);
    EXPECT_TRUE(alIsBuffer(heldBuffer));
    EXPECT_EQ(RetiredBufferCount(), 1);
    EXPECT_EQ(SourceInt(Source(0), AL_SOURCE_STATE), AL_PLAYING);

    // Restarting the channel flushes before it lets go of the old buffer, so
    // the buffer goes at the next flush.
    audio->StartSound(other, 0, 0);
    EXPECT_TRUE(alIsBuffer(heldBuffer));
    audio->OpenSample(String("missing.wav"));
    EXPECT_FALSE(alIsBuffer(heldBuffer));
    EXPECT_EQ(RetiredBufferCount(), 0);
}

TEST_F(AudioDevice, TheDeviceKeepsOnlySamplesThatStillSound) {
    gxtkSample* playing = Open("long.wav");
    gxtkSample* finished = Open("short.wav");
    gxtkSample* unused = Open("short.wav");
    ASSERT_TRUE(playing && finished && unused);
    ALuint playingBuffer = playing->buffer, finishedBuffer = finished->buffer, unusedBuffer = unused->buffer;
    audio->StartSound(playing, 0, 1);
    audio->StartSound(finished, 1, 0);
    ASSERT_TRUE(WaitUntilStopped(Source(1)));

    // The device is the only root (as the current audio device); everything
    // else made by the tests so far is garbage. Starting a sound stored its
    // sample through the barrier, which keeps it through the cycle under way;
    // the second cycle decides.
    gc_queue_roots();
    gc_full_collection();
    gc_full_collection();
    gc_destroy_garbage(INT_MAX);
    EXPECT_STREQ(gc_check_heap(), "");
    EXPECT_NE(gc_find_object(reinterpret_cast<uintptr_t>(audio)), nullptr);
    EXPECT_NE(gc_find_object(reinterpret_cast<uintptr_t>(playing)), nullptr);
    EXPECT_EQ(playing->buffer, playingBuffer);

    // The dead samples gave their buffers up from their destructors.
    audio->OpenSample(String("missing.wav"));
    EXPECT_FALSE(alIsBuffer(finishedBuffer));
    EXPECT_FALSE(alIsBuffer(unusedBuffer));
    EXPECT_TRUE(alIsBuffer(playingBuffer));
}

TEST_F(AudioDevice, LoadingSamples) {
    // A 24-bit file reads, but OpenAL has no format for it: no sample.
    EXPECT_EQ(audio->OpenSample(String(folder->File("wide.wav").c_str())), nullptr);
    EXPECT_EQ(audio->OpenSample(String(folder->File("missing.ogg").c_str())), nullptr);
    EXPECT_EQ(audio->OpenSample(String(folder->File("long.mp3").c_str())), nullptr);

    gxtkSample* sample = Open("short.wav");
    ASSERT_NE(sample, nullptr);
    ALint size = 0, frequency = 0;
    alGetBufferi(sample->buffer, AL_SIZE, &size);
    alGetBufferi(sample->buffer, AL_FREQUENCY, &frequency);
    EXPECT_EQ(size, 441 * 2);
    EXPECT_EQ(frequency, 22050);

    // Filling again retires the old buffer instead of losing it.
    ALuint first = sample->buffer;
    EXPECT_TRUE(audio->FillSample(sample, String(folder->File("long.wav").c_str())));
    EXPECT_NE(sample->buffer, first);
    EXPECT_EQ(RetiredBufferCount(), 1);
    EXPECT_FALSE(audio->FillSample(sample, String(folder->File("wide.wav").c_str())));
    EXPECT_NE(sample->buffer, 0u);
}

TEST_F(AudioDevice, MusicChannel) {
    String music(folder->File("long.wav").c_str());
    ALuint source = Source(gxtkAudio::MUSIC_CHANNEL);
    EXPECT_EQ(audio->StartMusic(String(folder->File("none.ogg").c_str()), 0), -1);
    EXPECT_EQ(audio->StartMusic(music, 1), 0);
    EXPECT_EQ(audio->QueryMusic(), 1);
    EXPECT_EQ(SourceInt(source, AL_LOOPING), 1);
    audio->HoldMusic();
    EXPECT_EQ(audio->QueryMusic(), 2);
    audio->ContinueMusic();
    EXPECT_EQ(audio->QueryMusic(), 1);
    audio->MusicGain(0.25f);
    ALfloat gain = 0;
    alGetSourcef(source, AL_GAIN, &gain);
    EXPECT_FLOAT_EQ(gain, 0.25f);
    // Starting again halts the first music and drops it from the channel.
    gxtkSample* first = audio->channels[gxtkAudio::MUSIC_CHANNEL].sample;
    EXPECT_EQ(audio->StartMusic(music, 0), 0);
    EXPECT_NE(audio->channels[gxtkAudio::MUSIC_CHANNEL].sample, first);
    EXPECT_EQ(Source(gxtkAudio::MUSIC_CHANNEL), source);
    audio->HaltMusic();
    EXPECT_EQ(audio->QueryMusic(), 0);
}
