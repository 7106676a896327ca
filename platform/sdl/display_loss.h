#pragma once
// The X server going away under the game (killed, or a desktop session that ends with it): the
// X library's way is to end the process from inside whichever call met the loss, with no quit
// path and the sound torn down under its own thread. Here the loss is recorded, the call
// returns with an error, and the host ends the game through its quit path without asking the
// display for anything again.

struct SDL_Window;

// For every display, before SDL opens one.
void CatchDisplayLoss();
// The window's display comes back from the loss instead of ending the process; nothing for a
// window that is not on X.
void WatchDisplayOf(SDL_Window* window);
// Whether a display went away.
bool DisplayLost();
