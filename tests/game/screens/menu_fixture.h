#pragma once
// The menu screens on the window script with the game's window types, reading the demo's
// layouts, over settings whose preferences live in a private user folder, a sound manager whose
// volumes can be read back and a string table of the test's own.

#include <filesystem>
#include <memory>
#include <string>

#include "core/config/config.h"
#include "core/prefs/prefs.h"
#include "core/script/df_lua.h"
#include "core/strings/string_table.h"
#include "core/xml/user_folder_fixture.h"
#include "game/interface/layout_fixture.h"
#include "game/screens/settings/settings.h"
#include "game/script/df_log_lua.h"
#include "game/world/state/gamestate.h"
#include "sound/manager/sound_manager.h"
#include "ui/widgets/widget_services.h"

class MenuTest : public GameLayoutTest
{
protected:
    void SetUp() override
    {
        mUserDir = UserFolderTest::UseFreshUserFolder();
        ASSERT_FALSE(mUserDir.empty());
        GameLayoutTest::SetUp();
        TConfig::Clear();
        TConfig::SetConfig(TConfig::kEncryptionKey, "Rw4TnQ8vLpXe");
        sound = std::make_unique<TSoundManager>(TSoundManager::eDevice::kLoopback);
        const std::string sheet = "<?xml version=\"1.0\"?>\n<Workbook><Worksheet><Table><Row>"
                                  "<Cell><Data>welcome</Data></Cell><Cell><Data>Welcome, %1%!</Data></Cell>"
                                  "</Row></Table></Worksheet></Workbook>\n";
        ASSERT_TRUE(strings.MergeStringData(sheet.data(), sheet.size()));
        SetWidgetStringTable(&strings);
        dfLua lua(script->GetState());
        BindLogToLua(lua);
        MakeSettings();
    }
    void TearDown() override
    {
        SetGamePrefs(nullptr);
        TSettings::DeleteSettings();
        SetWidgetStringTable(nullptr);
        GameLayoutTest::TearDown();
        sound.reset();
        TConfig::Clear();
        std::error_code ec;
        std::filesystem::remove_all(mUserDir, ec);
    }

    // Settings on an empty preferences file, and a fresh game state.
    void MakeSettings()
    {
        SetGamePrefs(nullptr);
        TSettings::DeleteSettings();
        std::filesystem::remove(mUserDir + "/prefs.dat");
        // (A kept copy alone would be taken up as the game saved before.)
        std::filesystem::remove(mUserDir + "/prefs.dat.prev");
        TSettingsServices services;
        services.script = script->GetState();
        services.isFullscreen = [this] { return fullscreen; };
        services.setFullscreen = [this](bool on) {
            if (refuseFullscreen)
                return false;
            fullscreen = on;
            return true;
        };
        // As in the program: the settings could show windows of their own.
        services.windows = [this] { return wm.get(); };
        settings = TSettings::CreateSettings(std::move(services));
        SetGamePrefs(settings->GetPrefs());
        gGamestate.clear();
    }
    // A data folder with no files at all.
    void UseEmptyDataFolder()
    {
        ASSERT_EQ(chdir(mUserDir.c_str()), 0);
        TFile::ShutDownFileSystem();
        TFile::TFolders folders;
        folders.user = mUserDir.c_str();
        TFile::SetFolders(folders);
        TFile::ScanFolderForResources("assets", "");
    }
    // The interface coroutine, waiting for messages: button commands run in it.
    void StartInterface() { Lua("return function() while true do WaitForMessage() end end"); }
    // Pops the top modal window and deletes it.
    void CloseTop()
    {
        wm->_PopModal();
        wm->ClearDestroyedWindows();
    }

    // Runs code in the window script (inside the interface coroutine once that runs); its
    // first result as text ("nil" when none).
    std::string Run(const std::string& code)
    {
        if (script->DoLuaString(("gRunResult = (function() " + code + " end)()").c_str(), -1, 0) != 0)
            return "error";
        lua_State* L = script->GetState();
        lua_getglobal(L, "gRunResult");
        std::string result = "nil";
        if (lua_isboolean(L, -1))
            result = lua_toboolean(L, -1) ? "true" : "false";
        else if (!lua_isnil(L, -1) && lua_tostring(L, -1))
            result = lua_tostring(L, -1);
        lua_pop(L, 1);
        return result;
    }
    // Builds a demo layout in a modal window of its own.
    void ReadLayout(const std::string& file) { Lua("PushModal('" + file + "'); ReadFile('" + file + "')"); }
    bool Shown(const char* name)
    {
        TWindow* window = Find(name);
        return window && (window->GetFlags() & TWindow::kEnabled);
    }

    std::unique_ptr<TSoundManager> sound;
    TStringTable strings;
    TSettings* settings = nullptr;
    bool fullscreen = false;
    bool refuseFullscreen = false;  // the display or the window manager says no

private:
    std::string mUserDir;
};
