// The pilot that flies the ghost flight: it orbits the fortress at a breathing radius, turns in now and then to
// fire short bursts at the rings beside the cannon, and never flies within reach of the rings.
#pragma once

struct GhostPilotStyle {
    float Radius = 255;        // the orbit's middle radius around the fortress centre
    float RadiusSwing = 45;    // how far the orbit breathes in and out
    int SwingFrames = 660;     // one breath
    float Speed = 5.2f;        // the orbit's speed, units a frame
    int Direction = 1;         // 1 clockwise on the screen, -1 counter-clockwise
    int AttackEvery = 95;      // frames from one burst's start to the next
    int AttackFrames = 34;     // how long the ship faces the fortress in a burst
    int ShotGap = 7;           // frames between two shots of a burst
    float AimOffset = 9;       // degrees beside the centre the shots go, so they strike sections, not the cannon
    float AimTolerance = 2.5f; // degrees the facing may be off when it fires
};

// What the pilot does in one frame.
struct World;

struct GhostControls {
    bool Left = false, Right = false, Thrust = false, Fire = false;
};

class GhostPilot {
  public:
    explicit GhostPilot(const GhostPilotStyle& style) : Style(style) {}
    // Looks at the ship and the fortress as they stand after the ship's move in frame `frame`.
    GhostControls Decide(const World& w, int frame);

  private:
    GhostPilotStyle Style;
    int LastShot = -1000;
    int Burst = 0;
};
