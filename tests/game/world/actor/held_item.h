#pragma once
// Puts an item in the player's hand through the game state, whose header cannot share a file
// with the script enumerations the actor tests use.

void HoldItem(const char* key);
