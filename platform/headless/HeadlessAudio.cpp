// The headless back end's audio: no sound comes out, but every call is recorded with its frame, and each channel
// knows how long its sound lasts on the virtual clock, so a sound played once ends by itself as it would when heard.
#include "HeadlessAudio.h"
#include "../Audio.h"
#include "../Resources.h"
#include "Headless.h"
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {
constexpr std::size_t OggPageHeaderSize = 27;
constexpr std::size_t OggSegmentCountOffset = 26;
constexpr std::size_t OggGranuleOffset = 6;
constexpr std::size_t GranuleBytes = 8;
constexpr std::size_t VorbisRateOffset = 12; // after the packet type, "vorbis", version and channel count
constexpr std::size_t VorbisIdentificationSize = 16;
constexpr std::int64_t MsPerSecond = 1000;

struct Channel {
    int Sound = Audio::NoSound;
    bool Loop = false;
    std::uint32_t Start = 0;
    bool Paused = false;
    std::uint32_t PausedAt = 0;
};

struct AudioMachine {
    bool Available = true;
    bool Open = false;
    std::vector<Channel> Channels;
    Channel Music;
    std::vector<HeadlessAudio::AudioEvent> Events;
    std::vector<HeadlessAudio::CreatedSound> Sounds; // handle n is Sounds[n - 1]
};

AudioMachine A;

std::uint64_t ReadLittleEndian(const unsigned char* bytes, std::size_t count) {
    std::uint64_t value = 0;
    for (std::size_t i = count; i-- > 0;) value = value << 8 | bytes[i];
    return value;
}

// The length of an Ogg Vorbis stream in milliseconds, or -1 when the bytes are not one.
int OggVorbisLengthMs(const unsigned char* bytes, std::size_t size) {
    if (size < OggPageHeaderSize || std::memcmp(bytes, "OggS", 4) != 0) return -1;
    std::size_t packet = OggPageHeaderSize + bytes[OggSegmentCountOffset];
    if (packet + VorbisIdentificationSize > size || std::memcmp(bytes + packet, "\x01vorbis", 7) != 0) return -1;
    std::uint64_t rate = ReadLittleEndian(bytes + packet + VorbisRateOffset, 4);
    if (rate == 0) return -1;
    for (std::size_t at = size - OggPageHeaderSize + 1; at-- > 0;) {
        if (std::memcmp(bytes + at, "OggS", 4) != 0) continue;
        std::uint64_t samples = ReadLittleEndian(bytes + at + OggGranuleOffset, GranuleBytes);
        return static_cast<int>(static_cast<std::int64_t>(samples) * MsPerSecond / static_cast<std::int64_t>(rate));
    }
    return -1;
}

// The stored name of a built-in resource whose bytes these are, or an empty name.
std::string ResourceNameOf(const unsigned char* bytes) {
    for (int i = 0; i < ResourceCount(); ++i)
        if (FindResource(ResourceName(i)).Data == bytes) return ResourceName(i);
    return "";
}

const HeadlessAudio::CreatedSound* SoundOf(int handle) {
    if (handle < 1 || handle > static_cast<int>(A.Sounds.size())) return nullptr;
    return &A.Sounds[static_cast<std::size_t>(handle - 1)];
}

int AddSound(const std::string& name, const unsigned char* bytes, std::size_t size, bool stream) {
    if (!A.Open || bytes == nullptr) return Audio::NoSound;
    int length = OggVorbisLengthMs(bytes, size);
    if (length < 0) return Audio::NoSound;
    A.Sounds.push_back({name, stream, length});
    return static_cast<int>(A.Sounds.size());
}

Channel* ChannelAt(int channel) {
    if (!A.Open || channel < 0 || channel >= static_cast<int>(A.Channels.size())) return nullptr;
    return &A.Channels[static_cast<std::size_t>(channel)];
}

bool Sounding(const Channel& c) {
    const HeadlessAudio::CreatedSound* sound = SoundOf(c.Sound);
    if (sound == nullptr) return false;
    std::uint32_t now = c.Paused ? c.PausedAt : Headless::Clock();
    return c.Loop || static_cast<std::int64_t>(now - c.Start) < sound->LengthMs;
}

void Record(HeadlessAudio::AudioEvent::Kind kind, int channel, const Channel& c, float volume = 0) {
    HeadlessAudio::AudioEvent event;
    event.Type = kind;
    event.Frame = Headless::FrameCount();
    event.Channel = channel;
    if (const HeadlessAudio::CreatedSound* sound = SoundOf(c.Sound)) event.Sound = sound->Name;
    event.Loop = c.Loop;
    event.Volume = volume;
    A.Events.push_back(event);
}

void Start(Channel& c, int channel, int sound, bool loop, float volume) {
    c = Channel{};
    c.Sound = sound;
    c.Loop = loop;
    c.Start = Headless::Clock();
    Record(HeadlessAudio::AudioEvent::Play, channel, c, volume);
}

void Halt(Channel& c, int channel) {
    Record(HeadlessAudio::AudioEvent::Stop, channel, c);
    c = Channel{};
}

void SetPaused(Channel& c, int channel, bool paused) {
    Record(paused ? HeadlessAudio::AudioEvent::Pause : HeadlessAudio::AudioEvent::Resume, channel, c);
    if (paused && !c.Paused) {
        c.Paused = true;
        c.PausedAt = Headless::Clock();
    } else if (!paused && c.Paused) {
        c.Paused = false;
        c.Start += Headless::Clock() - c.PausedAt;
    }
}
} // namespace

