#pragma once
// The state of one movie host: whether it started, how the movie plays and the temporary
// files it made.

#include "core/text/str.h"
#include "online/web/flash_host.h"

struct TFlashHostData
{
    TFlashHostEnvironment env;
    // The movie file exists and the web view is up.
    bool started = false;
    bool loop = false;
    bool useStrings = false;
    str movieUrl;
    // Empty when not created.
    str swfPath, stringsPath, htmlPath;

    // Writes the loader, the strings file and the blank page; false (and nothing left behind)
    // when any of them cannot be written.
    bool CreateTempFiles(const str& moviePath);
    void DeleteTempFiles();
};
