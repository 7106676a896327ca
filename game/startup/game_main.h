#pragma once
// The game's main function: runs the whole game loop on the platform's events and returns
// after the quit event.

class TPlatform;

void Main(TPlatform* platform, const char* commandLine);
