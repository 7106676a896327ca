#pragma once
// Runs a scene in LÖVE 11 as a benchmark peer: writes a game folder (main.lua, conf.lua and one
// image) to a temporary folder and runs `love <folder>` with this program's environment, so under
// the same video driver, collecting what it prints.

#include <string>

// The conf.lua of every peer scene: an 800 x 600 window without vsync, and no audio, joystick or
// physics modules.
extern const char* const kLoveBenchConf;

// printf into a string, for filling in a main.lua template.
std::string FormatLoveScript(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Writes `mainLua`, kLoveBenchConf and the image at `imagePath` (as `imageName`) into a fresh
// temporary folder, runs `love` on it and returns its standard output; the folder is removed
// afterwards. False with a note when no folder could be made or love is not installed.
bool RunLoveProject(const std::string& mainLua, const std::string& imagePath, const std::string& imageName,
                    std::string* output, std::string* note);
