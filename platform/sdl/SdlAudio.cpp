// The real back end's audio on SDL2_mixer: effects as decoded chunks on numbered mixer channels, the music loops
// streamed from memory on SDL2_mixer's one music stream (which honours the loops' LOOPSTART/LOOPLENGTH comments).
#include "../Audio.h"
#include <SDL.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <cmath>
#include <dlfcn.h>
#include <vector>

namespace {
constexpr int MixRate = 44100;
constexpr int MixOutputChannels = 2;
constexpr int MixChunkFrames = 1024;
constexpr int LoopForever = -1;
constexpr int PlayOnce = 0;

// A created sound: a decoded chunk, or a stream that decodes as it plays.
struct SdlSound {
    Mix_Chunk* Chunk = nullptr;
    Mix_Music* Music = nullptr;
};

bool Opened = false;
bool SubsystemStarted = false;
int ChannelsOpen = 0;
std::vector<SdlSound> Sounds; // handle n is Sounds[n - 1]

int MixVolume(float volume) { return static_cast<int>(std::lround(std::clamp(volume, 0.0f, 1.0f) * MIX_MAX_VOLUME)); }

bool ValidChannel(int channel) { return Opened && channel >= 0 && channel < ChannelsOpen; }

const SdlSound* SoundOf(int handle) {
    if (!Opened || handle < 1 || handle > static_cast<int>(Sounds.size())) return nullptr;
    return &Sounds[static_cast<std::size_t>(handle - 1)];
}

int Keep(SdlSound sound) {
    if (sound.Chunk == nullptr && sound.Music == nullptr) return Audio::NoSound;
    Sounds.push_back(sound);
    return static_cast<int>(Sounds.size());
}

// On a machine without a sound card ALSA writes its failures to stderr as SDL tries it; the game logs nothing and
// runs on silently, so ALSA's messages are turned off (when ALSA is there at all; SDL loads it the same way).
void AlsaErrorsQuiet(const char*, int, const char*, int, const char*, ...) {}
using AlsaErrorHandler = void (*)(const char*, int, const char*, int, const char*, ...);

void SilenceAlsa() {
    static bool done = false;
    if (done) return;
    done = true;
    void* alsa = dlopen("libasound.so.2", RTLD_LAZY | RTLD_GLOBAL); // kept open: the setting lives in the library
    if (alsa == nullptr) return;
    auto setHandler = reinterpret_cast<int (*)(AlsaErrorHandler)>(dlsym(alsa, "snd_lib_error_set_handler"));
    if (setHandler != nullptr) setHandler(AlsaErrorsQuiet);
}

void Shutdown() {
    if (SubsystemStarted) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    SubsystemStarted = false;
}
} // namespace

namespace Audio {

// No device (no sound card, no server, a driver that will not start) leaves the game silent. A device that goes
// away later is SDL's to handle: it keeps mixing into nothing at the device's pace, so channels still finish.
bool Open(int channels) {
    if (Opened) return true;
    if (channels < 1) return false;
    SilenceAlsa();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    SubsystemStarted = true;
    Mix_Init(MIX_INIT_OGG);
    if (Mix_OpenAudio(MixRate, MIX_DEFAULT_FORMAT, MixOutputChannels, MixChunkFrames) != 0) {
        Mix_Quit();
        Shutdown();
        return false;
    }
    ChannelsOpen = Mix_AllocateChannels(channels);
    Opened = true;
    return true;
}

bool IsOpen() { return Opened; }

void Close() {
    if (!Opened) return;
    Mix_HaltMusic();
    Mix_HaltChannel(-1);
    for (const SdlSound& sound : Sounds) {
        if (sound.Chunk != nullptr) Mix_FreeChunk(sound.Chunk);
        if (sound.Music != nullptr) Mix_FreeMusic(sound.Music);
    }
    Sounds.clear();
    Mix_CloseAudio();
    Mix_Quit();
    Shutdown();
    Opened = false;
    ChannelsOpen = 0;
}

int CreateSound(const unsigned char* bytes, std::size_t size, bool stream) {
    if (!Opened || bytes == nullptr || size == 0) return NoSound;
    SDL_RWops* source = SDL_RWFromConstMem(bytes, static_cast<int>(size));
    if (source == nullptr) return NoSound;
    SdlSound sound;
    // Both take the reader over and close it: the chunk when decoded, the music when it is freed.
    if (stream)
        sound.Music = Mix_LoadMUS_RW(source, 1);
    else
        sound.Chunk = Mix_LoadWAV_RW(source, 1);
    return Keep(sound);
}

int CreateSoundFromFile(const char* path, bool stream) {
    if (!Opened || path == nullptr) return NoSound;
    SdlSound sound;
    if (stream)
        sound.Music = Mix_LoadMUS(path);
    else
        sound.Chunk = Mix_LoadWAV(path);
    return Keep(sound);
}

void PlayOnChannel(int channel, int sound, bool loop, float volume) {
    const SdlSound* created = SoundOf(sound);
    if (!ValidChannel(channel) || created == nullptr || created->Chunk == nullptr) return;
    Mix_Volume(channel, MixVolume(volume)); // before the start, so not one buffer sounds at the old volume
    Mix_PlayChannel(channel, created->Chunk, loop ? LoopForever : PlayOnce);
}

bool ChannelPlaying(int channel) { return ValidChannel(channel) && Mix_Playing(channel) != 0; }

void StopChannel(int channel) {
    if (ValidChannel(channel)) Mix_HaltChannel(channel);
}

void PauseChannel(int channel, bool paused) {
    if (!ValidChannel(channel)) return;
    if (paused)
        Mix_Pause(channel);
    else
        Mix_Resume(channel);
}

void SetChannelVolume(int channel, float volume) {
    if (ValidChannel(channel)) Mix_Volume(channel, MixVolume(volume));
}

void PlayMusic(int sound, bool loop, float volume) {
    const SdlSound* created = SoundOf(sound);
    if (created == nullptr || created->Music == nullptr) return;
    Mix_VolumeMusic(MixVolume(volume));
    Mix_PlayMusic(created->Music, loop ? LoopForever : PlayOnce);
}

bool MusicPlaying() { return Opened && Mix_PlayingMusic() != 0; }

void StopMusic() {
    if (Opened) Mix_HaltMusic();
}

void PauseMusic(bool paused) {
    if (!Opened) return;
    if (paused)
        Mix_PauseMusic();
    else
        Mix_ResumeMusic();
}

void SetMusicVolume(float volume) {
    if (Opened) Mix_VolumeMusic(MixVolume(volume));
}

} // namespace Audio
