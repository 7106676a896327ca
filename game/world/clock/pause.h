#pragma once
// Pausing the game: the game clock stands still, every sound pauses and the play metrics are
// told. Pauses do not nest: one ExitPause resumes after any number of EnterPause.

bool IsPaused();
// Starts the game clock and clears the pause; the game window calls it when it starts.
void StartGameClock();
void EnterPause();
void ExitPause();

// Where pause and resume are reported (the play metrics); none by default.
using tPauseReport = void (*)(bool paused);
void SetPauseReport(tPauseReport report);
