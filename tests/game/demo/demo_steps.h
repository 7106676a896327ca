#pragma once
// What the end-to-end tests do with the running program again and again: places on the demo's
// screens, clicks, typing a name, quitting through the dialog, and reading the saved
// preferences back.

#include "game/demo/demo_run.h"

#include <string>

// Places on the 800 x 600 screens (see assets/layouts). The pages are 640 x 520, centred.
constexpr int kPlayX = 220, kPlayY = 194;
constexpr int kOptionsX = 220, kOptionsY = 258;
constexpr int kContinueX = 220, kContinueY = 322;
constexpr int kMoreGamesX = 560, kMoreGamesY = 256;
constexpr int kScoresX = 560, kScoresY = 320;
constexpr int kCreditsX = 560, kCreditsY = 384;
constexpr int kAwardsX = 560, kAwardsY = 448;
constexpr int kQuitX = 560, kQuitY = 512;
// The full-screen pages' Back (high scores, credits) and the awards page's Close.
constexpr int kScoresBackX = 640, kScoresBackY = 553;
constexpr int kCreditsBackX = 440, kCreditsBackY = 573;
constexpr int kAwardsCloseX = 400, kAwardsCloseY = 509;
constexpr int kPageX = 80, kPageY = 40;
constexpr int kNewX = kPageX + 85, kRenameX = kPageX + 240, kPlayerOkX = kPageX + 555, kPageButtonY = kPageY + 470;
constexpr int kDoneX = 400;
constexpr int kXSellBackX = kPageX + 545, kXSellBackY = kPageY + 490;
constexpr int kNameOkX = 480, kNameOkY = 422;
constexpr int kMusicThumbX = kPageX + 300 + 189, kMusicThumbY = kPageY + 159;
constexpr int kDialogYesX = 310, kDialogNoX = 490, kDialogButtonY = 360;
// The pause screen's panel (scripts/pause.lua), its "Main menu" button and its "Quit" under it.
constexpr int kPauseLeft = 220, kPauseTop = 140, kPauseRight = 580, kPauseBottom = 460;
constexpr int kPauseMenuX = 400, kPauseMenuY = 344, kPauseQuitY = 394;

// A scene's popup (scripts/popup.lua) and its OK.
constexpr TBox kPopup{140, 150, 660, 450};
constexpr int kPopupOkX = 400, kPopupOkY = 413;

// Where the interface moves by itself: the glitter round the diary button and the paw print.
constexpr TBox kLivelyInterface{296, 470, 460, 600};

// The folder the tests leave their pictures in for a reader.
std::string ArtifactDir();
// A screenshot of the next frame, read back; empty when none came.
TPicture Shot(TDemoRun& run, const std::string& path);
// Screenshots until `walk` has changed and then looks the same in three in a row: someone who
// walks in there has arrived.
TPicture ArrivedShot(TDemoRun& run, const std::string& path, const TBox& walk);
// Expects `shot` to look like the stored picture tests/game/demo/data/<reference> outside
// `ignored` (a few pixels may differ: drawing is not bit-exact across drivers).
void ExpectLikeReference(const TPicture& shot, const std::string& shotPath, const std::string& reference,
                         const std::vector<TBox>& ignored);
// Records of a left click at x, y (the pointer moves there first).
std::string Click(int x, int y);
// Waits for the name dialog, types the name and confirms it.
void EnterName(TDemoRun& run, const std::string& name);
// Clicks a button of a screen just shown until `expected` is logged after `from`: a screen
// takes no press in its first frames, which a slow (sanitized) build stretches.
bool ClickUntil(TDemoRun& run, int x, int y, const std::string& expected, size_t from);
// Play on the main menu: a new player of that name, then OK starts a new game.
void StartANewGameAs(TDemoRun& run, const std::string& name);
// From the game: Escape, then the pause screen's "Main menu"; waits for the menu.
void LeavePlayForTheMenu(TDemoRun& run);
// After `from` in the log: an award's notice pops up (the award's fanfare first); once it has
// slid in, OK closes it and the game goes on. The picture of it is left at `shotPath`.
void CloseAwardNotice(TDemoRun& run, size_t from, const std::string& shotPath);
// Closes the window, answers the dialog with "Quit" and checks a clean end.
void QuitThroughTheDialog(TDemoRun& run);
// The saved preferences of a run, as the dump tool shows them.
std::string DumpPrefs(const TDemoRun& run);