namespace HeadlessAudio {
void Reset() { A = AudioMachine{}; }
void SetDeviceAvailable(bool available) { A.Available = available; }
bool DeviceOpen() { return A.Open; }
int ChannelCount() { return static_cast<int>(A.Channels.size()); }
const std::vector<AudioEvent>& Events() { return A.Events; }
int PlayCount(const std::string& sound) {
    int count = 0;
    for (const AudioEvent& event : A.Events) count += event.Type == AudioEvent::Play && event.Sound == sound;
    return count;
}
const std::vector<CreatedSound>& Sounds() { return A.Sounds; }
} // namespace HeadlessAudio

namespace Audio {

bool Open(int channels) {
    if (A.Open) return true;
    if (!A.Available || channels < 1) return false;
    A.Open = true;
    A.Channels.assign(static_cast<std::size_t>(channels), Channel{});
    A.Music = Channel{};
    return true;
}

bool IsOpen() { return A.Open; }

void Close() {
    A.Open = false;
    A.Channels.clear();
    A.Music = Channel{};
    A.Sounds.clear();
}

int CreateSound(const unsigned char* bytes, std::size_t size, bool stream) {
    return AddSound(ResourceNameOf(bytes), bytes, size, stream);
}

// Nothing here is decoded: there is nothing to do ahead.
void DecodeSoon(int) {}

int CreateSoundFromFile(const char* path, bool stream) {
    if (!A.Open) return NoSound;
    std::ifstream file(path, std::ios::binary);
    if (!file) return NoSound;
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return AddSound(path, bytes.data(), bytes.size(), stream);
}

void PlayOnChannel(int channel, int sound, bool loop, float volume) {
    const HeadlessAudio::CreatedSound* created = SoundOf(sound);
    Channel* c = ChannelAt(channel);
    if (c == nullptr || created == nullptr || created->Stream) return;
    Start(*c, channel, sound, loop, volume);
}

bool ChannelPlaying(int channel) {
    Channel* c = ChannelAt(channel);
    return c != nullptr && Sounding(*c);
}

void StopChannel(int channel) {
    if (Channel* c = ChannelAt(channel)) Halt(*c, channel);
}

void PauseChannel(int channel, bool paused) {
    if (Channel* c = ChannelAt(channel)) SetPaused(*c, channel, paused);
}

void SetChannelVolume(int channel, float volume) {
    if (Channel* c = ChannelAt(channel)) Record(HeadlessAudio::AudioEvent::SetVolume, channel, *c, volume);
}

void PlayMusic(int sound, bool loop, float volume) {
    const HeadlessAudio::CreatedSound* created = SoundOf(sound);
    if (!A.Open || created == nullptr || !created->Stream) return;
    Start(A.Music, HeadlessAudio::MusicStream, sound, loop, volume);
}

bool MusicPlaying() { return A.Open && Sounding(A.Music); }

void StopMusic() {
    if (A.Open) Halt(A.Music, HeadlessAudio::MusicStream);
}

void PauseMusic(bool paused) {
    if (A.Open) SetPaused(A.Music, HeadlessAudio::MusicStream, paused);
}

void SetMusicVolume(float volume) {
    if (A.Open) Record(HeadlessAudio::AudioEvent::SetVolume, HeadlessAudio::MusicStream, A.Music, volume);
}

} // namespace Audio
