// The fixture for drawing tests: a fresh machine with a 1024 x 768 display, the glow sprite and the shape, glyph
// and zoom tables loaded as start-up loads them, and helpers that read back the recorded strips and lines.
#pragma once
#include "GameFixture.h"
#include "core/GameState.h"
#include "core/Settings.h"
#include "game/TheWorld.h"
#include "graphics/Art.h"
#include "graphics/Shapes.h"
#include "graphics/TPoly.h"
#include "graphics/VectorFont.h"
#include "platform/Display.h"
#include "program/Startup.h"
#include <cmath>
#include <vector>

class NeonFixture : public GameFixture {
  protected:
    void SetUp() override {
        GameFixture::SetUp();
        Graphics(1024, 768, 0, 60);
        SetViewport(0, 0, 1024, 768);
        TheArt.GlowDotImage = LoadImage("res\\glowing_dot6.png", -1);
        MidHandleImage(TheArt.GlowDotImage);
        ASSERT_NE(TheArt.GlowDotImage, nullptr);
        BuildShapeTables();
        LoadZoomTable();
        LoadFontGlyphs();
        TheSettings.NeonMode = 1;
        TheSettings.ColorsOn = 1;
        ApplyDisplayStyle();
    }

    static std::vector<Headless::DrawCall> CallsOf(Headless::DrawCall::Kind kind) {
        std::vector<Headless::DrawCall> found;
        for (const Headless::DrawCall& call : Headless::CurrentFrame().Calls)
            if (call.Type == kind) found.push_back(call);
        return found;
    }
    static std::vector<Headless::DrawCall> Strips() { return CallsOf(Headless::DrawCall::Strip); }
    static std::vector<Headless::DrawCall> Lines() { return CallsOf(Headless::DrawCall::Line); }
    // A flip: what follows is recorded in a fresh frame.
    static void ForgetCalls() { Flip(0); }
};

// The drawing fixture inside a player's game: blasts and missiles are made only there, never in the attract play.
class PlayerGameFixture : public NeonFixture {
  protected:
    void SetUp() override {
        NeonFixture::SetUp();
        TheWorld.DemoMode = 0;
    }
};

// The segment a capped strip was made from: its ends are the middles of vertex pairs 2-3 and 4-5, its half-width
// half the distance across the pair.
struct StripSegment {
    float X1, Y1, X2, Y2, HalfWidth;
};

inline StripSegment SegmentOf(const Headless::DrawCall& strip) {
    const std::vector<StripVertex>& v = strip.Vertices;
    StripSegment s{};
    if (v.size() != 8) return {NAN, NAN, NAN, NAN, NAN};
    s.X1 = (v[2].X + v[3].X) / 2;
    s.Y1 = (v[2].Y + v[3].Y) / 2;
    s.X2 = (v[4].X + v[5].X) / 2;
    s.Y2 = (v[4].Y + v[5].Y) / 2;
    s.HalfWidth = std::hypot(v[2].X - v[3].X, v[2].Y - v[3].Y) / 2;
    return s;
}
