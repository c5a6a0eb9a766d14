// The sound manager on the recording back end: names and channels, restarts, running loops, volumes, the early end
// of Stop("all"), silence without a device, and the settings that keep effects and music quiet through a game.
#include "core/Sound.h"
#include "GameFixture.h"
#include "core/Settings.h"
#include "game/GameLoop.h"
#include "game/TheWorld.h"
#include "platform/Display.h"
#include "platform/Resources.h"
#include "platform/headless/HeadlessAudio.h"
#include <cstdio>
#include <fstream>
#include <memory>

namespace {
constexpr int AudioChannels = 100;
constexpr int BlipChannel = 1;
constexpr int SwooshChannel = 2;
constexpr int BigExplosionChannel = 3;
constexpr int ThrustChannel = 12;
constexpr int BounceChannel = 13;
constexpr int KeyEscape = 27;
constexpr int KeyY = 89;
constexpr int EscapeFrame = LevelPageShown + 10;
constexpr int AnswerFrame = LevelPageShown + 30;
const char* const Blip = "res\\BlipSND.ogg";
const char* const MenuLoop = "music\\menu-loop.ogg";
const char* const IngameLoop = "music\\ingame-loop.ogg";

using Event = HeadlessAudio::AudioEvent;

std::vector<Event> EventsOf(Event::Kind kind, const std::string& sound = "") {
    std::vector<Event> found;
    for (const Event& event : HeadlessAudio::Events())
        if (event.Type == kind && (sound.empty() || event.Sound == sound)) found.push_back(event);
    return found;
}

std::vector<Event> EventsOn(int channel) {
    std::vector<Event> found;
    for (const Event& event : HeadlessAudio::Events())
        if (event.Channel == channel) found.push_back(event);
    return found;
}

void PassFrames(int frames) {
    for (int i = 0; i < frames; ++i) Flip(-1);
}

// Loads the sounds as start-up does: the fifteen resources in order, then the music volumes.
void LoadAsStartUp() {
    Sound::StartAudio(AudioChannels);
    for (const char* resource : SoundResources) ASSERT_EQ(Sound::Load(resource, 1), 1) << resource;
    Sound::ChannelVolume("menu-loop", 65);
    Sound::ChannelVolume("ingame-loop", 50);
}

class SoundTest : public GameFixture {
  protected:
    void SetUp() override {
        GameFixture::SetUp();
        Graphics(1024, 768, 0, 60);
    }
};

using SoundDeviceTest = SoundTest;
using SoundInGameTest = GameFixture;
} // namespace

TEST_F(SoundTest, NamesAreLowerCaseResourceNamesEachOnItsOwnChannelInLoadOrder) {
    LoadAsStartUp();
    Sound::Play("BlipSND", 0);
    Sound::Play("blipsnd", 0);
    Sound::Play("BLIPSND", 0);
    Sound::Play("ThrustSND", 0);
    Sound::Play("BounceSND", 0);
    Sound::Play("res\\BlipSND.ogg", 0); // callers name sounds without folder and extension
    Sound::Play("Menu-Loop", 1);
    std::vector<Event> plays = EventsOf(Event::Play);
    ASSERT_EQ(plays.size(), 6u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(plays[i].Channel, BlipChannel);
        EXPECT_EQ(plays[i].Sound, Blip);
        EXPECT_FALSE(plays[i].Loop);
    }
    EXPECT_EQ(plays[3].Channel, ThrustChannel);
    EXPECT_EQ(plays[3].Sound, "res\\ThrustSND.ogg");
    EXPECT_EQ(plays[4].Channel, BounceChannel);
    EXPECT_EQ(plays[5].Channel, HeadlessAudio::MusicStream);
    EXPECT_EQ(plays[5].Sound, MenuLoop);
    EXPECT_TRUE(plays[5].Loop);

    // The effects are decoded at load; only the two music loops are streamed.
    const std::vector<HeadlessAudio::CreatedSound>& created = HeadlessAudio::Sounds();
    ASSERT_EQ(created.size(), 15u);
    for (std::size_t i = 0; i < created.size(); ++i) {
        EXPECT_EQ(created[i].Name, SoundResources[i]);
        EXPECT_EQ(created[i].Stream, i >= 13) << created[i].Name;
        EXPECT_GT(created[i].LengthMs, 0) << created[i].Name;
    }
    EXPECT_GE(created[13].LengthMs, 60000);
    EXPECT_GE(created[14].LengthMs, 60000);
}

