#pragma once
// Connects the platform to the subsystems built above it (sound now; renderer and window
// system when they exist). Called once by the program before start-up.

void InstallEngineLinks();
