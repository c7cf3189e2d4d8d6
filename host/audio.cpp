#include "host/audio.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "host/errors.h"
#include "host/game.h"
#include "runtime/gc_ref.h"

namespace {

// The most recently constructed device: the one whose stopped channels give up
// their sources when a channel cannot make a new one.
gc_root<gxtkAudio> currentAudio;

// Kept outside the collected heap: samples append to it from their destructors,
// which run inside an allocation, where no collected object may be made.
std::vector<ALuint> retiredBuffers;

bool ValidChannel(int channel) { return channel >= 0 && channel < gxtkAudio::CHANNEL_COUNT; }

// A source OpenAL cannot answer for counts as stopped.
ALint SourceState(ALuint source) {
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state;
}

void FlushRetiredBuffers() {
    if (retiredBuffers.empty()) return;
    if (currentAudio) {
        // A finished source still holds its buffer; let go of it so the buffer
        // can be deleted.
        for (gxtkChannel& channel : currentAudio->channels)
            if (channel.state != 0 && SourceState(channel.source) == AL_STOPPED)
                alSourcei(channel.source, AL_BUFFER, 0);
    }
    std::vector<ALuint> stillHeld;
    for (ALuint buffer : retiredBuffers) {
        alGetError();
        alDeleteBuffers(1, &buffer);
        if (alGetError() != AL_NO_ERROR) stillHeld.push_back(buffer);
    }
    retiredBuffers.swap(stillHeld);
}

unsigned char* LoadThroughCurrentGame(const String& path, int* length, int* channels, int* bytesPerSample,
                                      int* rate) {
    if (!currentGame) return nullptr;
    return currentGame->LoadSampleData(path, length, channels, bytesPerSample, rate);
}

}  // namespace

AudioDeviceCalls audioDeviceCalls = {alcOpenDevice, alcCreateContext, alcMakeContextCurrent};
SampleDataLoader sampleDataLoader = LoadThroughCurrentGame;

int RetiredBufferCount() { return static_cast<int>(retiredBuffers.size()); }

int SampleFormat(int channels, int bytesPerSample) {
    if (channels == 1 && bytesPerSample == 1) return AL_FORMAT_MONO8;
    if (channels == 1 && bytesPerSample == 2) return AL_FORMAT_MONO16;
    if (channels == 2 && bytesPerSample == 1) return AL_FORMAT_STEREO8;
    if (channels == 2 && bytesPerSample == 2) return AL_FORMAT_STEREO16;
    return 0;
}

gxtkSample::~gxtkSample() { DropBuffer(); }

void gxtkSample::DropBuffer() {
    if (buffer == 0) return;
    retiredBuffers.push_back(buffer);
    buffer = 0;
}

gxtkAudio::gxtkAudio() {
    currentAudio = this;
    device = audioDeviceCalls.OpenDevice(nullptr);
    if (!device) device = audioDeviceCalls.OpenDevice("Generic Hardware");
    if (!device) device = audioDeviceCalls.OpenDevice("Generic Software");
    bool current = false;
    if (!device) {
        PrintLine("OpenAl error: alcOpenDevice failed");
    } else {
        context = audioDeviceCalls.CreateContext(device, nullptr);
        if (!context)
            PrintLine("OpenAl error: alcCreateContext failed");
        else if (!(current = audioDeviceCalls.MakeContextCurrent(context)))
            PrintLine("OpenAl error: alcMakeContextCurrent failed");
    }
    // An earlier device's context must not receive this silent device's calls.
    if (!current) audioDeviceCalls.MakeContextCurrent(nullptr);
    // No attenuation: a source's position only gives its direction.
    alDistanceModel(AL_NONE);
    for (gxtkChannel& channel : channels) channel = gxtkChannel{0, nullptr, 0, 0};
    ChannelSource(channels[MUSIC_CHANNEL]);
}

void gxtkAudio::MarkChildren() {
    Object::MarkChildren();
    for (gxtkChannel& channel : channels)
        if (channel.state != 0 && SourceState(channel.source) != AL_STOPPED) gc_mark_now(channel.sample);
}

unsigned int gxtkAudio::ChannelSource(gxtkChannel& channel) {
    if (channel.source) return channel.source;
    ALuint source = 0;
    alGetError();
    alGenSources(1, &source);
    if (alGetError() == AL_NO_ERROR && source != 0) {
        channel.source = source;
        return source;
    }
    if (!currentAudio) return 0;
    // Out of sources: take one from a sound channel that has finished. The
    // music channel is never a donor.
    for (int i = 0; i < SOUND_CHANNELS; ++i) {
        gxtkChannel& donor = currentAudio->channels[i];
        if (donor.source && currentAudio->QueryChannel(i) == 0) {
            channel.source = donor.source;
            donor.source = 0;
            return channel.source;
        }
    }
    return 0;
}

