#pragma once
// The demo's high-score and submission layouts on the window tests' recording renderer: the
// assembled data folder (fonts, pictures, strings), the settings with one player on a private
// user folder, and their score tables talking to a scripted score server on 127.0.0.1.

#include <lua.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/config/config.h"
#include "core/strings/string_table.h"
#include "game/interface/layout_fixture.h"
#include "game/screens/hiscore/hiscore.h"
#include "game/screens/settings/settings.h"
#include "game/screens/submit/server_submit.h"
#include "game/script/window_autoreg.h"
#include "game/world/strings/localised_strings.h"
#include "online/http/simple_http.h"
#include "online/scores/zv_hiscores.h"
#include "test_score_server.h"
#include "ui/widgets/button.h"
#include "ui/widgets/text.h"
#include "ui/widgets/widget_services.h"

class ScoreScreenTest : public GameLayoutTest
{
protected:
    static constexpr const char* kFixedError = "Unable to connect to server. Please try again later.";

    void SetUp() override
    {
        GameLayoutTest::SetUp();
        UseAssembledData(TV_ASSETS_RESOURCE_DIR, strings);

        char pattern[] = "/tmp/tv-scorescreen-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        setenv("XDG_DATA_HOME", dir.c_str(), 1);
        TFile::TFolders folders;
        folders.user = dir.c_str();
        folders.common = (dir + "/common").c_str();
        folders.desktop = (dir + "/desktop").c_str();
        TFile::SetFolders(folders);
        TConfig::Clear();
        TConfig::SetConfig(TConfig::kZvGameHandle, "demo");
        TConfig::SetConfig(TConfig::kGameVersion, "1.0");
        TSimpleHttp::SetDefaultTimeout(5000);

        AddAutoRegWindowTypes(wm.get());
        TServerSubmit::Register();
    }
    void TearDown() override
    {
        TSettings::DeleteSettings();
        TConfig::Clear();
        SetWidgetStringTable(nullptr);
        SetGlobalStringTable(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
        GameLayoutTest::TearDown();
    }

    // The settings with the player "ann"; their score tables use the test server, or none. The
    // score tables read "hiscoreserver.txt" from the working directory when they are made.
    TZvHiscores* StartSettings(bool withServer = true)
    {
        if (withServer)
            std::ofstream(dir + "/hiscoreserver.txt") << server.Url() << "\n";
        EXPECT_EQ(chdir(dir.c_str()), 0);
        TSettingsServices services;
        services.script = script->GetState();
        TSettings* settings = TSettings::CreateSettings(services);
        EXPECT_EQ(chdir(TV_ASSETS_RESOURCE_DIR), 0);
        settings->CreateNewUser("ann");
        return settings->GetHiscores();
    }

    void Open(const std::string& file)
    {
        Lua("PushModal('" + file + "'); ReadFile('" + file + "'); DoFitToChildren()");
    }
    THiscore* OpenHiscore()
    {
        Open("layouts/hiscore.lua");
        return GetCast<THiscore>(Find("hiscore"));
    }
    // As the game opens a dialog: DoModal in the window script's coroutine, which waits there
    // running the buttons' commands; what the dialog handed back lands in gOutcome.
    void RunModal(const std::string& file) { wm->DoLuaString(screen, ("gOutcome = DoModal('" + file + "')").c_str()); }
    TServerSubmit* OpenSubmit()
    {
        RunModal("layouts/submit.lua");
        return GetCast<TServerSubmit>(Find("submitdialog"));
    }

    // Presses the layout's button as a click would and delivers what it posted.
    void Press(const char* name)
    {
        TButton* button = GetCast<TButton>(Find(name));
        ASSERT_NE(button, nullptr) << name;
        button->DoPress();
        wm->DispatchMessages();
    }
    std::string Global(const char* name)
    {
        lua_State* L = script->GetState();
        lua_getglobal(L, name);
        std::string value = lua_isnil(L, -1)       ? "nil"
                            : lua_isboolean(L, -1) ? (lua_toboolean(L, -1) ? "true" : "false")
                                                   : lua_tostring(L, -1);
        lua_pop(L, 1);
        return value;
    }

    // The server's answers: a category list, and a table of `rows` scores (rank i named
    // "player<i>"), where the row `own` is the player's (0 for none).
    static TestReply Categories()
    {
        return TestReply::Xml("<hiscore><tables><table table=\"t1\" name=\"Daily\"/>"
                              "<table table=\"t2\" name=\"All time\"/></tables></hiscore>");
    }
    static TestReply Scores(int rows, int own = 0)
    {
        std::string xml = "<hiscore><scores>";
        for (int i = 1; i <= rows; ++i)
            xml += "<score name=\"player" + std::to_string(i) + "\" guid=\"g" + std::to_string(i) + "\" anonymous=\"" +
                   (i % 2 ? "false" : "true") + "\" score=\"" + std::to_string(1000 - i) + "\" rank=\"" +
                   std::to_string(i) + "\"" + (i == own ? " account=\"true\"" : "") + "/>";
        return TestReply::Xml(xml + "</scores></hiscore>");
    }

    TStringTable strings;
    TestScoreServer server;
    std::string dir;
};
