#pragma once
// Play metrics: each event becomes an ordered series of (key, value) settings on the shared
// state table (TGameState), whose handlers record them. The game itself keeps only the play
// and pause clocks, whether play is on, and the last task completed.
//   MET_BeginSession();
//   MET_BeginScene("harbour");  MET_Count("TotalClicks");  MET_EndScene("harbour");
//   MET_EndSession();

#include "core/text/str.h"
#include "core/time/clock.h"

extern TClock dfPlayTime;
extern TClock dfPauseTime;

void MET_BeginSession();
void MET_EndSession();
void MET_BeginMainMenu();
void MET_EndMainMenu();
void MET_BeginHelp();
void MET_EndHelp();
// The play and pause clocks count the game being played, from its start or Continue in this
// session (the save keeps no time).
void MET_StartGameClocks();
void MET_BeginPlay();
void MET_EndPlay();
void MET_Pause();
void MET_Resume();
void MET_BeginScene(const char* name);
void MET_EndScene(const char* name);
// Only the name is recorded; kind and extra go to the log.
void MET_TaskEvent(const char* kind, const char* name, const char* extra);
// The record `kind` with the active scene's name, a, and b when b is not empty.
void MET_Event(const char* kind, const char* a, const char* b);
void MET_Count(const char* name);
void MET_Relay(const char* key);
void MET_Progress(int minutes, const char* window, const char* scene);

// The active scene's name for the records, or null when no scene is active (the scene
// layer installs it; null restores "no scene").
void SetActiveSceneQuery(const char* (*activeSceneName)());
const char* ActiveSceneName();
