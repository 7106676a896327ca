#pragma once
// The engine's window classes, registered with the window registry by hand: a registration
// object in a static library is dropped when nothing else refers to its file.

// Registers TWindow, TImage, TText, TTextEdit, TButton and TSlider. Safe to call again.
void RegisterEngineWindowClasses();
