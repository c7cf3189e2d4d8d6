// The audio device: 32 numbered sound channels and one music channel played
// through one OpenAL device and context, and the sample that holds one decoded
// sound in an OpenAL buffer. Both are collected objects.
//
// A channel's state is 0 stopped, 1 playing or 2 paused. Playing turns into
// stopped only when an operation asks OpenAL and finds the source stopped.
// Sources are made lazily per channel and never deleted; when no new source can
// be made, a stopped sound channel's source is taken over. Buffers are made by
// FillSample and deleted only once their sample has dropped them and no source
// holds them any more (the retired-buffer list, flushed by StartSound and
// OpenSample).
#pragma once

#include "runtime/collector.h"
#include "runtime/string.h"

// The OpenAL handle types, kept opaque so that nothing above the host needs
// the OpenAL headers.
struct ALCdevice_struct;
struct ALCcontext_struct;

class gxtkSample : public Object {
public:
    unsigned int buffer = 0;  // OpenAL buffer name, 0 = none

    ~gxtkSample() override;
    // Hands the buffer to the retired-buffer list; no OpenAL call, since a
    // source may still be playing it.
    virtual void DropBuffer();
};

struct gxtkChannel {
    unsigned int source;  // OpenAL source name, 0 = none yet
    // The sample last started here. A plain pointer, stored through gc_store:
    // the device holds it only while the channel still sounds (see
    // MarkChildren), so it is not a field every marking must visit.
    gxtkSample* sample;
    int flags;            // as passed to StartSound; not 0 loops
    int state;            // 0 stopped, 1 playing, 2 paused
};

class gxtkAudio : public Object {
public:
    static constexpr int SOUND_CHANNELS = 32;
    static constexpr int MUSIC_CHANNEL = 32;
    static constexpr int CHANNEL_COUNT = 33;

    ALCdevice_struct* device = nullptr;    // null if no device could be opened
    ALCcontext_struct* context = nullptr;  // null if none was created
    gxtkChannel channels[CHANNEL_COUNT];

    // Opens the default device and becomes the current audio device. Without a
    // device it prints why and stays silent.
    gxtkAudio();

    // Written by hand because the references are conditional: keeps alive the
    // samples of channels whose sources are still playing or paused; a
    // finished sound's sample is no longer held by the device.
    void MarkChildren() override;

    // Suspension: pauses the playing sources and leaves the states at 1, so
    // ContinueAllSounds resumes exactly those.
    virtual int PauseAllSounds();
    virtual int ContinueAllSounds();
    // nullptr when the file is missing, unreadable or of an unknown kind.
    virtual gxtkSample* OpenSample(const String& path);
    virtual bool FillSample(gxtkSample* sample, const String& path);
    // -1 when the channel has no source and none can be found.
    virtual int StartSound(gxtkSample* sample, int channel, int flags);
    virtual int HaltChannel(int channel);
    virtual int HoldChannel(int channel);
    virtual int ContinueChannel(int channel);
    // The channel's state, after noticing a sound that has ended.
    virtual int QueryChannel(int channel);
    virtual int ChannelGain(int channel, float volume);
    // `pan` is an angle in radians: the source sits at (sin pan, 0, -cos pan).
    virtual int ChannelBalance(int channel, float pan);
    virtual int ChannelPitch(int channel, float rate);
    // -1 when the file cannot be read.
    virtual int StartMusic(const String& path, int flags);
    virtual int HaltMusic();
    virtual int HoldMusic();
    virtual int ContinueMusic();
    virtual int QueryMusic();
    virtual int MusicGain(float volume);

private:
    unsigned int ChannelSource(gxtkChannel& channel);
};

// The three calls that open the device, replaceable by tests that need the
// device to fail or to render into memory through a loopback device. The
// types are those of alcOpenDevice, alcCreateContext and alcMakeContextCurrent.
struct AudioDeviceCalls {
    ALCdevice_struct* (*OpenDevice)(const char* name);
    ALCcontext_struct* (*CreateContext)(ALCdevice_struct* device, const int* attributes);
    char (*MakeContextCurrent)(ALCcontext_struct* context);
};
extern AudioDeviceCalls audioDeviceCalls;

// Where FillSample gets its decoded sound: the current game's LoadSampleData
// by default. Tests may point it elsewhere to run without a game object.
using SampleDataLoader = unsigned char* (*)(const String& path, int* length, int* channels,
                                            int* bytesPerSample, int* rate);
extern SampleDataLoader sampleDataLoader;

// The OpenAL format of interleaved PCM samples; 0, which OpenAL rejects, for
// anything but 8 or 16 bits in mono or stereo.
int SampleFormat(int channels, int bytesPerSample);

// OpenAL buffer names given up by samples and not yet deleted.
int RetiredBufferCount();
