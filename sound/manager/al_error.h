#pragma once
// OpenAL errors are never fatal: each is printed to standard error and playback goes on.

// Reads the OpenAL error state; prints "An OpenAL error was raised : 0x%08x" when set.
// Returns whether there was an error.
bool ReportALError();
