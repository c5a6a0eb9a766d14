// The sound manager: effects and music addressed by name ("BlipSND", "menu-loop").
#pragma once
#include <string>

struct Sound {
    static void StartAudio(int channels);
    static int Load(const std::string& name, int loop);
    static int Play(const std::string& name, int loop);
    static int IsPlaying(const std::string& name);
    static void Stop(const std::string& name);
    static void ChannelVolume(const std::string& name, float percent);
};
