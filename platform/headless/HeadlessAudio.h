// The headless back end's audio for tests: every play, stop, pause and volume change with the frame it came in,
// the sounds created, and a switch for a machine without a sound device.
#pragma once
#include <string>
#include <vector>

namespace HeadlessAudio {

constexpr int MusicStream = -1; // the channel of events on the music stream

struct AudioEvent {
    enum Kind { Play, Stop, Pause, Resume, SetVolume } Type = Play;
    int Frame = 0;     // flips before the call
    int Channel = 0;   // mixer channel, or MusicStream
    std::string Sound; // stored name of the sound on that channel ("res\\BlipSND.ogg"), or the file name
    bool Loop = false; // plays only
    float Volume = 0;  // plays and volume changes
};

struct CreatedSound {
    std::string Name;
    bool Stream = false;
    int LengthMs = 0; // from the Ogg stream's last granule position and its sample rate
};

// Back to no device opened, the device available, nothing recorded.
void Reset();
// While false, Open fails as on a machine without a sound card.
void SetDeviceAvailable(bool available);
bool DeviceOpen();
int ChannelCount();
const std::vector<AudioEvent>& Events();
// How many times the sound with this stored name was started.
int PlayCount(const std::string& sound);
const std::vector<CreatedSound>& Sounds();

} // namespace HeadlessAudio
