#include "game/screens/awards/awards_window.h"

#include <algorithm>

#include "core/platform/event.h"
#include "game/script/df_log.h"
#include "game/script/window_autoreg.h"
#include "game/world/awards/awards_manager.h"
#include "game/world/strings/localised_strings.h"
#include "ui/widgets/text.h"
#include "ui/window/modal_window.h"
#include "ui/window/window_manager.h"

namespace {

int SendAwardMessageLua(lua_State* L)
{
    auto* window = static_cast<tAwardsWindow*>(tWindowGlobals::Owner(L));
    if (window && lua_isstring(L, 1))
        window->SendAwardMessage(lua_tostring(L, 1));
    return 0;
}

// The localised text for key, or for `fallback` when the key has none.
str TextOr(const str& key, const char* fallback)
{
    const str text = GlocalisedString(key);
    return IsMissingString(text) ? GlocalisedString(fallback) : text;
}

void SetSiblingText(TWindow* self, const char* name, const str& text)
{
    TWindow* parent = self->GetParent();
    if (TText* window = parent ? GetCast<TText>(parent->GetChildWindow(name, unsigned(-1))) : nullptr)
        window->SetText(text);
}

}  // namespace

str GetAwardNameByIndex(int index)
{
    const tAwardDef* def = gAwardsManager.GetAwardDef(index);
    return def ? def->name : str("oops");
}

tAwardsWindow::tAwardsWindow()
{
    LOGIT("tAwardsWindow::tAwardsWindow(%p)\n", static_cast<void*>(this));
}

tAwardsWindow::~tAwardsWindow()
{
    LOGIT("tAwardsWindow::~tAwardsWindow(%p)\n", static_cast<void*>(this));
}

TWindow* tAwardsWindow::DynamicCreate()
{
    return new tAwardsWindow;
}

void tAwardsWindow::Init(TWindowStyle& style)
{
    mGlobals.Bind("SendAwardMessage", &SendAwardMessageLua);
    StartWindowAnimation(20, true, true, false);
    if (TModalWindow* modal = FindParentModal())
        modal->SetDefaultFocus(this);
    mCount = kAwardCount;
    mIndex = 0;
    dfWindow::Init(style);
}

void tAwardsWindow::PostChildrenInit(TWindowStyle& style)
{
    dfWindow::PostChildrenInit(style);
    SetActiveItem(mIndex);
}

void tAwardsWindow::SetActiveItem(int index)
{
    LOGIT("tAwardsWindow::SetActiveItem(%d)\n", index);
    mIndex = mCount > 0 ? std::clamp(index, 0, mCount - 1) : 0;
    SetActiveItem(GetAwardNameByIndex(mIndex));
    // The layout's arrows follow the keys too.
    CallScriptFunction(
        "UpdateAwardButtons",
        [this](lua_State* L) {
            lua_pushnumber(L, mIndex);
            lua_pushnumber(L, mCount);
            return 2;
        },
        false);
}

void tAwardsWindow::SetActiveItem(const str& name)
{
    LOGIT("tAwardsWindow::SetActiveItem(%s)\n", name.c_str());
    mName = name;
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->InvalidateScreen();
    const str title = TextOr(name + "_title", "award_title_generic");
    const str body = gAwardsManager.HasAward(name) ? TextOr(name + "_body", "award_body_generic")
                                                   : TextOr(name + "_teaser", "award_teaser_generic");
    SetSiblingText(this, "item_body", body);
    SetSiblingText(this, "item_title", title);
}

void tAwardsWindow::SendAwardMessage(const str& message)
{
    // The arrows step within the list: at an end they change nothing.
    if (message == "go_left") {
        if (mIndex > 0)
            SetActiveItem(mIndex - 1);
    } else if (message == "go_right") {
        if (mIndex < mCount - 1)
            SetActiveItem(mIndex + 1);
    } else
        SetActiveItem(message);
}

bool tAwardsWindow::OnKeyDown(char key, unsigned int)
{
    LOGIT("tAwardsWindow::OnKeyDown(%d)\n", int(key));
    if (key == TEvent::kUp) {
        SetActiveItem(mIndex - 1);
        return true;
    }
    if (key == TEvent::kDown) {
        SetActiveItem(mIndex + 1);
        return true;
    }
    return false;
}

// Layouts make these windows by type name.
static const AutoRegEntry autoreg[] = {
    {"tAwardsWindow", tAwardsWindow::ClassId(), &tAwardsWindow::DynamicCreate},
};
