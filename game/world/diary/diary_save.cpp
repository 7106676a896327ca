#include "core/debug/debug_log.h"
#include "core/prefs/prefs.h"
#include "game/world/common/save_keys.h"
#include "game/world/diary/diary.h"

namespace {

// Body line j is stored under "body" and the byte 48 + j; past 255 that byte would wrap to
// the terminating zero and overwrite another key.
constexpr int kMaxBodyLines = 255 - 48 + 1;

str BodyKey(int line)
{
    return str("body") + char(48 + line);
}

}  // namespace

bool tDiary::SaveGame(TPrefs& prefs, int slot, int user) const
{
    TSaveListWriter w(prefs, user, "a diary entry");
    for (const tDiaryEntry& e : mEntries) {
        if (!w.Begin(GS_FormatDiary(slot, w.NextIndex(), mName), e.key))
            continue;
        w.Str("title", e.title);
        w.Int("bodycount", e.unfolded);
        // An empty line would end the lines when read back and lose the ones after it.
        int line = 0;
        for (const str& text : e.body) {
            if (text.empty())
                continue;
            if (line == kMaxBodyLines) {
                WriteDbg("SaveGame: diary entry %s keeps only its first %d body lines", e.key.c_str(), kMaxBodyLines);
                break;
            }
            w.Str(BodyKey(line++).c_str(), text);
        }
    }
    w.End(GS_FormatDiary(slot, w.NextIndex(), mName));
    return true;
}

bool tDiary::LoadGame(const TPrefs& prefs, int slot, int user)
{
    for (int i = 0;; ++i) {
        const str p = GS_FormatDiary(slot, i, mName);
        tDiaryEntry e;
        e.key = prefs.GetStr(p + "key", "", user);
        if (e.key.empty())
            break;
        e.title = prefs.GetStr(p + "title", "", user);
        e.unfolded = prefs.GetInt(p + "bodycount", 0, user);
        // The form of older saved games: one unnumbered first line.
        const str first = prefs.GetStr(p + "body", "", user);
        if (!first.empty())
            e.body.push_back(first);
        for (int j = 0; j < kMaxBodyLines; ++j) {
            const str line = prefs.GetStr(p + BodyKey(j), "", user);
            if (line.empty())
                break;
            e.body.push_back(line);
        }
        mEntries.push_back(e);
    }
    return true;
}
