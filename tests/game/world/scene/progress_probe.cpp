#include "progress_probe.h"

#include "game/world/fake_scene.h"
#include "game/world/state/gamestate.h"

void ResetProgress()
{
    gGamestate.clear();
}

void ForgetProgress()
{
    gGamestate.clear();
    gGamestate.SetScene("", false);
    gGamestate.SetScene("", true);
}

std::string ProgressScene()
{
    return gGamestate.GetCurrentScene().c_str();
}

std::string ProgressLastScene()
{
    return gGamestate.GetLastScene().c_str();
}

std::string ProgressText(const char* name)
{
    return gGamestate.GetString(name).c_str();
}

void SetProgressText(const char* name, const char* value)
{
    gGamestate.SetString(name, value);
}

int ProgressValue(const char* name)
{
    return gGamestate.Get(name);
}

void HoldItem(const char* key)
{
    gGamestate.clear();
    FakeScene followingClicks;
    gGamestate.GetBag(0)->AddInventory(key, tInventoryEntry(), false);
    gGamestate.UseInventory(0, 0);
}

void DropItem()
{
    gGamestate.ClearInvUsage();
}

void UseBagItem(int index)
{
    gGamestate.UseInventory(BAG_INV, index);
}

std::string ProgressSummary()
{
    std::string s = "scene " + ProgressScene() + " after " + ProgressLastScene() + ";";
    for (const auto& [name, value] : gGamestate.Variables())
        s += " " + std::string(name.c_str()) + "=" + std::to_string(value);
    for (int bag = 0; bag < kBagCount; ++bag) {
        s += "; bag" + std::to_string(bag);
        for (const auto& [key, entry] : gGamestate.GetBag(bag)->Items())
            s += " " + std::string(key.c_str()) + ":" + entry.text.c_str();
    }
    s += "; quests";
    tQuestset& quests = gGamestate.GetQuests();
    for (int i = 0; i < quests.GetEntryCount(); ++i)
        s += " " + std::string(quests.GetEntry(i)->key.c_str()) + (quests.GetEntry(i)->complete ? "+" : "-");
    for (int book = 0; book < kBookCount; ++book) {
        s += "; book" + std::to_string(book);
        tDiary* diary = gGamestate.GetDiary(book);
        for (int i = 0; i < diary->GetEntryCount(); ++i)
            s += " " + std::string(diary->GetEntry(i)->key.c_str()) + "/" +
                 std::to_string(diary->GetEntry(i)->body.size());
    }
    return s;
}

void UseProgressStore(TPrefs* prefs)
{
    SetGamePrefs(prefs);
}

bool LoadProgress()
{
    return lf_LoadGame();
}
