#pragma once
// The player's progress as the scene tests set and read it. The game state's header cannot
// share a file with the scene's (both declare BAG and BOOK), so it stays behind these.

#include <string>

// Forgets variables, bags and the item in use; the scene names stay.
void ResetProgress();
std::string ProgressScene();
std::string ProgressLastScene();
std::string ProgressText(const char* name);
void SetProgressText(const char* name, const char* value);
// Puts an item of that key in bag 0 and takes it in hand.
void HoldItem(const char* key);
void DropItem();
