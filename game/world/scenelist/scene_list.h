#pragma once
// The game's scenes and mouse cursors, from the data script "quest/scenelist.lua":
//   scenelist = { "cottage", { "The Garden", "quest/garden/", "garden" } }
//   cursorlist = { { "cursor", "cursors/arrow", 2, 2 } }
// A string entry is a scene in "quest/" titled by its name; a table entry is title, folder,
// name. Each cursor's base path becomes its animation (".hw") and its image (".sw").

#include "core/text/str.h"

#include <functional>
#include <vector>

struct lua_State;

struct tSceneDesc
{
    str title;
    str name;
    str folder;  // ends in "/"

    // The scene's script.
    str GetFullPathFilename() const { return folder + name + ".lua"; }
};

// Every scene of the game in play order: index 0 starts a new game.
extern std::vector<tSceneDesc> g_SceneDescs;

// Who takes the cursors: the cursor manager, from the libraries above this one.
struct tSceneListReaders
{
    std::function<void(const str& name, const str& anim, const str& image, float hotX, float hotY)> addCursor;
};
void SetSceneListReaders(tSceneListReaders readers);

// Runs "quest/scenelist.lua" in a state of its own, lets the awards manager read its awards
// there, refills g_SceneDescs, sets kSceneCount in the window manager's state and hands the
// cursors on. A script that fails leaves everything as it was.
void InitializeSceneNames();
// The same from any script file, counting into the given state.
void InitializeSceneNames(const str& script, lua_State* mainState);

// The first scene with exactly this name, or null.
const tSceneDesc* FindSceneDesc(const str& name);
