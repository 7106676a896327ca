#pragma once
// The display the game shows on: none at start, or the X server going away under the game
// (killed, or a desktop session that ends with it). The X library's way is to end the process
// from inside whichever call met the loss, with no quit path and the sound torn down under its
// own thread. Here the loss is recorded, the call returns with an error, and the host ends the
// game through its quit path without asking the display for anything again.

#include <string>

struct SDL_Window;

// For every display, before SDL opens one; on the thread that runs the game.
void CatchDisplayLoss();
// Once SDL's video has started: its display comes back from a loss instead of ending the
// process, from now on and whatever call meets the loss. Nothing for a display not on X.
void WatchDisplay();
// While it lives the GL driver sets up on the display: a loss met meanwhile ends the process at
// once, as the driver cannot be returned to.
struct TDriverSetUp
{
    TDriverSetUp();
    ~TDriverSetUp();
    TDriverSetUp(const TDriverSetUp&) = delete;
    TDriverSetUp& operator=(const TDriverSetUp&) = delete;
};
// Whether a display went away.
bool DisplayLost();
// Asks the window's display for an answer: false when it is gone (or went away before).
bool DisplayAnswers(SDL_Window* window);
// Why the player would see nothing of the game, for a start whose SDL video did or did not
// start: no display answered and SDL fell back to drawing off screen unasked. Empty when the
// game has a display, or was asked to draw off screen (SDL_VIDEODRIVER).
std::string NoDisplay(bool videoStarted);
