#include "game/world/inventory/inventory.h"

#include "core/debug/debug_log.h"
#include "game/world/common/step_toward.h"
#include "game/world/common/world_scene.h"

#include <algorithm>
#include <iterator>

void tInventory::AddInventory(const str& key, const tInventoryEntry& entry, bool announce)
{
    const bool owned = CheckInventory(key);
    mItems[key] = entry;
    PositionInventoryForVisibility(key);
    if (announce && !owned)
        if (tWorldScene* scene = GetWorldScene())
            scene->DoInvAdd(key, mBag);
}

void tInventory::RemoveInventory(const str& key)
{
    if (mUser && mUser->GetInvUsage_Raw() == key)
        mUser->ClearInvUsage();
    mItems.erase(key);
}

tInventoryEntry* tInventory::GetInventoryEntry(const str& key)
{
    auto it = mItems.find(key);
    return it == mItems.end() ? nullptr : &it->second;
}

str tInventory::GetInventoryKeyAbs(int index) const
{
    if (index < 0 || index >= GetInventoryEntryCount())
        return str();
    return std::next(mItems.begin(), index)->first;
}

int tInventory::GetInventoryIndex(const str& key) const
{
    auto it = mItems.find(key);
    return it == mItems.end() ? -1 : int(std::distance(mItems.begin(), it));
}

void tInventory::ShowInventory(const str& key, bool shown)
{
    if (tInventoryEntry* e = GetInventoryEntry(key))
        e->shown = shown;
}

void tInventory::SetItemParameter(const str& key, int value)
{
    if (tInventoryEntry* e = GetInventoryEntry(key))
        e->parameter = value;
}

void tInventory::SetItemDescription(const str& key, const str& text)
{
    if (tInventoryEntry* e = GetInventoryEntry(key))
        e->text = WorldLocalise(text);
}

void tInventory::MoveInventory(int delta)
{
    const int count = GetInventoryEntryCount();
    if (count <= mVisibleCount) {
        mFirstVisible = 0;
        return;
    }
    // Summed wide: a script may scroll by any int.
    mFirstVisible = int(std::clamp<long long>(static_cast<long long>(mFirstVisible) + delta, 0, count - mVisibleCount));
}

void tInventory::PositionInventoryForVisibility(const str& key)
{
    if (!CheckInventory(key)) {
        WriteDbg("Can't make non-owned item %s visible", key.c_str());
        return;
    }
    const float rel = float(GetInventoryIndex(key)) - mTargetX;
    const float last = float(mVisibleCount - 1);
    if (rel > last) {
        mTargetX += rel - last;
        mFirstVisible = int(mTargetX);
    }
    if (rel < 0) {
        mTargetX -= -rel;
        mFirstVisible = int(mTargetX);
    }
}

float tInventory::GetInventoryLocationRelativeInIcons(const str& key) const
{
    const int index = GetInventoryIndex(key);
    return index < 0 ? 0.0f : float(index) - mTargetX;
}

void tInventory::JumpInventoryToTarget()
{
    mTargetX = float(mFirstVisible);
    mPosX = mTargetX;
    mPosY = mTargetY;
}

void tInventory::UpdateScroll()
{
    mTargetX = float(mFirstVisible);
    StepToward(mPosX, mPosY, mTargetX, mTargetY, 0.1f);
}

tVector2<float> tInventory::GetInventoryLocation(const str& key) const
{
    tVector2<float> at(400, 600);
    const int index = GetInventoryIndex(key);
    if (index < 0) {
        WriteDbg("Asked for an unknown inv item %s", key.c_str());
        return at;
    }
    const tWorldScene* scene = GetWorldScene();
    const str strip = mName + "_strip";
    int w = 0, h = 0;
    if (!scene || !scene->GetStripCell(strip, &w, &h))
        return at;
    const int cx = int((float(index) - mPosX) * float(w)) + w / 2;
    scene->StripToScreen(strip, cx, h / 2, &at.x, &at.y);
    return at;
}

void tInventory::GetInventoryLocation(const str& key, float* x, float* y) const
{
    const tVector2<float> at = GetInventoryLocation(key);
    *x = at.x, *y = at.y;
}

void tInventory::clear()
{
    mItems.clear();
    mFirstVisible = 0;
}
