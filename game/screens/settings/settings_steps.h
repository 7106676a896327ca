#pragma once
// Puts the settings into the game's start and quit: made and applied at start (with the
// preferences, score tables and speeds handed to the game's progress, awards and sound),
// deleted at quit, and told when the display mode changed. The two functions are what the
// start modes NEW and LOAD (or RESUME) start; each answers whether its scene loaded.

#include <functional>

void InstallSettingsSteps(std::function<bool()> startNewGame = {}, std::function<bool()> loadDefaultGame = {});
