#pragma once
// A window manager on the recording renderer with the window script attached and the game's
// window types registered, reading layouts from the demo's assets. Layout code runs inside a
// modal window pushed for it.

#include <unistd.h>

#include <string>

#include "core/files/file.h"
#include "core/strings/string_table.h"
#include "game/interface/windows/game_window_types.h"
#include "game/script/window_autoreg.h"
#include "game/world/strings/localised_strings.h"
#include "ui/script/window_script.h"
#include "ui/support/ui_test_support.h"
#include "ui/widgets/text.h"
#include "ui/widgets/widget_services.h"

class GameLayoutTest : public UiTest
{
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        mCwd = cwd;
        ASSERT_EQ(chdir(AssetsRoot().c_str()), 0);
        TFile::mResourceDir = str();
        TFile::ScanFolderForResources("assets", "");
        screen = InstallScreen();
        script = new TWindowScript;
        wm->AttachWindowScript(script);
        AddAutoRegWindowTypes(wm.get());
    }
    void TearDown() override
    {
        TFile::ShutDownFileSystem();
        UiTest::TearDown();
        ASSERT_EQ(chdir(mCwd.c_str()), 0);
    }
    // Layouts read the assembled data folder below `resources` (fonts, pictures) and its string
    // table, which becomes the game's and the layouts'; the derived TearDown sets both tables back
    // to null.
    void UseAssembledData(const char* resources, TStringTable& strings)
    {
        ASSERT_EQ(chdir(resources), 0);
        TFile::mResourceMap.clear();
        TFile::ScanFolderForResources("assets", "");
        ASSERT_TRUE(strings.LoadStringTable("strings.xml"));
        SetGlobalStringTable(&strings);
        SetWidgetStringTable(&strings);
        wm->EnableStringTable(true);
    }
    void Lua(const std::string& code) { ASSERT_EQ(script->DoLuaString(code.c_str(), -1, 0), 0) << code; }
    // Builds the layout in a new modal window and returns that window.
    TModalWindow* Layout(const std::string& layout)
    {
        Lua("PushModal('test'); MakeDialog{ " + layout + " }");
        return wm->GetTopModalWindow();
    }
    TWindow* Find(const char* name) { return screen->GetChildWindow(name, unsigned(-1)); }
    // The folder holding the "assets" folder the layouts are read from.
    virtual std::string AssetsRoot() const { return TV_TEST_SOURCE_DIR; }
    // Whether the named window's own enabled flag is set.
    bool Shown(const char* name)
    {
        TWindow* window = Find(name);
        EXPECT_NE(window, nullptr) << name;
        return window && (window->GetFlags() & TWindow::kEnabled);
    }
    std::string TextOf(const char* name)
    {
        TText* text = GetCast<TText>(Find(name));
        EXPECT_NE(text, nullptr) << name;
        return text ? text->GetText().c_str() : "";
    }
    bool LuaTrue(const std::string& expression)
    {
        lua_State* L = script->GetState();
        if (script->DoLuaString(("gCheck = " + expression).c_str(), -1, 0) != 0)
            return false;
        lua_getglobal(L, "gCheck");
        const bool value = lua_toboolean(L, -1);
        lua_pop(L, 1);
        return value;
    }

    TProbeModal* screen = nullptr;
    TWindowScript* script = nullptr;

private:
    std::string mCwd;
};
