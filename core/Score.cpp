// Points and the bonus ship they earn.
#include "Score.h"
#include "GameState.h"
#include "Settings.h"
#include "Sound.h"

void AddScore(FightState& w, int points) {
    w.Score += points;
    w.BonusCounter += points;
    if (w.BonusCounter > BonusShipPoints - 1) {
        w.BonusCounter -= BonusShipPoints;
        w.ShipsLeft += 1;
        if (TheSettings.SoundFXOn == 1) Sound::Play("BonusShip", 0);
    }
}
