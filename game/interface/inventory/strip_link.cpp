#include "game/interface/inventory/strip_link.h"

#include "game/interface/inventory/icon_strip.h"
#include "game/interface/windows/window_helpers.h"
#include "game/script/best_ref.h"
#include "game/script/df_log.h"
#include "game/world/state/gamestate.h"
#include "ui/window/window.h"

namespace {

str BagPart(int bag, const char* suffix)
{
    const char* name = BAG_NAME(BAG(bag));
    return str(name ? name : "") + suffix;
}

}  // namespace

tIconStrip* FindIconStrip(TWindow* game, const str& strip)
{
    return game ? GetCast<tIconStrip>(game->GetChildWindow(strip, unsigned(-1))) : nullptr;
}

bool GetStripCell(TWindow* game, const str& strip, int* width, int* height)
{
    const tIconStrip* found = FindIconStrip(game, strip);
    if (!found)
        return false;
    *width = found->GetCellWidth();
    *height = found->GetCellHeight();
    return true;
}

void StripToScreen(TWindow* game, const str& strip, int x, int y, float* sx, float* sy)
{
    TVec2 point{float(x), float(y)};
    if (const tIconStrip* found = FindIconStrip(game, strip))
        point = found->StripToScreen(point);
    *sx = point.x;
    *sy = point.y;
}

void StartInvAdd(TWindow* game, const str& key, int bag)
{
    tInventory* inventory = gGamestate.GetBag(bag);
    tIconStrip* strip = FindIconStrip(game, BagPart(bag, "_strip"));
    if (!inventory || !strip)
        return;
    const tInventoryEntry* entry = inventory->GetInventoryEntry(key);
    if (!entry)
        return;
    strip->SetInventory(inventory);
    strip->StartAddAnimation(key, BestRef(entry->anim, str()));
}

void UpdateInvArrows(TWindow* game, int bag)
{
    const tInventory* inventory = gGamestate.GetBag(bag);
    if (!game || !inventory)
        return;
    TWindow* background = game->GetChildWindow(BagPart(bag, "_bg"), unsigned(-1));
    TWindow* left = game->GetChildWindow(BagPart(bag, "_left"), unsigned(-1));
    TWindow* right = game->GetChildWindow(BagPart(bag, "_right"), unsigned(-1));
    const bool any = inventory->GetInventoryEntryCount() > 0;
    SetWindowEnable(background, any);
    SetWindowEnable(left, any && inventory->InvCanMoveLeft());
    SetWindowEnable(right, any && inventory->InvCanMoveRight());
}

str UpdateInventoryWindow(TWindow* game, int bag)
{
    str text;
    tInventory* inventory = gGamestate.GetBag(bag);
    tIconStrip* strip = FindIconStrip(game, BagPart(bag, "_strip"));
    if (!inventory || !strip)
        return text;
    strip->SetInventory(inventory);
    strip->UpdateFromInv(text);
    return text;
}
