#include "game/screens/chooseplayer/choose_player.h"

#include "core/prefs/prefs.h"
#include "game/interface/windows/window_helpers.h"
#include "game/screens/settings/settings.h"
#include "game/script/window_autoreg.h"
#include "render/text/text_escape.h"
#include "ui/widgets/button.h"

#include <algorithm>

namespace {

TChoosePlayer* Self(lua_State* L)
{
    return static_cast<TChoosePlayer*>(tWindowGlobals::Owner(L));
}

int SetPlayerChoicesLua(lua_State* L)
{
    Self(L)->SetPlayerChoices();
    return 0;
}

int ShowPlayerPageLua(lua_State* L)
{
    Self(L)->ShowPlayerPage(lua_isnumber(L, 1) ? int(lua_tonumber(L, 1)) : 0);
    return 0;
}

int GetCurrentSelectedUserLua(lua_State* L)
{
    lua_pushnumber(L, Self(L)->GetCurrentSelectedUser());
    return 1;
}

int GetSelectedPlayerNameLua(lua_State* L)
{
    const TSettings* settings = TSettings::GetInstance();
    const str name = settings ? settings->GetUserName(Self(L)->GetCurrentSelectedUser()) : str();
    lua_pushlstring(L, name.c_str(), name.length());
    return 1;
}

}  // namespace

TChoosePlayer::TChoosePlayer()
{
    mGlobals.Bind("SetPlayerChoices", &SetPlayerChoicesLua);
    mGlobals.Bind("ShowPlayerPage", &ShowPlayerPageLua);
    mGlobals.Bind("GetCurrentSelectedUser", &GetCurrentSelectedUserLua);
    mGlobals.Bind("GetSelectedPlayerName", &GetSelectedPlayerNameLua);
}

TWindow* TChoosePlayer::DynamicCreate()
{
    return new TChoosePlayer;
}

void TChoosePlayer::SetPlayerChoices()
{
    const TSettings* settings = TSettings::GetInstance();
    const int current = settings ? settings->GetCurrentUser() : -1;
    mFirst = current > 0 ? current - current % kMaxChoices : 0;
    ShowPage();
}

void TChoosePlayer::ShowPlayerPage(int step)
{
    const TSettings* settings = TSettings::GetInstance();
    const int pages = settings ? (settings->GetNumUsers() + kMaxChoices - 1) / kMaxChoices : 0;
    if (pages > 0) {
        const int page = (mFirst / kMaxChoices + step % pages + pages) % pages;
        mFirst = page * kMaxChoices;
    }
    ShowPage();
}

void TChoosePlayer::ShowPage()
{
    const TSettings* settings = TSettings::GetInstance();
    const int count = settings ? settings->GetNumUsers() : 0;
    const int current = settings ? settings->GetCurrentUser() : -1;
    mFirst = std::clamp(mFirst, 0, std::max(count - 1, 0) / kMaxChoices * kMaxChoices);
    const int shown = std::clamp(count - mFirst, 0, int(kMaxChoices));
    CallScriptFunction("UpdatePlayerChoices", [&](lua_State* L) {
        lua_pushnumber(L, current);
        lua_pushnumber(L, count);
        lua_newtable(L);
        for (int i = 0; i < shown; ++i) {
            const str name = settings->GetUserName(mFirst + i);
            lua_pushlstring(L, name.c_str(), name.length());
            lua_rawseti(L, -2, i + 1);
        }
        lua_pushnumber(L, mFirst);
        lua_pushboolean(L, count < int(TPrefs::kMaxSlotIndex));
        return 5;
    });
    // Whatever the layout made of them, the buttons show the names as typed, never as markup.
    for (int i = 0; i < shown; ++i)
        if (auto* button = GetCast<TButton>(GetChildWindow(str::getFormatted("button%d", i), unsigned(-1))))
            button->SetLabel(EscapeMarkup(settings->GetUserName(mFirst + i)));
}

int TChoosePlayer::GetCurrentSelectedUser()
{
    // With none on, profile 0 on every page.
    const int on = FirstButtonOn(this, "button", kMaxChoices, -1);
    return on < 0 ? 0 : mFirst + on;
}

void TChoosePlayer::PostChildrenInit(TWindowStyle& style)
{
    TWindow::PostChildrenInit(style);
    SetPlayerChoices();
}

// Layouts make these windows by type name.
static const AutoRegEntry autoreg[] = {
    {"TChoosePlayer", TChoosePlayer::ClassId(), &TChoosePlayer::DynamicCreate},
};
