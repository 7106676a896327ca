#include "game/world/state/gamestate.h"

#include "core/debug/debug_log.h"
#include "game/world/awards/awards_manager.h"
#include "game/world/common/world_scene.h"

tGamestate gGamestate;

namespace {
tTaskEventReport gTaskEventReport = nullptr;
}

void SetTaskEventReport(tTaskEventReport report)
{
    gTaskEventReport = report;
}

tGamestate::tGamestate()
{
    mClassInfo = &civ;
    for (int b = 0; b < kBagCount; ++b) {
        mBags[b].SetName(BAG_NAME(BAG(b)), b);
        mBags[b].SetUser(this);
    }
    for (int d = 0; d < kBookCount; ++d)
        mDiaries[d].SetName(BOOK_NAME(BOOK(d)));
}

void tGamestate::SetScene(const str& name, bool push)
{
    WriteDbg("tGamestate::SetScene(%s, pushes %s)", name.c_str(), mScene.c_str());
    // A copy first: the name may be the last scene itself, which the push overwrites.
    const str scene = name;
    if (push)
        mLastScene = mScene;
    mScene = scene;
}

void tGamestate::EnterSubScene(const str& name)
{
    if (!InSubScene()) {
        mSceneUnder = mScene;
        mLastSceneUnder = mLastScene;
    }
    mSubScene = name;
    SetScene(name, true);
}

void tGamestate::EndSubScene()
{
    mSubScene = str();
    Set("canreturnfromscene", 0);
}

void tGamestate::Set(const str& name, int value)
{
    mVariables[name] = value;
}

int tGamestate::Get(const str& name) const
{
    auto it = mVariables.find(name);
    return it == mVariables.end() ? 0 : it->second;
}

void tGamestate::SetString(const str& name, const char* value)
{
    if (!value)
        ZapString(name);
    else
        mStrings[name] = value;
}

str tGamestate::GetString(const str& name) const
{
    auto it = mStrings.find(name);
    if (it == mStrings.end())
        return str();
    WriteDbg("GAMESTATE:GetString(%s) = %s", name.c_str(), it->second.c_str());
    return it->second;
}

void tGamestate::ZapString(const str& name)
{
    mStrings.erase(name);
}

void tGamestate::SetReturnFromScene(const str& scene)
{
    Set("canreturnfromscene", 1);
    mStrings["returnfromscene"] = scene;
}

bool tGamestate::InSubScene() const
{
    return !mSubScene.empty() && mScene == mSubScene;
}

bool tGamestate::CanReturnFromScene() const
{
    return Get("canreturnfromscene") != 0;
}

tInventory* tGamestate::GetBag(int bag)
{
    return bag >= 0 && bag < kBagCount ? &mBags[bag] : nullptr;
}

tDiary* tGamestate::GetDiary(int book)
{
    return book >= 0 && book < kBookCount ? &mDiaries[book] : nullptr;
}

void tGamestate::UseInventory(int bag, int index)
{
    tInventory* b = GetBag(bag);
    if (!b) {
        WriteDbg("tGamestate::UseInventory: %d names no bag", bag);
        return;
    }
    WriteDbg("tGamestate::UseInventory(%s, %d)", b->GetName().c_str(), index);
    tWorldScene* scene = GetWorldScene();
    if (!scene || !scene->IsFollowClicksMode()) {
        WriteDbg("Can't click inventory when not in FOLLOWCLICKSMODE");
        return;
    }
    if (bag == mBagInUse) {
        ClearInvUsage();
        return;
    }
    mKeyInUse = b->GetInventoryKeyAbs(index);
    WriteDbg("tGamestate::UseInventory(%d, %s)", bag, mKeyInUse.c_str());
    mBagInUse = bag;
    const tInventoryEntry* e = b->GetInventoryEntry(mKeyInUse);
    if (!e)
        return;
    tCursorDef def;
    def.hotX = e->hotX;
    def.hotY = e->hotY;
    def.anim = e->anim;
    def.cursor = e->cursor;
    scene->AddCursorDefIfMissing(mKeyInUse, def);
}

str tGamestate::GetInvUsage() const
{
    const tWorldScene* scene = GetWorldScene();
    return scene && scene->IsFollowClicksMode() ? mKeyInUse : str();
}

tInventoryEntry* tGamestate::GetInventoryEntry(const str& key, int bag)
{
    tInventory* b = GetBag(bag);
    return b ? b->GetInventoryEntry(key) : nullptr;
}

tInventoryEntry* tGamestate::GetInventoryEntryInUse()
{
    return GetInventoryEntry(mKeyInUse, mBagInUse);
}

str tGamestate::GetInvUsage_CantUse()
{
    const tInventoryEntry* e = GetInventoryEntryInUse();
    return e ? e->cantuse : str();
}

void tGamestate::ClearInvUsage()
{
    if (!mKeyInUse.empty()) {
        WriteDbg("tGamestate::ClearInvUsage(%s)", mKeyInUse.c_str());
        mKeyInUse = str();
    }
    mBagInUse = BAG_NONE;
}

void tGamestate::EarnAward(const str& name)
{
    gAwardsManager.EarnAward(name);
}

bool tGamestate::HasAward(const str& name) const
{
    return gAwardsManager.HasAward(name);
}

void tGamestate::TaskComplete(const str& name)
{
    if (gTaskEventReport)
        gTaskEventReport("scripted-task", name.c_str(), "");
}

void tGamestate::clear()
{
    mVariables.clear();
    mStrings.clear();
    for (tDiary& d : mDiaries)
        d.clear();
    for (tInventory& b : mBags)
        b.clear();
    mKeyInUse = str();
    mBagInUse = BAG_NONE;
    mQuests.clear();
}
