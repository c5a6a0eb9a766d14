// The SDL2_mixer back end on SDL's dummy driver: every built-in sound loads, channels and the music stream start,
// pause and stop, the loops carry their loop points into playback, and with no driver the game stays silent.
#include "BuiltInSounds.h"
#include "core/Sound.h"
#include "platform/Audio.h"
#include "platform/Resources.h"
#include <SDL.h>
#include <SDL_mixer.h>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {
constexpr int AudioChannels = 100;
constexpr int EffectCount = BuiltInEffectCount;
constexpr int BlipChannel = 1;
constexpr int SwooshChannel = 2;
constexpr double LoopTolerance = 0.001; // seconds

int CreateBuiltIn(const char* name, bool stream) {
    ResourceBytes bytes = FindResource(name);
    return bytes ? Audio::CreateSound(bytes.Data, bytes.Size, stream) : Audio::NoSound;
}

class SdlAudioTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1); // a device on every machine, sound card or not
        ASSERT_TRUE(Audio::Open(AudioChannels)) << SDL_GetError();
    }
    void TearDown() override {
        Sound::ResetSounds();
        Audio::Close();
    }
};

// Runs with SDL_AUDIODRIVER naming a driver that does not exist, as on a machine with no sound card.
class NoAudioDeviceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* driver = std::getenv("SDL_AUDIODRIVER");
        Saved = driver != nullptr ? driver : "";
        HadDriver = driver != nullptr;
        setenv("SDL_AUDIODRIVER", "kestrovar-no-such-driver", 1);
    }
    void TearDown() override {
        Sound::ResetSounds();
        if (HadDriver)
            setenv("SDL_AUDIODRIVER", Saved.c_str(), 1);
        else
            unsetenv("SDL_AUDIODRIVER");
    }
    std::string Saved;
    bool HadDriver = false;
};
} // namespace

// An effect is decoded by its first play (or before, by the decoder thread): each plays.
TEST_F(SdlAudioTest, EveryBuiltInSoundLoadsAndGarbageDoesNot) {
    for (int i = 0; i < BuiltInSoundCount; ++i) {
        int created = CreateBuiltIn(BuiltInSounds[i], i >= EffectCount);
        EXPECT_NE(created, Audio::NoSound) << BuiltInSounds[i];
        if (i >= EffectCount) continue;
        Audio::PlayOnChannel(i + 1, created, false, 1.0f);
        EXPECT_TRUE(Audio::ChannelPlaying(i + 1)) << BuiltInSounds[i];
    }
    const unsigned char garbage[] = "not an ogg stream at all";
    EXPECT_EQ(Audio::CreateSound(garbage, sizeof garbage, false), Audio::NoSound);
    EXPECT_EQ(Audio::CreateSoundFromFile("no-such-sound-file.ogg", false), Audio::NoSound);
    // Bytes that only begin like Ogg are taken, to be decoded later; when that fails their play is silence.
    const unsigned char notVorbis[] = "OggS and nothing a decoder can use";
    constexpr int SpareChannel = EffectCount + 1;
    Audio::PlayOnChannel(SpareChannel, Audio::CreateSound(notVorbis, sizeof notVorbis, false), false, 1.0f);
    EXPECT_FALSE(Audio::ChannelPlaying(SpareChannel));
}

// An effect asked for soon plays the samples its play would have decoded, whichever of the two decoded it; a handle
// that is no sound is passed over.
TEST_F(SdlAudioTest, AnEffectAskedForSoonPlaysTheSameSamples) {
    int woorp = CreateBuiltIn("res\\WoorpSND.ogg", false);
    Audio::DecodeSoon(Audio::NoSound);
    Audio::DecodeSoon(woorp + 1);
    Audio::DecodeSoon(woorp);
    Audio::PlayOnChannel(BlipChannel, woorp, false, 1.0f);
    ASSERT_TRUE(Audio::ChannelPlaying(BlipChannel));
    const Mix_Chunk* played = Mix_GetChunk(BlipChannel);
    ResourceBytes bytes = FindResource("res\\WoorpSND.ogg");
    Mix_Chunk* decoded = Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes.Data, static_cast<int>(bytes.Size)), 1);
    ASSERT_NE(decoded, nullptr);
    ASSERT_EQ(played->alen, decoded->alen);
    EXPECT_EQ(std::memcmp(played->abuf, decoded->abuf, decoded->alen), 0);
    Mix_FreeChunk(decoded);
}

