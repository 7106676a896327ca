#pragma once
// The engine's start-up and shut-down around the game's main function, independent of the
// operating system: the SDL entry hands in its host.

#include "core/platform/platform.h"
#include "core/platform/platform_data.h"
#include "core/text/str.h"

#include <memory>

class TPlatformHost;

// Each argument after the program name followed by one space.
str BuildCommandLine(int argc, char** argv);
// Every argument holding "--cheat" stores the text after the following byte as "cheatcode";
// a later one wins.
void ApplyCheatArguments(int argc, char** argv);
// Reads "QuenmarrUnicode" and "utf8mode", sets the Unicode flags and says whether the
// text-input handler is to be installed.
bool ConfigureUnicodeInput();

// Builds the platform on the host, runs main(platform, command line) and tears everything
// down. An exception is reported as "Unhandled exception" on standard error.
void RunApplication(std::unique_ptr<TPlatformHost> host, int argc, char** argv, TGameMainFunction main, bool flag);
// After an exception that left the game's main function: stops the sound of the platform built
// on `data` and leaves the rest standing for the program's end.
void LeaveAfterUnhandledException(std::unique_ptr<TPlatform> platform, TPlatformData* data);
