// The audio seam: what the sound manager asks of the machine's audio (numbered channels for effects, one music
// stream), implemented by each back end. With no device every call is silent and nothing is ever created.
#pragma once
#include <cstddef>

namespace Audio {

constexpr int NoSound = 0; // the handle of a sound that could not be created

// Opens the audio system with this many mixing channels; false when no device can be had (the game runs on silently).
bool Open(int channels);
bool IsOpen();
// Releases every sound and the device; handles given out before are no longer valid.
void Close();

// A sound from Ogg Vorbis bytes that stay alive as long as the sound does (the built-in resources). An effect is
// decoded at once; a stream is decoded while it plays and can only be played as music.
int CreateSound(const unsigned char* bytes, std::size_t size, bool stream);
int CreateSoundFromFile(const char* path, bool stream);
// An effect heard within the first frames: decoded from now on beside the caller, where a back end decodes at all,
// so that its first play finds it ready (or waits for the rest). Nothing changes when or how it plays.
void DecodeSoon(int sound);

// Effects on numbered channels: a play replaces whatever the channel was playing. Volumes are factors 0 to 1.
void PlayOnChannel(int channel, int sound, bool loop, float volume);
bool ChannelPlaying(int channel); // a paused channel counts as playing
void StopChannel(int channel);
void PauseChannel(int channel, bool paused);
void SetChannelVolume(int channel, float volume);

// The one music stream: a play replaces the music that was playing.
void PlayMusic(int sound, bool loop, float volume);
bool MusicPlaying(); // paused music counts as playing
void StopMusic();
void PauseMusic(bool paused);
void SetMusicVolume(float volume);

} // namespace Audio