TEST_F(SdlAudioTest, ChannelsAndTheMusicStreamStartPauseAndStop) {
    int blip = CreateBuiltIn("res\\BlipSND.ogg", false);
    int swoosh = CreateBuiltIn("res\\SwooshSND.ogg", false);
    int menu = CreateBuiltIn("music\\menu-loop.ogg", true);
    ASSERT_NE(blip, Audio::NoSound);
    ASSERT_NE(menu, Audio::NoSound);
    Audio::PlayOnChannel(BlipChannel, blip, false, 1.0f);
    EXPECT_TRUE(Audio::ChannelPlaying(BlipChannel));
    EXPECT_EQ(Mix_Volume(BlipChannel, -1), MIX_MAX_VOLUME);
    Audio::PlayOnChannel(BlipChannel, blip, false, 0.5f); // replaces itself
    EXPECT_EQ(Mix_Volume(BlipChannel, -1), MIX_MAX_VOLUME / 2);
    Audio::PlayOnChannel(SwooshChannel, swoosh, true, 1.0f);
    Audio::PauseChannel(SwooshChannel, true);
    EXPECT_TRUE(Audio::ChannelPlaying(SwooshChannel));
    EXPECT_EQ(Mix_Paused(SwooshChannel), 1);
    Audio::PauseChannel(SwooshChannel, false);
    EXPECT_EQ(Mix_Paused(SwooshChannel), 0);
    Audio::StopChannel(BlipChannel);
    EXPECT_FALSE(Audio::ChannelPlaying(BlipChannel));
    EXPECT_TRUE(Audio::ChannelPlaying(SwooshChannel));
    // A stream is music only: a channel refuses it, and a channel number past the last is ignored.
    Audio::PlayOnChannel(BlipChannel, menu, false, 1.0f);
    EXPECT_FALSE(Audio::ChannelPlaying(BlipChannel));
    Audio::PlayOnChannel(AudioChannels, blip, false, 1.0f);
    EXPECT_FALSE(Audio::ChannelPlaying(AudioChannels));

    Audio::PlayMusic(menu, true, 0.65f);
    EXPECT_TRUE(Audio::MusicPlaying());
    EXPECT_EQ(Mix_VolumeMusic(-1), 83); // 0.65 of 128, rounded
    Audio::PauseMusic(true);
    EXPECT_EQ(Mix_PausedMusic(), 1);
    EXPECT_TRUE(Audio::MusicPlaying());
    Audio::PauseMusic(false);
    Audio::SetMusicVolume(0.25f);
    EXPECT_EQ(Mix_VolumeMusic(-1), MIX_MAX_VOLUME / 4);
    Audio::StopMusic();
    EXPECT_FALSE(Audio::MusicPlaying());
}

TEST_F(SdlAudioTest, TheMusicLoopsCarryTheirLoopPointsIntoPlayback) {
    for (const char* name : {"music\\menu-loop.ogg", "music\\ingame-loop.ogg"}) {
        ResourceBytes bytes = FindResource(name);
        ASSERT_TRUE(bytes) << name;
        Mix_Music* music = Mix_LoadMUS_RW(SDL_RWFromConstMem(bytes.Data, static_cast<int>(bytes.Size)), 1);
        ASSERT_NE(music, nullptr) << name << ": " << Mix_GetError();
        double duration = Mix_MusicDuration(music);
        EXPECT_GE(duration, 60.0) << name;
        EXPECT_NEAR(Mix_GetMusicLoopStartTime(music), 0.0, LoopTolerance) << name;
        EXPECT_NEAR(Mix_GetMusicLoopLengthTime(music), duration, LoopTolerance) << name;
        Mix_FreeMusic(music);
    }
}

TEST_F(SdlAudioTest, TheSoundManagerPlaysByNameOnTheRealBackEnd) {
    Sound::StartAudio(AudioChannels);
    for (const char* resource : BuiltInSounds) ASSERT_EQ(Sound::Load(resource, 1), 1) << resource;
    Sound::ChannelVolume("menu-loop", 65);
    Sound::Play("BlipSND", 0);
    EXPECT_EQ(Sound::IsPlaying("BlipSND"), 1);
    EXPECT_TRUE(Audio::ChannelPlaying(BlipChannel));
    Sound::Stop("BlipSND");
    EXPECT_EQ(Sound::IsPlaying("BlipSND"), 0);
    Sound::Play("menu-loop", 1);
    EXPECT_EQ(Sound::IsPlaying("menu-loop"), 1);
    EXPECT_EQ(Mix_VolumeMusic(-1), 83);
    Sound::Play("ingame-loop", 1);
    EXPECT_EQ(Sound::IsPlaying("menu-loop"), 0);
    EXPECT_EQ(Sound::IsPlaying("ingame-loop"), 1);
    EXPECT_EQ(Mix_VolumeMusic(-1), MIX_MAX_VOLUME);
    Sound::Stop("all");
    EXPECT_FALSE(Audio::MusicPlaying());
}

TEST_F(NoAudioDeviceTest, WithoutADriverTheGameRunsOnSilently) {
    EXPECT_FALSE(Audio::Open(AudioChannels));
    EXPECT_FALSE(Audio::IsOpen());
    Sound::StartAudio(AudioChannels);
    for (const char* resource : BuiltInSounds) EXPECT_EQ(Sound::Load(resource, 1), 0) << resource;
    Sound::Play("BlipSND", 0);
    Sound::Play("menu-loop", 1);
    EXPECT_EQ(Sound::IsPlaying("menu-loop"), 0);
    Sound::Stop("all");
    Sound::GlobalVolume(50);
    Sound::AppExit();
    EXPECT_FALSE(Audio::MusicPlaying());
    EXPECT_FALSE(Audio::ChannelPlaying(BlipChannel));
}