TEST_F(SoundTest, EveryLoadCountsTowardTheChannelsButOnlyCreatedSoundsAreListed) {
    Sound::StartAudio(AudioChannels);
    EXPECT_EQ(Sound::Load("res\\NoSuchSound.ogg", 1), 0);
    EXPECT_EQ(Sound::Load("res\\SectionHit.ogg", 1), 1);
    // A sound from a file beside the program: its name is the file name, lower case, without the extension.
    ResourceBytes blip = FindResource(Blip);
    ASSERT_TRUE(blip);
    const char* const copyName = "SoundTestCopy.ogg";
    const char* const garbageName = "SoundTestGarbage.ogg";
    std::ofstream(copyName, std::ios::binary)
        .write(reinterpret_cast<const char*>(blip.Data), static_cast<long>(blip.Size));
    std::ofstream(garbageName, std::ios::binary) << "not an ogg stream";
    EXPECT_EQ(Sound::Load(copyName, 0), 1);
    EXPECT_EQ(Sound::Load(garbageName, 0), 0);
    EXPECT_EQ(Sound::Load("res\\BounceSND.ogg", 1), 1);
    std::remove(copyName);
    std::remove(garbageName);

    Sound::Play("SectionHit", 0);
    Sound::Play("soundtestcopy", 0);
    Sound::Play("BounceSND", 0);
    Sound::Play("NoSuchSound", 0);
    Sound::Play("SoundTestGarbage", 0);
    std::vector<Event> plays = EventsOf(Event::Play);
    ASSERT_EQ(plays.size(), 3u);
    EXPECT_EQ(plays[0].Channel, 2); // the failed load still took channel 1
    EXPECT_EQ(plays[1].Channel, 3);
    EXPECT_EQ(plays[1].Sound, copyName);
    EXPECT_EQ(plays[2].Channel, 5); // and so did the garbage file
}

TEST_F(SoundTest, AnEffectPlayedAgainRestartsOnItsChannelInsteadOfLayering) {
    LoadAsStartUp();
    const int blipMs = HeadlessAudio::Sounds()[0].LengthMs;
    ASSERT_GT(blipMs, 60);
    Sound::Play("BlipSND", 0);
    PassFrames(3);
    Sound::Play("BlipSND", 0);
    std::vector<Event> plays = EventsOf(Event::Play);
    ASSERT_EQ(plays.size(), 2u);
    EXPECT_EQ(plays[0].Frame, 0);
    EXPECT_EQ(plays[1].Frame, 3);
    EXPECT_EQ(plays[0].Channel, BlipChannel);
    EXPECT_EQ(plays[1].Channel, BlipChannel);
    // Started again: it sounds its whole length from the second play, then ends by itself.
    Headless::AdvanceClock(blipMs - 10);
    EXPECT_EQ(Sound::IsPlaying("BlipSND"), 1);
    Headless::AdvanceClock(20);
    EXPECT_EQ(Sound::IsPlaying("BlipSND"), 0);
    // A sound still marked playing is not started again when asked to loop.
    Sound::Play("BlipSND", 1);
    EXPECT_EQ(EventsOf(Event::Play).size(), 2u);
}

TEST_F(SoundTest, MenuLoopPlayedWhilePlayingDoesNothingAndAfterStopStartsOver) {
    LoadAsStartUp();
    Sound::Play("menu-loop", 1);
    PassFrames(30);
    Sound::Play("menu-loop", 1);
    EXPECT_EQ(EventsOf(Event::Play, MenuLoop).size(), 1u);
    EXPECT_EQ(Sound::IsPlaying("menu-loop"), 1);
    Sound::Stop("menu-loop");
    EXPECT_EQ(Sound::IsPlaying("menu-loop"), 0);
    ASSERT_EQ(EventsOf(Event::Stop).size(), 1u);
    EXPECT_EQ(EventsOf(Event::Stop)[0].Channel, HeadlessAudio::MusicStream);
    PassFrames(2);
    Sound::Play("menu-loop", 1);
    std::vector<Event> plays = EventsOf(Event::Play, MenuLoop);
    ASSERT_EQ(plays.size(), 2u);
    EXPECT_EQ(plays[1].Frame, 32);
    EXPECT_TRUE(EventsOf(Event::Resume).empty()); // a fresh start, not a resume
    EXPECT_EQ(Sound::IsPlaying("menu-loop"), 1);
}

