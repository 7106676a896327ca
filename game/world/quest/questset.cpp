#include "game/world/quest/questset.h"

#include "core/debug/debug_log.h"
#include "core/prefs/prefs.h"
#include "game/world/common/save_keys.h"

#include <iterator>

void tQuestset::Add(const str& key, const tQuestEntry& entry)
{
    (*this)[key] = entry;
    mSelected = key;
}

void tQuestset::Complete(const str& key)
{
    if (tQuestEntry* e = GetEntry(key))
        e->complete = true;
    else
        WriteDbg("tQuestset::CompleteQuest(%s) failed", key.c_str());
}

void tQuestset::Abandon(const str& key)
{
    if (key == mSelected)
        Move(CanMoveLeft() ? -1 : 1);
    erase(key);
}

int tQuestset::Check(const str& key) const
{
    auto it = find(key);
    if (it == end())
        return 0;
    return it->second.complete ? 2 : 1;
}

tQuestEntry* tQuestset::GetEntry(int index)
{
    if (index < 0 || index >= GetEntryCount())
        return nullptr;
    return &std::next(begin(), index)->second;
}

tQuestEntry* tQuestset::GetEntry(const str& key)
{
    auto it = find(key);
    return it == end() ? nullptr : &it->second;
}

bool tQuestset::CanMoveLeft() const
{
    auto it = find(mSelected);
    return it != end() && it != begin();
}

void tQuestset::Move(int delta)
{
    auto it = find(mSelected);
    if (it == end())
        it = begin();
    if (it != end()) {
        if (delta > 0)
            it = std::prev(end());
        else if (delta < 0)
            it = begin();
    }
    mSelected = it == end() ? str() : it->first;
}

void tQuestset::clear()
{
    std::map<str, tQuestEntry>::clear();
    mSelected = str();
}

bool tQuestset::SaveGame(TPrefs& prefs, int slot, int user) const
{
    TSaveListWriter w(prefs, user, "a quest");
    for (const auto& [key, e] : *this) {
        if (!w.Begin(GS_FormatQuest(slot, w.NextIndex()), key))
            continue;
        w.Str("anim", e.anim);
        w.Str("title", e.title);
        w.Str("body", e.body);
        w.Int("complete", e.complete ? 1 : 0);
    }
    w.End(GS_FormatQuest(slot, w.NextIndex()));
    return true;
}

bool tQuestset::LoadGame(const TPrefs& prefs, int slot, int user)
{
    clear();
    for (int i = 0;; ++i) {
        const str p = GS_FormatQuest(slot, i);
        tQuestEntry e;
        e.key = prefs.GetStr(p + "key", "", user);
        if (e.key.empty())
            break;
        e.anim = prefs.GetStr(p + "anim", "", user);
        e.title = prefs.GetStr(p + "title", "", user);
        e.body = prefs.GetStr(p + "body", "", user);
        e.complete = prefs.GetInt(p + "complete", 0, user) != 0;
        (*this)[e.key] = e;
    }
    return true;
}
