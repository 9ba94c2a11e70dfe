// How fast the computers play: a wait before each computer move so a person
// can follow the cards, and longer pauses when slow. Only the moment a
// computer's action is sent changes, never how actions are applied.
#pragma once

#include "records/settings_store.h"

enum class GameSpeed { SLOW, NORMAL, FAST };

// "Display"/"Speed": "Slow", "Normal" or "Fast"; anything else is Normal.
GameSpeed loadGameSpeed(const SettingsStore& store);
void saveGameSpeed(SettingsStore& store, GameSpeed speed);

// Milliseconds each computer card stays alone on the table before the next
// computer move.
int computerWaitMs(GameSpeed speed);
// The length a pause of the table gets at this speed.
int pauseMs(GameSpeed speed, int ms);
