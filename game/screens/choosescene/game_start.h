#pragma once
// How play starts: a new game from the first scene of the scene list, the current player's
// saved game, or scene n of the list. The start screen's SetStartMode and the scene choice
// screen call these.
//   if (StartNewGame()) ...  // scene 0 loaded and the new game saved

#include "core/text/str.h"

#include <cstdint>
#include <functional>

// The index in the scene list of the scene last entered through LoadSceneNumber (or set by the
// scene choice screen).
extern int32_t gCurrentScene;

// Refuses (false, logged) a number outside the scene list. Otherwise makes n the current scene,
// enters it in the game state and loads it; what the load answers.
bool LoadSceneNumber(int n);
// Clears the game state and loads scene n; a number outside the list is refused before
// anything is cleared.
bool StartAtScene(int n);
// Clears the game state and loads scene 0; saves the new game when that loaded.
bool StartNewGame();
// Loads save slot 0 of the current player and then its scene. False, logged, when there is no
// player, no saved game, the save does not read or names no scene of the scene list.
bool LoadDefaultGame();

// What loads a scene by name into the one scene object (its LoadSceneByName by default).
// Tests put their own in place; an empty function goes back to the scene object.
using tSceneLoader = std::function<bool(const str& name, bool resume)>;
void SetSceneLoader(tSceneLoader loader);
// The scene object's own load; false, logged, when there is no scene object.
bool LoadIntoTheScene(const str& name, bool resume);
