#pragma once
// Hands a web address to the desktop's opener. Only http and https addresses are passed on,
// as one argument, never through a shell.

// False (with a log line) for a refused address or when the opener cannot be started.
bool LaunchBrowser(const char* url);
// Whether the address is one the browser may be asked to open.
bool IsBrowsableUrl(const char* url);
