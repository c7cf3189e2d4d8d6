// The interface's short sounds (a button press, recording starting and
// stopping, a countdown tick, the chime at the end of a set, a message),
// loaded once from the data folder's sounds and played fire-and-forget on the
// audio device, on the desktop and in a browser alike.
//
// A sound whose file is missing or cannot be decoded stays silent: loading
// prints one line that names every such file, and playing it does nothing.
#pragma once

#include "host/audio.h"
#include "runtime/gc_ref.h"

enum InterfaceSound {
    SOUND_PRESS,
    SOUND_RECORD_START,
    SOUND_RECORD_STOP,
    SOUND_TICK,
    SOUND_CHIME,
    SOUND_MESSAGE,
    SOUND_COUNT
};

// The file of a sound under the sounds folder, "press.ogg" for SOUND_PRESS.
const char* InterfaceSoundFile(InterfaceSound sound);

class KtInterfaceSounds : public Object {
public:
    // The sound channels these sounds take turns on; the channels above them
    // are left to anything else.
    static constexpr int kChannels = 8;

    gc_ref<gxtkAudio> audio;
    // One per InterfaceSound; null where the file could not be read.
    gc_array<gxtkSample*> samples;

    // `folder` ends with "/"; the data folder's sounds by default.
    explicit KtInterfaceSounds(gxtkAudio* audio, const String& folder = String("ravlen://data/sounds/"));

    // Starts the sound and returns at once, on the first of the set's channels
    // that has gone quiet, counting from the one after the channel used last;
    // when none has, on that next one, cutting off what it plays.
    void Play(InterfaceSound sound);

    GC_FIELDS(Object, audio, samples)

private:
    int nextChannel_ = 0;
};
