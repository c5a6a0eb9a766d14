// A player that plays from the game's state: turns toward the cannon, shoots when a bullet would pass every ring's
// gap on the way in, digs at the rings now and then, and shoots down missiles that come near. Soaks use it to reach
// every part of the fight, and it records the scripted games the replay tests play.
#pragma once
#include "platform/Input.h"
#include <random>
#include <vector>

struct World;

struct ReplayBotStyle {
    unsigned Seed = 1;         // the bot's own random choices (the game's generator is never touched)
    double DigChance = 0.3;    // chance a frame with the gun ready takes a shot into intact rings
    double WanderChance = 0.0; // chance a frame presses a random key instead of playing
    double ThrustChance = 0.0; // chance a frame thrusts toward the fortress while aimed at it
    int MissileRange = 260;    // missiles nearer than this are shot at first
};

class ReplayBot {
  public:
    // The bot watches `world`, the one the replay plays in.
    ReplayBot(const World& world, const ReplayBotStyle& style);
    // Looks at the frame just shown and sets the keys the next frame reads, through the replay engine.
    void Play(int frame);
    // Every event the bot has made, frames counted from the game's start.
    const std::vector<InputEvent>& Events() const { return Made; }

  private:
    void SetKey(int frame, int key, bool down);
    void PlayFight(int frame);
    const World& Seen;
    ReplayBotStyle Style;
    std::mt19937 Choices;
    bool Held[256] = {};
    std::vector<InputEvent> Made;
};

// True when a bullet fired now along `angle` from the ship would reach the cannon with the rings as they turn.
bool BulletWouldReachCannon(const World& w, float angle);
