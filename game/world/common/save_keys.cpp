#include "game/world/common/save_keys.h"

#include "core/debug/debug_log.h"
#include "core/prefs/prefs.h"

str GS_FormatSlot(int slot)
{
    return str::getFormatted("S%d:", slot);
}

str GS_FormatValue(int slot, int index)
{
    return str::getFormatted("V:S%d:I%d:", slot, index);
}

str GS_FormatString(int slot, int index)
{
    return str::getFormatted("S:S%d:I%d:", slot, index);
}

str GS_FormatDiary(int slot, int index, const str& book)
{
    return str::getFormatted("D:S%d:I%d:B[%s]", slot, index, book.c_str());
}

str GS_FormatInventory(int slot, int index, const str& bag)
{
    return str::getFormatted("I:S%d:I%d:B[%s]", slot, index, bag.c_str());
}

str GS_FormatQuest(int slot, int index)
{
    return str::getFormatted("Q:S%d:I%d", slot, index);
}

bool TSaveListWriter::Begin(const str& prefix, const str& key)
{
    if (key.empty()) {
        WriteDbg("SaveGame: %s with an empty name is not saved (it would end the list)", mWhat);
        return false;
    }
    mPrefix = prefix;
    ++mNext;
    Str("key", key);
    return true;
}

void TSaveListWriter::Str(const char* field, const str& value)
{
    mPrefs.SetStr(mPrefix + field, value, mUser, false);
}

void TSaveListWriter::Int(const char* field, int value)
{
    mPrefs.SetInt(mPrefix + field, value, mUser, false);
}

void TSaveListWriter::End(const str& prefix)
{
    mPrefs.SetStr(prefix + "key", "", mUser, false);
}
