#pragma once
// The close request: "scripts/quitverify.lua" asks the player and quits when told to. It runs
// inside the interface's coroutine, so it may wait for its dialog, but on a coroutine of its
// own, so that an error in it (before or after the question) ends only the script, never the
// interface: the request then stands and the game quits, as it does when the script is
// missing or cannot start.
//   services.closeRequest = [platform] { VerifyQuit(platform); };

class TPlatform;

void VerifyQuit(TPlatform* platform);
