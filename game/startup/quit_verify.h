#pragma once
// The close request: "scripts/quitverify.lua" asks the player and quits when told to; it runs
// inside the interface's coroutine, so it may wait for its dialog. When the script is missing
// or cannot start, the request stands (logged) and the game quits.
//   services.closeRequest = [platform] { VerifyQuit(platform); };

class TPlatform;
class TWindowScriptBase;

void VerifyQuit(TPlatform* platform);
// The question on the given window script; false (logged) when it cannot be asked, so the
// request stands.
bool AskWhetherToQuit(TWindowScriptBase* script);