TEST_F(SoundTest, VolumesAreFactorsRememberedBeforeTheFirstPlayAndAppliedAtIt) {
    LoadAsStartUp();
    EXPECT_TRUE(EventsOf(Event::SetVolume).empty()); // nothing has a channel yet
    Sound::Play("menu-loop", 1);
    ASSERT_EQ(EventsOf(Event::Play).size(), 1u);
    EXPECT_FLOAT_EQ(EventsOf(Event::Play)[0].Volume, 0.65f);
    Sound::GlobalVolume(50);
    ASSERT_EQ(EventsOf(Event::SetVolume).size(), 1u);
    EXPECT_FLOAT_EQ(EventsOf(Event::SetVolume)[0].Volume, 0.325f);
    EXPECT_EQ(EventsOf(Event::SetVolume)[0].Channel, HeadlessAudio::MusicStream);
    Sound::Play("BlipSND", 0);
    EXPECT_FLOAT_EQ(EventsOf(Event::Play, Blip)[0].Volume, 0.5f);
    Sound::ChannelVolume("BlipSND", 20);
    ASSERT_EQ(EventsOf(Event::SetVolume).size(), 2u);
    EXPECT_EQ(EventsOf(Event::SetVolume)[1].Channel, BlipChannel);
    EXPECT_FLOAT_EQ(EventsOf(Event::SetVolume)[1].Volume, 0.1f);
    Sound::Stop("menu-loop");
    Sound::Play("ingame-loop", 1);
    EXPECT_FLOAT_EQ(EventsOf(Event::Play, IngameLoop)[0].Volume, 0.25f);
}

TEST_F(SoundTest, StopAllEndsAtTheFirstLoopingSoundNotMarkedPlaying) {
    LoadAsStartUp();
    Sound::Play("BlipSND", 0);
    Sound::Play("SwooshSND", 1);
    Sound::Pause("SwooshSND", 0); // looping, no longer marked playing
    Sound::Play("EnemyDieSND1", 0);
    Sound::Stop("all");
    std::vector<Event> stops = EventsOf(Event::Stop);
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0].Channel, BlipChannel);
    EXPECT_EQ(Sound::IsPlaying("BlipSND"), 0);
    EXPECT_EQ(Sound::IsPlaying("SwooshSND"), 1); // paused counts as playing
    EXPECT_EQ(Sound::IsPlaying("EnemyDieSND1"), 1);

    // Resumed, the loop is marked playing again and the walk goes on past it to every sound.
    Sound::Pause("SwooshSND", 1);
    Sound::Play("menu-loop", 1);
    Sound::Stop("ALL");
    stops = EventsOf(Event::Stop);
    ASSERT_EQ(stops.size(), 4u);
    EXPECT_EQ(stops[1].Channel, SwooshChannel);
    EXPECT_EQ(stops[2].Channel, BigExplosionChannel);
    EXPECT_EQ(stops[3].Channel, HeadlessAudio::MusicStream);
    for (const char* name : {"SwooshSND", "EnemyDieSND1", "menu-loop"}) EXPECT_EQ(Sound::IsPlaying(name), 0) << name;
}

