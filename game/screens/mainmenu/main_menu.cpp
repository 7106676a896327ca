#include "game/screens/mainmenu/main_menu.h"

#include "core/files/file.h"
#include "game/interface/windows/window_helpers.h"
#include "game/screens/settings/settings.h"
#include "game/script/metrics.h"
#include "game/script/window_autoreg.h"
#include "game/world/sound/sfx_manager.h"
#include "game/world/state/gamestate.h"
#include "render/text/text_escape.h"
#include "sound/manager/sound.h"
#include "ui/widgets/text.h"
#include "ui/widgets/widget_services.h"

namespace {

constexpr const char* kMusic = "audio/music/mainmenumusic";
constexpr const char* kXSellCatalogue = "xsell/xsell.xml";

// The greeting with the name put in afterwards: the string table reads an argument that starts
// with "%" as a reference, and a name shows as typed, never as markup.
str Greeting(const str& name)
{
    static const str kSlot("\x01");
    str text = LookupString("welcome", kSlot);
    text.replace(kSlot, EscapeMarkup(name), str::kAll);
    return text;
}

int SetWelcomeNameLua(lua_State* L)
{
    static_cast<TMainMenu*>(tWindowGlobals::Owner(L))->SetWelcomeName();
    return 0;
}

}  // namespace

TMainMenu::TMainMenu()
{
    g_SFXManager.KillAll();
    mMusic = TSound::Get(kMusic, false, kGroupMusic);
    if (mMusic)
        mMusic->Play(true);
    mGlobals.Bind("SetWelcomeName", &SetWelcomeNameLua);
    MET_BeginMainMenu();
}

TMainMenu::~TMainMenu()
{
    MET_EndMainMenu();
    mMusic.reset();
}

TWindow* TMainMenu::DynamicCreate()
{
    return new TMainMenu;
}

void TMainMenu::SetWindowEnable(const char* name, bool show)
{
    if (TWindow* child = GetChildWindow(name, unsigned(-1)))
        ::SetWindowEnable(child, show);
}

void TMainMenu::SetWelcomeName()
{
    const TSettings* settings = TSettings::GetInstance();
    if (settings && settings->GetNumUsers() > 0) {
        if (auto* welcome = GetCast<TText>(GetChildWindow("welcome", unsigned(-1))))
            welcome->SetText(Greeting(settings->GetCurrentUserName()));
    } else {
        for (const char* name : {"welcome", "changeplayer", "load_game", "resume_game"})
            SetWindowEnable(name, false);
    }
    SetWindowEnable("load_game", lf_IsSavedGamePresent());
}

void TMainMenu::PostChildrenInit(TWindowStyle& style)
{
    SetWelcomeName();
    TWindow::PostChildrenInit(style);
    if (!TFile::Exists(kXSellCatalogue))
        SetWindowEnable("moregames", false);
}

// Layouts make these windows by type name.
static const AutoRegEntry autoreg[] = {
    {"TMainMenu", TMainMenu::ClassId(), &TMainMenu::DynamicCreate},
};
