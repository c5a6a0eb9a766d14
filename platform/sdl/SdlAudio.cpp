// The real back end's audio on SDL2_mixer: effects as decoded chunks on numbered mixer channels, the music loops
// streamed from memory on SDL2_mixer's one music stream (which honours the loops' LOOPSTART/LOOPLENGTH comments).
#include "../Audio.h"
#include <SDL.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <dlfcn.h>
#include <mutex>
#include <pthread.h>
#include <sched.h>
#include <thread>
#include <vector>

namespace {
constexpr int MixRate = 44100;
constexpr int MixOutputChannels = 2;
constexpr int MixChunkFrames = 1024;
constexpr int LoopForever = -1;
constexpr int PlayOnce = 0;

// A created sound: a decoded chunk, or a stream that decodes as it plays. An effect from Ogg bytes in memory is
// decoded later: decoding every effect took about a fifth of start-up before the first frame, and most are not
// heard for seconds. A decoder thread at the lowest priority works through them a few seconds after start-up, on
// time the machine has to spare, and the first play of one not decoded yet decodes it there and then (or waits for
// the thread to finish it). One heard in the first frame is asked for soon: a thread of its own at the program's
// priority decodes it while start-up opens the display.
struct SdlSound {
    enum class Decoding { Done, Waiting, Running };
    Mix_Chunk* Chunk = nullptr;
    Mix_Music* Music = nullptr;
    const unsigned char* Bytes = nullptr; // the Ogg bytes still to decode
    std::size_t Size = 0;
    Decoding State = Decoding::Done;
    // Running on the decoder in the lowest class, which a busy machine may leave without a turn for seconds: a play
    // does not wait for that one, it decodes a copy of its own, and the later of the two is dropped.
    bool IdleClass = false;
};

bool Opened = false;
bool SubsystemStarted = false;
int ChannelsOpen = 0;
std::vector<SdlSound> Sounds; // handle n is Sounds[n - 1]; its decoding fields are shared under DecodeLock

std::mutex DecodeLock;
std::condition_variable DecodeChanged; // a sound waits to be decoded, one was decoded, or the decoder is to stop
bool DecoderStopping = false;
constexpr std::chrono::seconds DecoderStartDelay{3};
// The decoder thread, stopped by Close, or at the latest as the program's statics go (a program may end without
// closing its audio, and a thread still running then would end it with std::terminate).
struct DecoderThread {
    std::thread Thread;
    std::vector<std::thread> Soon; // one a sound asked for soon, joined with the decoder
    ~DecoderThread();
    bool joinable() const { return Thread.joinable(); }
} Decoder;

Mix_Chunk* DecodeChunk(const unsigned char* bytes, std::size_t size) {
    SDL_RWops* source = SDL_RWFromConstMem(bytes, static_cast<int>(size));
    return source == nullptr ? nullptr : Mix_LoadWAV_RW(source, 1); // takes the reader over and closes it
}

// Decodes sound `index`, the lock held on entry and on return (not while decoding). Of two decodes of one sound the
// first to finish is kept.
void DecodeHeld(std::unique_lock<std::mutex>& held, std::size_t index, bool idleClass = false) {
    SdlSound& waiting = Sounds[index];
    waiting.State = SdlSound::Decoding::Running;
    waiting.IdleClass = idleClass;
    const unsigned char* bytes = waiting.Bytes;
    std::size_t size = waiting.Size;
    held.unlock();
    Mix_Chunk* chunk = DecodeChunk(bytes, size);
    held.lock();
    SdlSound& decoded = Sounds[index]; // indexed again: the list may have grown meanwhile
    if (decoded.State == SdlSound::Decoding::Done) {
        if (chunk != nullptr) Mix_FreeChunk(chunk);
    } else {
        decoded.Chunk = chunk;
        decoded.State = SdlSound::Decoding::Done;
    }
    DecodeChanged.notify_all();
}

void DecodeInTheBackground() {
#ifdef SCHED_IDLE
    sched_param lowest{};
    pthread_setschedparam(pthread_self(), SCHED_IDLE, &lowest); // runs only on time nobody else wants
#endif
    std::unique_lock<std::mutex> held(DecodeLock);
    // Start-up comes first: the decoder begins once the first frames are out, the time a slow machine needs.
    if (DecodeChanged.wait_for(held, DecoderStartDelay, [] { return DecoderStopping; })) return;
    for (;;) {
        auto waiting = std::find_if(Sounds.begin(), Sounds.end(),
                                    [](const SdlSound& sound) { return sound.State == SdlSound::Decoding::Waiting; });
        if (DecoderStopping) return;
        if (waiting == Sounds.end()) {
            DecodeChanged.wait(held);
            continue;
        }
        DecodeHeld(held, static_cast<std::size_t>(waiting - Sounds.begin()), true);
    }
}

void StopDecoder() {
    for (std::thread& soon : Decoder.Soon) soon.join(); // each ends with its one sound
    Decoder.Soon.clear();
    if (!Decoder.joinable()) return;
    {
        std::lock_guard<std::mutex> held(DecodeLock);
        DecoderStopping = true;
    }
    DecodeChanged.notify_all();
    Decoder.Thread.join(); // after the sound it is decoding, if any
    DecoderStopping = false;
}

DecoderThread::~DecoderThread() { StopDecoder(); }

// Ogg bytes, which SDL2_mixer decodes as Vorbis; anything else is decoded at once, so what cannot be decoded is
// still refused when it is created.
bool LooksLikeOgg(const unsigned char* bytes, std::size_t size) {
    constexpr char Capture[] = "OggS";
    constexpr std::size_t CaptureLength = sizeof Capture - 1;
    return size > CaptureLength && std::memcmp(bytes, Capture, CaptureLength) == 0;
}

// The decoded chunk of an effect, decoding it first if nobody has yet; null for a stream or bytes that did not
// decode.
Mix_Chunk* ChunkOf(int handle) {
    std::unique_lock<std::mutex> held(DecodeLock);
    std::size_t index = static_cast<std::size_t>(handle - 1);
    const SdlSound& sound = Sounds[index];
    if (sound.State == SdlSound::Decoding::Waiting || (sound.State == SdlSound::Decoding::Running && sound.IdleClass))
        DecodeHeld(held, index);
    DecodeChanged.wait(held, [&] { return Sounds[index].State == SdlSound::Decoding::Done; });
    return Sounds[index].Chunk;
}

int MixVolume(float volume) { return static_cast<int>(std::lround(std::clamp(volume, 0.0f, 1.0f) * MIX_MAX_VOLUME)); }

bool ValidChannel(int channel) { return Opened && channel >= 0 && channel < ChannelsOpen; }

const SdlSound* SoundOf(int handle) {
    if (!Opened || handle < 1 || handle > static_cast<int>(Sounds.size())) return nullptr;
    return &Sounds[static_cast<std::size_t>(handle - 1)];
}

int Keep(SdlSound sound) {
    if (sound.Chunk == nullptr && sound.Music == nullptr && sound.Bytes == nullptr) return Audio::NoSound;
    std::lock_guard<std::mutex> held(DecodeLock);
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
    StopDecoder();
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
    SdlSound sound;
    if (stream) {
        SDL_RWops* source = SDL_RWFromConstMem(bytes, static_cast<int>(size));
        if (source == nullptr) return NoSound;
        sound.Music = Mix_LoadMUS_RW(source, 1); // takes the reader over, closed when the music is freed
        return Keep(sound);
    }
    if (!LooksLikeOgg(bytes, size)) {
        sound.Chunk = DecodeChunk(bytes, size);
        return Keep(sound);
    }
    sound.Bytes = bytes;
    sound.Size = size;
    sound.State = SdlSound::Decoding::Waiting;
    int handle = Keep(sound);
    if (!Decoder.joinable()) Decoder.Thread = std::thread(DecodeInTheBackground);
    DecodeChanged.notify_all();
    return handle;
}

void DecodeSoon(int sound) {
    if (SoundOf(sound) == nullptr) return;
    std::size_t index = static_cast<std::size_t>(sound - 1);
    {
        std::lock_guard<std::mutex> held(DecodeLock);
        if (Sounds[index].State != SdlSound::Decoding::Waiting) return;
    }
    Decoder.Soon.emplace_back([index] {
        std::unique_lock<std::mutex> held(DecodeLock);
        // The first play may have come first and decoded it already.
        if (Sounds[index].State == SdlSound::Decoding::Waiting) DecodeHeld(held, index);
    });
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
    if (!ValidChannel(channel) || SoundOf(sound) == nullptr) return;
    Mix_Chunk* chunk = ChunkOf(sound);
    if (chunk == nullptr) return;
    Mix_Volume(channel, MixVolume(volume)); // before the start, so not one buffer sounds at the old volume
    Mix_PlayChannel(channel, chunk, loop ? LoopForever : PlayOnce);
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
