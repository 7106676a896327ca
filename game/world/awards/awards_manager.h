#pragma once
// The game's achievements: definitions (name, points) from the script global "awardlist";
// whether one is earned lives as a medal in the player's score tables, and the player's score
// is the sum of the points of the awards earned.

#include "core/text/str.h"

#include <vector>

class TZvHiscores;
struct lua_State;

struct tAwardDef
{
    str name;
    int points = 0;
};

class tAwardsManager
{
public:
    // The score tables awards are kept in (not owned); without them nothing is earned.
    void SetScoreTables(TZvHiscores* tables) { mTables = tables; }

    // Rebuilds the list from "awardlist" and publishes the names as the medal names.
    void InitializeAwardInfo(lua_State* L);
    void AddAwardDef(const str& name, int points);
    const tAwardDef* GetAwardDef(int index) const;
    int GetAwardCount() const { return int(mDefs.size()); }
    bool HasAward(const str& name) const;
    // The player's score: the points of every listed award earned, each counted once.
    int GetScore() const;
    void EarnAward(const str& name);

private:
    std::vector<tAwardDef> mDefs;
    TZvHiscores* mTables = nullptr;
};

extern tAwardsManager gAwardsManager;
