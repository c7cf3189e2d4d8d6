#include "host/interface_sounds.h"

#include "host/errors.h"

namespace {

// In InterfaceSound's order; tools/sounds/make_sounds.py makes these files.
const char* const kFiles[SOUND_COUNT] = {"press.ogg", "record_start.ogg", "record_stop.ogg",
                                         "tick.ogg",  "chime.ogg",        "message.ogg"};

}  // namespace

const char* InterfaceSoundFile(InterfaceSound sound) { return kFiles[sound]; }

KtInterfaceSounds::KtInterfaceSounds(gxtkAudio* device, const String& folder) {
    audio = device;
    Array<gxtkSample*> loaded(SOUND_COUNT);
    String unreadable;
    for (int i = 0; i < SOUND_COUNT; ++i) {
        String path = folder + String(kFiles[i]);
        loaded[i] = device->OpenSample(path);
        if (!loaded[i]) unreadable = unreadable + (unreadable.Length() ? ", " : "") + path;
    }
    samples = loaded;
    if (unreadable.Length())
        PrintLine("Sound files missing or damaged, played as silence: " + unreadable);
}

void KtInterfaceSounds::Play(InterfaceSound sound) {
    if (sound < 0 || sound >= SOUND_COUNT || !samples[sound]) return;
    int channel = nextChannel_;
    for (int i = 0; i < kChannels; ++i) {
        int candidate = (nextChannel_ + i) % kChannels;
        if (audio->QueryChannel(candidate) == 0) {
            channel = candidate;
            break;
        }
    }
    nextChannel_ = (channel + 1) % kChannels;
    audio->StartSound(samples[sound], channel, 0);
}
