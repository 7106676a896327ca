#pragma once
// The game's main function: prepares the game (settings, cursor, window classes, script
// functions, scene, metrics session), runs the game loop on the platform's events and returns
// after the quit event.

class TPlatform;

void Main(TPlatform* platform, const char* commandLine);

// Deletes the scene held apart from the main scene, if any.
void DumpSubScene();
// Releases the main scene's contents and the voice lines.
void DumpTheScene();
