#pragma once
// Window state shared by the world and the interface: the game window that holds the mouse,
// and switching windows on and off.
//   SetWindowEnable(GetChildWindow(...), hasName);

class TWindow;

// The game window that last claimed the mouse (the scene's drawing asks), or null.
void SetMouseWindow(TWindow* window);
TWindow* GetMouseWindow();
// Clears the mouse window only when `window` holds it.
void DropMouseWindowClaim(TWindow* window);

// Through the enabled flag; each asks for a redraw. A null window is ignored.
void EnableWindow(TWindow* window);
void DisableWindow(TWindow* window);
void SetWindowEnable(TWindow* window, bool enable);
