// The fixture for the front-end screens: the drawing fixture with the game's sounds loaded, and a runner that
// plays a screen until it returns or a frame limit stops it.
#pragma once
#include "NeonFixture.h"
#include "core/Sound.h"
#include "platform/headless/HeadlessAudio.h"
#include <algorithm>
#include <string>

class FrontEndFixture : public NeonFixture {
  protected:
    void SetUp() override {
        NeonFixture::SetUp();
        Sound::StartAudio(100);
        for (const char* resource : SoundResources) Sound::Load(resource, 1);
    }

    // Runs the screen; true when it returned by itself within `frames` more frames.
    template <typename Screen> static bool Returns(Screen screen, int frames) {
        Headless::StopAtFrame(Headless::FrameCount() + frames);
        try {
            screen();
        } catch (const Headless::RunStopped&) {
            Headless::StopAtFrame(-1);
            return false;
        }
        Headless::StopAtFrame(-1);
        return true;
    }

    static int Blips() { return HeadlessAudio::PlayCount("res\\BlipSND.ogg"); }
    static int Bounces() { return HeadlessAudio::PlayCount("res\\BounceSND.ogg"); }
    static bool Shown(const std::string& text) {
        const auto& recent = RecentTexts();
        return std::find(recent.begin(), recent.end(), text) != recent.end();
    }
};
