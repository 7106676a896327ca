#pragma once
// os.exit in a script of the host does not end the process behind the game's back (no final
// save, the sound thread still running): it asks the program to quit, as the system's
// termination signal does, and stops the script with an error naming its file and line. The
// platform reads the request where it waits for events.

#include <lua.h>

#include <string>

// Makes os.exit on L's state (every coroutine of it too) ask to quit.
void InstallScriptExit(lua_State* L);

// Whether a script asked to quit since the request was last cleared, and where it asked.
bool ScriptAskedToQuit();
const std::string& ScriptQuitRequest();
void ClearScriptQuitRequest();
