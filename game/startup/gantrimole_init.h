#pragma once
// The game's start-up values, stored before the engine builds its platform: game name,
// Unicode input, encryption key, score-service names and medal ids.

void GantrimoleInit();

// The twelve medal ids, in order.
extern const char* const kMedalIds[12];

// The key the preferences and score files are enciphered with.
extern const char* const ENCRYPTION_KEY;
