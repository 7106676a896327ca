#pragma once
// Quick play for the long-running tests: every scene of a data copy gets an actor that waits a
// few frames, counts a hop (the game variable "hops", and the quest "hop" whose picture name
// is the count), reports it through the game state and moves on to the next scene, so the
// game saves every few frames. Hop n leads to kHopScenes[n % 4].

#include "game/demo/demo_data.h"

#include <map>
#include <string>

inline const char* const kHopScenes[] = {"cottage", "garden", "forest", "clearing"};

void AddHoppers(const TDataCopy& data, int ticksPerHop);

// The log line of hop n (the hop's task event).
std::string HopLine(int n);

// The values of one player's slot in a preferences dump ("name = value" lines), and whether
// the dump read the whole file.
struct TDumpedSlot
{
    bool whole = false;
    std::map<std::string, std::string> values;
};
TDumpedSlot ReadDumpedSlot(const std::string& dump, int user);

// A saved game as the hoppers leave it.
struct THopSave
{
    bool present = false;
    int hops = 0;
    std::string scene;
    std::string lastScene;
    std::string questHops;  // the quest's count, empty without the quest
};
THopSave ReadHopSave(const TDumpedSlot& slot);