int gxtkAudio::PauseAllSounds() {
    for (gxtkChannel& channel : channels)
        if (channel.state == 1 && SourceState(channel.source) == AL_PLAYING) alSourcePause(channel.source);
    return 0;
}

int gxtkAudio::ContinueAllSounds() {
    for (gxtkChannel& channel : channels)
        if (channel.state == 1 && SourceState(channel.source) == AL_PAUSED) alSourcePlay(channel.source);
    return 0;
}

gxtkSample* gxtkAudio::OpenSample(const String& path) {
    FlushRetiredBuffers();
    gxtkSample* sample = new gxtkSample();
    if (FillSample(sample, path)) return sample;
    return nullptr;
}

bool gxtkAudio::FillSample(gxtkSample* sample, const String& path) {
    int length = 0, channelCount = 0, bytesPerSample = 0, rate = 0;
    unsigned char* data = sampleDataLoader(path, &length, &channelCount, &bytesPerSample, &rate);
    if (!data) return false;
    ALenum format = SampleFormat(channelCount, bytesPerSample);
    ALuint buffer = 0;
    alGetError();
    alGenBuffers(1, &buffer);
    alBufferData(buffer, format, data, length * channelCount * bytesPerSample, rate);
    bool rejected = alGetError() != AL_NO_ERROR;
    std::free(data);
    // A silent device makes no buffer and the sample stays silent with it; a
    // buffer OpenAL would not fill (a format it has no name for) is no sample.
    if (buffer != 0 && rejected) {
        alDeleteBuffers(1, &buffer);
        return false;
    }
    // Filling a sample again must not lose the buffer it had.
    sample->DropBuffer();
    sample->buffer = buffer;
    return true;
}

int gxtkAudio::StartSound(gxtkSample* sample, int channel, int flags) {
    if (!ValidChannel(channel)) return -1;
    FlushRetiredBuffers();
    gxtkChannel& record = channels[channel];
    ALuint source = ChannelSource(record);
    if (!source) return -1;
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(sample->buffer));
    alSourcei(source, AL_LOOPING, flags ? 1 : 0);
    alSourcePlay(source);
    gc_store(record.sample, sample);
    record.flags = flags;
    record.state = 1;
    return 0;
}

int gxtkAudio::HaltChannel(int channel) {
    if (!ValidChannel(channel)) return 0;
    gxtkChannel& record = channels[channel];
    if (record.state != 0) {
        alSourceStop(record.source);
        record.state = 0;
    }
    return 0;
}

int gxtkAudio::HoldChannel(int channel) {
    if (!ValidChannel(channel)) return 0;
    gxtkChannel& record = channels[channel];
    if (record.state == 1) {
        if (SourceState(record.source) == AL_STOPPED) {
            record.state = 0;
        } else {
            alSourcePause(record.source);
            record.state = 2;
        }
    }
    return 0;
}

int gxtkAudio::ContinueChannel(int channel) {
    if (!ValidChannel(channel)) return 0;
    gxtkChannel& record = channels[channel];
    if (record.state == 2) {
        alSourcePlay(record.source);
        record.state = 1;
    }
    return 0;
}

int gxtkAudio::QueryChannel(int channel) {
    if (!ValidChannel(channel)) return 0;
    gxtkChannel& record = channels[channel];
    if (record.state == 1 && SourceState(record.source) == AL_STOPPED) record.state = 0;
    return record.state;
}

int gxtkAudio::ChannelGain(int channel, float volume) {
    if (!ValidChannel(channel)) return 0;
    alSourcef(ChannelSource(channels[channel]), AL_GAIN, volume);
    return 0;
}

int gxtkAudio::ChannelBalance(int channel, float pan) {
    if (!ValidChannel(channel)) return 0;
    alSource3f(ChannelSource(channels[channel]), AL_POSITION, std::sin(pan), 0.0f, -std::cos(pan));
    return 0;
}

int gxtkAudio::ChannelPitch(int channel, float rate) {
    if (!ValidChannel(channel)) return 0;
    alSourcef(ChannelSource(channels[channel]), AL_PITCH, rate);
    return 0;
}

int gxtkAudio::StartMusic(const String& path, int flags) {
    HaltMusic();
    gxtkSample* music = OpenSample(path);
    if (!music) return -1;
    StartSound(music, MUSIC_CHANNEL, flags);
    return 0;
}

int gxtkAudio::HaltMusic() { return HaltChannel(MUSIC_CHANNEL); }
int gxtkAudio::HoldMusic() { return HoldChannel(MUSIC_CHANNEL); }
int gxtkAudio::ContinueMusic() { return ContinueChannel(MUSIC_CHANNEL); }
int gxtkAudio::QueryMusic() { return QueryChannel(MUSIC_CHANNEL); }
int gxtkAudio::MusicGain(float volume) { return ChannelGain(MUSIC_CHANNEL, volume); }
