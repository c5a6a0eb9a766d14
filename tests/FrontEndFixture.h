// The fixture for the front-end screens: the drawing fixture with the game's sounds loaded, and a runner that
// plays a screen until it returns or a frame limit stops it.
#pragma once
#include "NeonFixture.h"
#include "Turning.h"
#include "core/Sound.h"
#include "platform/headless/HeadlessAudio.h"
#include <algorithm>
#include <memory>
#include <string>

class FrontEndFixture : public NeonFixture {
  protected:
    void SetUp() override {
        NeonFixture::SetUp();
        Sound::StartAudio(100);
        for (const char* resource : SoundResources) Sound::Load(resource, 1);
    }

    // Runs the screen in a loop of its own; true when it closed by itself within `frames` more frames.
    static bool Returns(std::unique_ptr<Screen> screen, int frames) { return ScreenReturns(std::move(screen), frames); }

    static int Blips() { return HeadlessAudio::PlayCount("res\\BlipSND.ogg"); }
    static int Bounces() { return HeadlessAudio::PlayCount("res\\BounceSND.ogg"); }
    static bool Shown(const std::string& text) {
        const auto& recent = RecentTexts();
        return std::find(recent.begin(), recent.end(), text) != recent.end();
    }
};
