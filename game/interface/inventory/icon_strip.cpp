#include "game/interface/inventory/icon_strip.h"

#include <cmath>

#include "core/script/lua_function.h"
#include "game/interface/inventory/icon.h"
#include "game/interface/inventory/item_text.h"
#include "game/interface/inventory/lua_call.h"
#include "game/interface/windows/window_helpers.h"
#include "game/script/best_ref.h"
#include "game/script/df_log.h"
#include "game/script/window_autoreg.h"
#include "game/world/inventory/inventory.h"
#include "game/world/state/gamestate.h"
#include "render/sprite/sprite.h"
#include "render/texture/texture.h"
#include "ui/style/window_style.h"

namespace {

str IconName(const str& base, int i)
{
    return str::getFormatted("%s_%d", base.c_str(), i);
}

// Calls icongen(bag, i) on the stack's top function; the click function it returns, or null.
std::unique_ptr<TLuaFunction> GenerateClick(TLuaFunction& icongen, int bag, int i)
{
    lua_State* L = icongen.GetState();
    icongen.Push();
    lua_pushnumber(L, bag);
    lua_pushnumber(L, i);
    if (!CallReportingErrors(L, 2, 1, "tIconStrip::init"))
        return nullptr;
    if (!lua_isfunction(L, -1)) {
        lua_pop(L, 1);
        return nullptr;
    }
    return std::make_unique<TLuaFunction>(L);
}

}  // namespace

tIconStrip::tIconStrip() = default;
tIconStrip::~tIconStrip() = default;

TWindow* tIconStrip::DynamicCreate()
{
    return new tIconStrip;
}

void tIconStrip::Init(TWindowStyle& style)
{
    TWindow::Init(style);
    mMaxIcons = style.GetInt("maxicons", 0);
    if (mMaxIcons < 0 || mMaxIcons > kMaxIcons) {
        LOGIT("tIconStrip[%s]: maxicons %d is outside 0 to %d\n", GetName().c_str(), mMaxIcons, kMaxIcons);
        mMaxIcons = mMaxIcons < 0 ? 0 : kMaxIcons;
    }
    mIconBase = style.GetString("iconbase", str());
    mBaseX = style.GetInt("ibase_x", 0);
    mGapX = style.GetInt("igap_x", 0);
    mIconHeight = style.GetInt("h", 0);
    mBag = style.GetInt("bag", 0);
    mVisibleIcons = style.GetInt("visibleicons", 0);
    const str halo = style.GetString("halo", str());
    if (!halo.empty() && !(mHaloTexture = BestRef(halo, str())))
        LOGIT("tIconStrip[%s]: no halo picture %s\n", GetName().c_str(), halo.c_str());

    std::unique_ptr<TLuaFunction> icongen(style.GetFunction("icongen"));
    for (int i = 0; i < mMaxIcons; ++i) {
        auto* icon = new tIcon;
        icon->SetName(IconName(mIconBase, i));
        icon->SetPlace(TVec2(float(i * mGapX + mBaseX), 0));
        if (icongen)
            icon->SetFunction(GenerateClick(*icongen, mBag, i));
        AdoptChild(icon, true);
    }
    StartWindowAnimation(20, true, true, false);
}

void tIconStrip::UpdateFromInv(str& label)
{
    if (!mInventory)
        return;
    tInventory& bag = *mInventory;
    bag.UpdateScroll();
    SetWindowPos(int(std::lround(-bag.GetScrollX() * float(mGapX))), int(std::lround(bag.GetScrollY())));
    bag.SetVisibleCount(mVisibleIcons);

    const str base = bag.GetName() + "_obj";
    const str inUse = gGamestate.GetInvUsage();
    const int count = bag.GetInventoryEntryCount();
    for (int i = 0; i < count; ++i) {
        auto* icon = GetCast<tIcon>(GetChildWindow(IconName(base, i), 1));
        if (!icon)
            continue;
        const str key = bag.GetInventoryKeyAbs(i);
        const tInventoryEntry* entry = key.empty() ? nullptr : bag.GetInventoryEntry(key);
        if (!entry) {
            DisableWindow(icon);
            continue;
        }
        std::shared_ptr<TTexture> picture = BestRef(entry->anim, str());
        if (!picture)
            LOGIT("Couldn't find Inventory Anim %s\n", entry->anim.c_str());
        const bool used = key == inUse;
        const bool flying = mAddState != kIdle && key == mAddingItem;
        icon->SetTexture(used || flying || !entry->shown ? nullptr : picture, 1.0f);
        icon->SetAlpha(1.0f);
        EnableWindow(icon);
        icon->SetWindowSize(mGapX, mIconHeight);
        if (used || icon->IsMouseOver())
            label = FormatItemText(entry->text, entry->parameter);
    }
    for (int i = count; i < mMaxIcons; ++i)
        DisableWindow(GetChildWindow(IconName(base, i), 1));
}

TVec2 tIconStrip::StripToScreen(const TVec2& point) const
{
    // The strip's own place moves with the scroll; the point does not.
    TPoint origin(-GetRect().left, -GetRect().top);
    ClientToScreen(&origin);
    return TVec2(float(origin.x) + point.x, float(origin.y) + point.y);
}

// Layouts make these windows by type name.
static const AutoRegEntry autoreg[] = {
    {"tIconStrip", tIconStrip::ClassId(), &tIconStrip::DynamicCreate},
};
