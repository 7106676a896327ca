#pragma once
// Prints walk-mesh files back as source text, read through the game's own loaders: a
// ".dverts" alone, a ".dmesh" with the ".dverts" beside it. Building the printed text again
// gives the same files.

#include <string>

// False, with the loader's complaint already logged, when the file does not load.
bool DumpMeshFile(const std::string& path, std::string* text);
