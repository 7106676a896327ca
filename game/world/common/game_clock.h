#pragma once
// The game clock: milliseconds of play, standing still while the game is paused. Actor
// animations and the sound completion trackers run on it. Its reading is safe from the sound
// thread too.

#include <cstdint>

class TClock;

uint32_t GameClockTime();
// The clock itself, for what runs on it (animated sprites). Main thread only: the sound thread
// reads the time through GameClockTime.
TClock* GameClock();
// Starts (or resumes) the clock, continuing from where it stood.
void GameClockStart();
void GameClockPause();