TEST_F(SoundTest, PauseClearsTheMarkAndResumeAppliesTheVolumeAgain) {
    LoadAsStartUp();
    Sound::Play("menu-loop", 1);
    Sound::Pause("all", 0);
    ASSERT_EQ(EventsOf(Event::Pause).size(), 1u);
    EXPECT_EQ(EventsOf(Event::Pause)[0].Channel, HeadlessAudio::MusicStream);
    Sound::Pause("menu-loop", 1);
    ASSERT_EQ(EventsOf(Event::Resume).size(), 1u);
    ASSERT_EQ(EventsOf(Event::SetVolume).size(), 1u);
    EXPECT_FLOAT_EQ(EventsOf(Event::SetVolume)[0].Volume, 0.65f);
    Sound::Play("menu-loop", 1); // marked playing again: not restarted
    EXPECT_EQ(EventsOf(Event::Play).size(), 1u);
    // Paused, a loop is no longer marked playing, so a play starts it over.
    Sound::Pause("menu-loop", 0);
    Sound::Play("menu-loop", 1);
    EXPECT_EQ(EventsOf(Event::Play).size(), 2u);
}

TEST_F(SoundTest, TheTwoLoopsShareOneStreamAndKeepTheirOwnNames) {
    LoadAsStartUp();
    Sound::Play("menu-loop", 1);
    Sound::Play("ingame-loop", 1); // takes the stream
    EXPECT_EQ(Sound::IsPlaying("menu-loop"), 0);
    EXPECT_EQ(Sound::IsPlaying("ingame-loop"), 1);
    Sound::ChannelVolume("menu-loop", 30); // not on the stream now: kept for its next play
    EXPECT_TRUE(EventsOf(Event::SetVolume).empty());
    Sound::ChannelVolume("ingame-loop", 40);
    ASSERT_EQ(EventsOf(Event::SetVolume).size(), 1u);
    EXPECT_FLOAT_EQ(EventsOf(Event::SetVolume)[0].Volume, 0.4f);
    Sound::Stop("menu-loop"); // stops nothing that sounds
    EXPECT_TRUE(EventsOf(Event::Stop).empty());
    EXPECT_EQ(Sound::IsPlaying("ingame-loop"), 1);
    // The loop whose stream was taken starts again when played, at its own volume.
    Sound::Play("ingame-loop", 1);
    Sound::Play("menu-loop", 1);
    ASSERT_EQ(EventsOf(Event::Play).size(), 3u);
    EXPECT_EQ(EventsOf(Event::Play)[2].Sound, MenuLoop);
    EXPECT_FLOAT_EQ(EventsOf(Event::Play)[2].Volume, 0.3f);
    Sound::Play("menu-loop", 1);
    Sound::Play("ingame-loop", 1);
    Sound::Play("menu-loop", 1);
    EXPECT_EQ(EventsOf(Event::Play).size(), 5u);
    EXPECT_EQ(Sound::IsPlaying("menu-loop"), 1);
}

TEST_F(SoundTest, UnknownNamesDoNothingAndAnswerNotPlaying) {
    LoadAsStartUp();
    EXPECT_EQ(Sound::IsPlaying("ThrustSND"), 0); // listed, never played: no channel yet
    for (const char* name : {"nosuch", "", "res", "BlipSND.ogg"}) {
        Sound::Play(name, 0);
        Sound::Play(name, 1);
        Sound::Stop(name);
        Sound::Pause(name, 0);
        Sound::Pause(name, 1);
        Sound::ChannelVolume(name, 10);
        EXPECT_EQ(Sound::IsPlaying(name), 0) << name;
    }
    EXPECT_TRUE(HeadlessAudio::Events().empty());
}

TEST_F(SoundDeviceTest, WithoutADeviceNothingIsListedAndEverythingIsSilent) {
    HeadlessAudio::SetDeviceAvailable(false);
    Sound::StartAudio(AudioChannels);
    EXPECT_FALSE(HeadlessAudio::DeviceOpen());
    for (const char* resource : SoundResources) EXPECT_EQ(Sound::Load(resource, 1), 0) << resource;
    Sound::Play("BlipSND", 0);
    Sound::Play("menu-loop", 1);
    EXPECT_EQ(Sound::IsPlaying("menu-loop"), 0);
    Sound::Stop("all");
    Sound::GlobalVolume(80);
    EXPECT_TRUE(HeadlessAudio::Events().empty());
}

