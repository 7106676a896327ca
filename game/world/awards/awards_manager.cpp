#include "game/world/awards/awards_manager.h"

#include "core/debug/debug_log.h"
#include "core/platform/platform.h"
#include "core/script/lua_number.h"
#include "core/script/lua_table.h"
#include "online/scores/zv_hiscores.h"

#include <lua.h>

#include <algorithm>
#include <climits>
#include <memory>

tAwardsManager gAwardsManager;

void tAwardsManager::InitializeAwardInfo(lua_State* L)
{
    mDefs.clear();
    if (!L)
        return;
    lua_getglobal(L, "awardlist");
    if (!lua_istable(L, -1)) {
        lua_pop(L, 1);
        return;
    }
    TLuaTable list(L);
    for (int i = 1;; ++i) {
        std::unique_ptr<TLuaTable> desc(list.GetTable(double(i)));
        if (!desc)
            break;
        AddAwardDef(desc->GetString(1.0, ""), NumberToInt(desc->GetNumber(2.0, 0.0)));
    }
    for (size_t j = 0; j < mDefs.size(); ++j) {
        const str key = str::getFormatted("%s%d", "zvgamemedalname", int(j + 1));
        WriteDbg("TPlatform::SetConfig(%s, %s)", key.c_str(), mDefs[j].name.c_str());
        TPlatform::SetConfig(key, mDefs[j].name);
    }
}

void tAwardsManager::AddAwardDef(const str& name, int points)
{
    mDefs.push_back({name, points});
}

const tAwardDef* tAwardsManager::GetAwardDef(int index) const
{
    return index >= 0 && index < GetAwardCount() ? &mDefs[size_t(index)] : nullptr;
}

bool tAwardsManager::HasAward(const str& name) const
{
    if (!mTables)
        return false;
    const int n = mTables->GetNumMedalsEarned();
    for (int i = 0; i < n; ++i) {
        str medal;
        if (mTables->GetEarnedMedalInfo(i, &medal, nullptr, nullptr, nullptr) && medal == name)
            return true;
    }
    return false;
}

int tAwardsManager::GetScore() const
{
    // Summed wide and held in range: points from the script may be as large as an int.
    long long score = 0;
    for (const tAwardDef& def : mDefs)
        if (HasAward(def.name))
            score += def.points;
    return int(std::clamp<long long>(score, INT_MIN, INT_MAX));
}

void tAwardsManager::EarnAward(const str& name)
{
    WriteDbg("tAwardsManager::EarnAward(%s)", name.c_str());
    if (!mTables) {
        WriteDbg("tAwardsManager::EarnAward: no score tables; %s is not kept", name.c_str());
        return;
    }
    mTables->KeepMedal(name.c_str(), TZvHiscores::kMedalGame, "unused_soec_storage");
    mTables->KeepScore(GetScore(), true, nullptr);
    WriteDbg("TSettings::LogHighScore()");
}
