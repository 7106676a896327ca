#pragma once
// Whether the folder the game's data was looked for in can serve it at all: without it there
// are no screens, no fonts and no words of the game's own to tell the player with.
//   if (const str problem = DataFolderProblem(TFile::mResourceDir); !problem.empty()) ...

#include "core/text/str.h"

// What is wrong with the data folder (the one holding assets/), in words for the player; empty
// when it holds data.
str DataFolderProblem(const str& folder);
