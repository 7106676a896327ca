#pragma once
// The player's progress as the scene tests set and read it. The game state's header cannot
// share a file with the scene's (both declare BAG and BOOK), so it stays behind these.

#include <string>

class TPrefs;

// Forgets variables, bags and the item in use; the scene names stay.
void ResetProgress();
// Forgets everything, the scene names too, as a fresh start of the program.
void ForgetProgress();
std::string ProgressScene();
std::string ProgressLastScene();
std::string ProgressText(const char* name);
void SetProgressText(const char* name, const char* value);
int ProgressValue(const char* name);
// Puts an item of that key in bag 0 and takes it in hand.
void HoldItem(const char* key);
void DropItem();
// Picks up the item at `index` of bag 0 as a click on its icon would.
void UseBagItem(int index);

// What the player keeps, in one line: scenes, variables, bags, quests, diaries.
std::string ProgressSummary();
// The store that saving and loading use (not owned), with its current player.
void UseProgressStore(TPrefs* prefs);
bool LoadProgress();
