// Points and the bonus ship they earn.
#include "Score.h"
#include "GameState.h"
#include "Settings.h"
#include "Sound.h"

void AddScore(int points) {
    Score += points;
    BonusCounter += points;
    if (BonusCounter > BonusShipPoints - 1) {
        BonusCounter -= BonusShipPoints;
        ShipsLeft += 1;
        if (SoundFXOn == 1) Sound::Play("BonusShip", 0);
    }
}
