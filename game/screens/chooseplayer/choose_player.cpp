#include "game/screens/chooseplayer/choose_player.h"

#include "game/interface/windows/window_helpers.h"
#include "game/screens/settings/settings.h"
#include "render/text/text_escape.h"
#include "ui/widgets/button.h"
#include "game/script/window_autoreg.h"

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
    const int count = settings ? settings->GetNumUsers() : 0;
    const int current = settings ? settings->GetCurrentUser() : -1;
    CallScriptFunction("UpdatePlayerChoices", [&](lua_State* L) {
        lua_pushnumber(L, current);
        lua_pushnumber(L, count);
        lua_newtable(L);
        for (int i = 0; i < std::min(count, kMaxChoices); ++i) {
            const str name = settings->GetUserName(i);
            lua_pushlstring(L, name.c_str(), name.length());
            lua_rawseti(L, -2, i + 1);
        }
        return 3;
    });
    // Whatever the layout made of them, the buttons show the names as typed, never as markup.
    for (int i = 0; i < std::min(count, kMaxChoices); ++i)
        if (auto* button = GetCast<TButton>(GetChildWindow(str::getFormatted("button%d", i), unsigned(-1))))
            button->SetLabel(EscapeMarkup(settings->GetUserName(i)));
}

int TChoosePlayer::GetCurrentSelectedUser()
{
    return FirstButtonOn(this, "button", kMaxChoices);
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