TEST_F(SoundDeviceTest, AppExitReleasesTheAudioSystemAndSilencesWhatFollows) {
    LoadAsStartUp();
    EXPECT_EQ(HeadlessAudio::ChannelCount(), AudioChannels);
    Sound::Play("menu-loop", 1);
    Sound::AppExit();
    EXPECT_FALSE(HeadlessAudio::DeviceOpen());
    EXPECT_EQ(Sound::IsPlaying("menu-loop"), 0);
    std::size_t before = HeadlessAudio::Events().size();
    Sound::Play("BlipSND", 0);
    Sound::Stop("all");
    EXPECT_EQ(HeadlessAudio::Events().size(), before);
}

TEST_F(SoundInGameTest, StartUpPlaysMenuMusicAndTheGameSwitchesLoopsAndBlipsAtThePrompt) {
    Headless::PressKey(EscapeFrame, KeyEscape);
    Headless::PressKey(AnswerFrame, KeyY);
    ASSERT_EQ(RunGameHeadless(1000), 0);
    std::vector<Event> music = EventsOn(HeadlessAudio::MusicStream);
    ASSERT_EQ(music.size(), 5u);
    EXPECT_EQ(music[0].Type, Event::Play);
    EXPECT_EQ(music[0].Sound, MenuLoop);
    EXPECT_FLOAT_EQ(music[0].Volume, 0.65f);
    EXPECT_EQ(music[1].Type, Event::Stop);
    EXPECT_EQ(music[2].Type, Event::Play);
    EXPECT_EQ(music[2].Sound, IngameLoop);
    EXPECT_FLOAT_EQ(music[2].Volume, 0.5f);
    EXPECT_TRUE(music[2].Loop);
    // Leaving the game: the game's loop stops and the menu's starts again.
    EXPECT_EQ(music[3].Type, Event::Stop);
    EXPECT_EQ(music[3].Sound, IngameLoop);
    EXPECT_EQ(music[4].Type, Event::Play);
    EXPECT_EQ(music[4].Sound, MenuLoop);
    std::vector<Event> blips = EventsOf(Event::Play, Blip);
    ASSERT_EQ(blips.size(), 1u);
    EXPECT_EQ(blips[0].Frame, EscapeFrame); // Escape arrives with the tenth frame of play and opens the prompt after it
    EXPECT_EQ(blips[0].Channel, BlipChannel);
}

TEST_F(SoundInGameTest, EffectsAndMusicStaySilentWhenTheirSettingsAreOff) {
    struct Case {
        int Effects, Music;
    } cases[] = {{1, 1}, {0, 1}, {1, 0}, {0, 0}};
    for (const Case& c : cases) {
        Headless::Reset();
        ResetAllState();
        Graphics(1024, 768, 0, 60);
        LoadAsStartUp();
        TheSettings.SoundFXOn = c.Effects;
        TheSettings.MusicOn = c.Music;
        // Thrust held, shots fired, then the exit prompt (which blips) and leaving.
        // The game alone: frames count from its start, without the intro before it.
        Headless::HoldKey(LevelPageFlips + 2, TheSettings.KeyThrust, 6);
        for (int frame = LevelPageFlips + 3; frame < LevelPageFlips + 9; frame += 2)
            Headless::PressKey(frame, TheSettings.KeyFire);
        Headless::PressKey(EscapeFrame - IntroShown, KeyEscape);
        Headless::PressKey(AnswerFrame - IntroShown, KeyY);
        Loop loop;
        loop.Open(std::make_unique<GameScreen>(TheWorld));
        ASSERT_TRUE(TurnToFrame(loop, 1000)) << "the game was left";
        int effects = 0, music = 0;
        for (const Event& event : EventsOf(Event::Play))
            (event.Channel == HeadlessAudio::MusicStream ? music : effects) += 1;
        if (c.Effects == 0)
            EXPECT_EQ(effects, 0) << "effects off, music " << c.Music;
        else
            EXPECT_EQ(EventsOf(Event::Play, Blip).size(), 1u) << "effects on, music " << c.Music;
        if (c.Music == 0)
            EXPECT_EQ(music, 0) << "music off, effects " << c.Effects;
        else
            EXPECT_EQ(EventsOf(Event::Play, IngameLoop).size(), 1u) << "music on, effects " << c.Effects;
    }
}
