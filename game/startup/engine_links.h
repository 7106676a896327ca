#pragma once
// Connects the platform to the subsystems built above it: sound, the renderer and the window
// system. Called once by the program before start-up.

void InstallEngineLinks();
