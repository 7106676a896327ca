#pragma once
// A close request, or a Quit the player chose, stands unless "scripts/quitverify.lua" answers
// "keep playing": the script asks (it runs inside the interface's coroutine, so it may wait
// for its dialog) and returns that text to keep the game. Missing, not compiling, failing, or
// ending with anything else, it has not answered, and the game leaves: the interface's
// KeepTheGameInPlay, when it has one, keeps the game in play, and the quit goes out. So does a
// request made while the question is open.
//   services.closeRequest = [platform] { VerifyQuit(platform); };
//   BindQuitRequest(L);   // scripts: if RequestQuit() then (leaving) end

class TPlatform;
class TWindowScriptBase;
struct lua_State;

void VerifyQuit(TPlatform* platform);
// The question on the given window script; where it cannot be asked there (logged), the game
// leaves as when it is not answered. False only without a window script: the caller leaves.
bool AskWhetherToQuit(TWindowScriptBase* script);
// The Lua global "RequestQuit": the same question for the scripts' own Quit; true when the
// game leaves.
void BindQuitRequest(lua_State* L);
