// A small hash over the whole game state (the shared state, the ship, the cannon and every record of every list),
// taken once a frame by replays so that two runs can be compared frame by frame.
#pragma once
#include <cstdint>

struct World;

std::uint64_t GameStateHash(const World& w);
