// The sound manager: effects and music addressed by name ("BlipSND", "menu-loop"), one channel per sound. A
// service of the ground floor on top of the facade's audio: the fortress, the game and every screen play by name.
#pragma once
#include <string>

// One loaded sound, and the type functions that address the loaded sounds by name. Whether effects and music are
// wanted at all is for the callers to decide (SoundFXOn, MusicOn, the thrust sound included): this plays what it
// is asked to.
struct Sound {
    int soundFX = 0;       // the audio system's sound; never none for a listed sound
    int channel = 0;       // the channel of the latest play, 0 when none
    int Loop = 0;          // whether the latest play loops
    std::string FX;        // the name: the resource name without folder and extension, in lower case
    int ChannelNr = 0;     // the channel reserved for this sound: the count of loads at its load
    int isplay = 0;        // marked playing: set by a play and by resuming, cleared by a stop and by pausing
    int count = 0;         // cleared by a stop
    float cvolume = 1.0f;  // this sound's volume factor
    bool Streamed = false; // a music loop, played on the one music stream

    // Opens the audio system with this many channels; with no device every sound stays absent.
    static void StartAudio(int channels);
    static void AppExit();
    static void ChannelVolume(const std::string& name, float percent);
    static void GlobalVolume(float percent);
    static int IsPlaying(const std::string& name);
    static int Load(const std::string& name, int loop);
    static int Play(const std::string& name, int loop);
    static void Pause(const std::string& name, int resume);
    static void Stop(const std::string& name);
    // An effect the first frame plays, decoded from now on beside start-up rather than by that play.
    static void DecodeSoon(const std::string& name);
    // A frame's step changes the game and plays nothing: from GatherEvents on, plays and stops are kept as the step's
    // events, in order, and HandOnEvents makes them (or drops them where nobody hears the game: the checker). Whether
    // a sound is playing is asked of what was made before the step.
    static void GatherEvents();
    static void HandOnEvents(bool heard);
    // The list of sounds, the global volume and the load counter as a new process has them; the audio closed.
    static void ResetSounds();
};
