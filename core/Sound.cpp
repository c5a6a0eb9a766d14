// The sound manager: a list of loaded sounds walked by name. Each sound owns one channel, numbered in load order, so
// a sound played again restarts instead of layering; the two music loops share the audio system's one music stream.
#include "Sound.h"
#include "platform/Audio.h"
#include "platform/Resources.h"
#include "platform/Text.h"
#include <cctype>
#include <vector>

namespace {
// A play or a stop a frame's step asked for, made when the loop hands the step's events on.
struct SoundEvent {
    bool Play = true;
    std::string Name;
    int Loop = 0;
};
bool Gathering = false;
std::vector<SoundEvent> Gathered;

constexpr float PercentToFactor = 0.01f;
constexpr int NoChannel = 0;
constexpr int NoMusic = -1;
const char* const EverySound = "all";
const char* const MusicFolder = "music";

std::vector<Sound> SoundList; // in load order
float GlobalFactor = 1.0f;
int LoadCounter = 0;
int CurrentMusic = NoMusic; // the index of the loop that holds the music stream

// "res\\BlipSND.ogg" gives "blipsnd".
std::string SoundNameOf(const std::string& resource) {
    std::size_t folder = resource.find_last_of("\\/");
    std::string name = folder == std::string::npos ? resource : resource.substr(folder + 1);
    std::size_t extension = name.find_last_of('.');
    if (extension != std::string::npos) name.erase(extension);
    return LowerCase(name);
}

// The music loops are stored in the music folder; a loop loaded to loop is streamed, everything else is decoded at
// once, as a mixer channel only plays what is already decoded.
bool StreamedWhenLooping(const std::string& resource) {
    std::size_t folder = resource.find_first_of("\\/");
    return folder != std::string::npos && LowerCase(resource.substr(0, folder)) == MusicFolder;
}

std::string FilePathOf(const std::string& name) {
    std::string path = name;
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

// A loop whose stream the other loop took has fallen silent, whatever its marks say.
bool StillSounding(int index) { return !SoundList[static_cast<std::size_t>(index)].Streamed || CurrentMusic == index; }

void ApplyVolume(int index) {
    const Sound& s = SoundList[static_cast<std::size_t>(index)];
    float volume = GlobalFactor * s.cvolume;
    if (!s.Streamed)
        Audio::SetChannelVolume(s.channel, volume);
    else if (CurrentMusic == index)
        Audio::SetMusicVolume(volume);
}

// A sound's name (lower case) against a name in any case, as LowerCase(name) == fx but with no string made: asked
// every frame of play. A letter the same as the name's needs no lowering (lowering a lower-case letter keeps it).
bool NamedAs(const std::string& fx, const std::string& name) {
    if (fx.size() != name.size()) return false;
    for (std::size_t i = 0; i < fx.size(); ++i)
        if (fx[i] != name[i] && fx[i] != static_cast<char>(std::tolower(static_cast<unsigned char>(name[i]))))
            return false;
    return true;
}

bool Addressed(const Sound& s, const std::string& name) { return name == EverySound || s.FX == name; }
} // namespace

void Sound::StartAudio(int channels) { Audio::Open(channels); }

// The sounds go with the audio system.
void Sound::AppExit() {
    Audio::Close();
    SoundList.clear();
    CurrentMusic = NoMusic;
}

void Sound::ChannelVolume(const std::string& name, float percent) {
    std::string fx = LowerCase(name);
    for (std::size_t i = 0; i < SoundList.size(); ++i) {
        Sound& s = SoundList[i];
        if (s.FX != fx) continue;
        s.cvolume = PercentToFactor * percent;
        if (s.channel != NoChannel) ApplyVolume(static_cast<int>(i));
    }
}

void Sound::GlobalVolume(float percent) {
    GlobalFactor = PercentToFactor * percent;
    for (std::size_t i = 0; i < SoundList.size(); ++i)
        if (SoundList[i].channel != NoChannel) ApplyVolume(static_cast<int>(i));
}

// A name no listed sound has answers 0, as does every name with no audio device (nothing is listed then).
int Sound::IsPlaying(const std::string& name) {
    for (std::size_t i = 0; i < SoundList.size(); ++i) {
        const Sound& s = SoundList[i];
        if (!NamedAs(s.FX, name)) continue;
        if (s.channel == NoChannel) return 0;
        if (s.Streamed) return CurrentMusic == static_cast<int>(i) && Audio::MusicPlaying() ? 1 : 0;
        return Audio::ChannelPlaying(s.channel) ? 1 : 0;
    }
    return 0;
}

int Sound::Load(const std::string& name, int loop) {
    LoadCounter += 1;
    bool stream = loop == 1 && StreamedWhenLooping(name);
    ResourceBytes bytes = FindResource(name.c_str());
    int created = bytes ? Audio::CreateSound(bytes.Data, bytes.Size, stream)
                        : Audio::CreateSoundFromFile(FilePathOf(name).c_str(), stream);
    if (created == Audio::NoSound) return 0;
    Sound s;
    s.soundFX = created;
    s.FX = SoundNameOf(name);
    s.ChannelNr = LoadCounter;
    s.Streamed = stream;
    SoundList.push_back(s);
    return 1;
}

int Sound::Play(const std::string& name, int loop) {
    if (Gathering) {
        Gathered.push_back({true, name, loop});
        return 0;
    }
    std::string fx = LowerCase(name);
    for (std::size_t i = 0; i < SoundList.size(); ++i) {
        Sound& s = SoundList[i];
        if (s.FX != fx || s.soundFX == Audio::NoSound) continue;
        int index = static_cast<int>(i);
        if (s.isplay == 1 && loop == 1 && StillSounding(index)) return 0; // a running loop is not restarted
        s.Loop = loop;
        float volume = GlobalFactor * s.cvolume;
        if (s.Streamed) {
            Audio::PlayMusic(s.soundFX, loop == 1, volume);
            CurrentMusic = index;
        } else {
            Audio::PlayOnChannel(s.ChannelNr, s.soundFX, loop == 1, volume);
        }
        s.channel = s.ChannelNr;
        s.isplay = 1;
        return 0;
    }
    return 0;
}

void Sound::Pause(const std::string& name, int resume) {
    std::string fx = LowerCase(name);
    for (std::size_t i = 0; i < SoundList.size(); ++i) {
        Sound& s = SoundList[i];
        if (!Addressed(s, fx) || s.channel == NoChannel) continue;
        bool paused = resume == 0;
        if (!s.Streamed)
            Audio::PauseChannel(s.channel, paused);
        else if (CurrentMusic == static_cast<int>(i))
            Audio::PauseMusic(paused);
        s.isplay = paused ? 0 : 1;
        if (!paused) ApplyVolume(static_cast<int>(i));
    }
}

void Sound::DecodeSoon(const std::string& name) {
    for (const Sound& s : SoundList)
        if (NamedAs(s.FX, name) && !s.Streamed) Audio::DecodeSoon(s.soundFX);
}

// Ends at the first looping sound that is not marked playing, leaving the sounds after it as they are.
void Sound::Stop(const std::string& name) {
    if (Gathering) {
        Gathered.push_back({false, name, 0});
        return;
    }
    std::string fx = LowerCase(name);
    for (std::size_t i = 0; i < SoundList.size(); ++i) {
        Sound& s = SoundList[i];
        if (!Addressed(s, fx)) continue;
        if (s.Loop == 1 && s.isplay == 0) return;
        if (s.channel == NoChannel) continue;
        s.count = 0;
        if (!s.Streamed) {
            Audio::StopChannel(s.channel);
        } else if (CurrentMusic == static_cast<int>(i)) {
            Audio::StopMusic();
            CurrentMusic = NoMusic;
        }
        s.channel = NoChannel;
        s.isplay = 0;
    }
}

void Sound::GatherEvents() { Gathering = true; }

void Sound::HandOnEvents(bool heard) {
    Gathering = false;
    std::vector<SoundEvent> events;
    events.swap(Gathered);
    if (!heard) return;
    for (const SoundEvent& event : events) {
        if (event.Play)
            Play(event.Name, event.Loop);
        else
            Stop(event.Name);
    }
}

void Sound::ResetSounds() {
    Gathering = false;
    Gathered.clear();
    Audio::Close();
    SoundList.clear();
    GlobalFactor = 1.0f;
    LoadCounter = 0;
    CurrentMusic = NoMusic;
}
