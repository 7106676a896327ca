#include "core/prefs/prefs.h"
#include "core/script/lua_number.h"
#include "game/world/common/save_keys.h"
#include "game/world/inventory/inventory.h"

bool tInventory::SaveGame(TPrefs& prefs, int slot, int user) const
{
    TSaveListWriter w(prefs, user, "an inventory item");
    for (const auto& [key, e] : mItems) {
        if (!w.Begin(GS_FormatInventory(slot, w.NextIndex(), mName), key))
            continue;
        w.Str("text", e.text);
        w.Str("anim", e.anim);
        w.Str("cursor", e.cursor);
        w.Int("cursor_x", NumberToInt(e.hotX));
        w.Int("cursor_y", NumberToInt(e.hotY));
        w.Str("cantuse", e.cantuse);
        w.Int("parameter", e.parameter);
    }
    w.End(GS_FormatInventory(slot, w.NextIndex(), mName));
    return true;
}

bool tInventory::LoadGame(const TPrefs& prefs, int slot, int user)
{
    for (int i = 0;; ++i) {
        const str p = GS_FormatInventory(slot, i, mName);
        const str key = prefs.GetStr(p + "key", "", user);
        if (key.empty())
            break;
        tInventoryEntry e;
        e.text = prefs.GetStr(p + "text", "", user);
        e.anim = prefs.GetStr(p + "anim", "", user);
        e.cursor = prefs.GetStr(p + "cursor", "", user);
        e.hotX = float(prefs.GetInt(p + "cursor_x", 0, user));
        e.hotY = float(prefs.GetInt(p + "cursor_y", 0, user));
        e.cantuse = prefs.GetStr(p + "cantuse", "", user);
        e.parameter = prefs.GetInt(p + "parameter", 0, user);
        mItems[key] = e;
    }
    return true;
}
