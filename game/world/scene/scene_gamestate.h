#pragma once
// What the scene reads and writes of the player's progress. The game state's header and the
// scripts' enumerations each declare BAG and BOOK, so no file can include both; the scene's
// files, which need the enumerations, reach the game state through these.

#include "core/text/str.h"

// Makes name the current scene (the one before it becomes the last scene).
void SetProgressScene(const str& name);
// Saves the progress into slot 0 of the current player.
void SaveProgress();
// The scene a main scene returns to (text variable "returnfromscene").
str ProgressReturnScene();
// Text variable "conv": the key of the dialogue choice the player took.
void SetProgressConversation(const str& key);
// The key of the inventory item in use; empty when none.
const str& ProgressItemInUse();
// Whether the interface layer is shown.
bool ProgressHUDEnabled();
