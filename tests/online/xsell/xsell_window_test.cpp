// The cross-sell window made by type name from a layout table: entries, links, disabled
// parts, centring, the Lua functions and what happens once the window is gone.

#include "core/files/file.h"
#include "core/script/lua_table.h"
#include "online/xsell/xsell_window.h"
#include "ui/style/window_style.h"
#include "ui/widgets/text.h"
#include "ui/window/window_manager.h"
#include "ui/window/window_script_base.h"

#include <gtest/gtest.h>
#include <lua.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// The window system's text widget, keeping what it is given instead of laying it out.
class TTestText : public TText
{
    TV_CLASS(TTestText, TText)

public:
    void Init(TWindowStyle& style) override { TWindow::Init(style); }
    void SetText(str value) override
    {
        text = value.c_str();
        written = true;
    }

    std::string text;
    bool written = false;
};

TV_REGISTER_WINDOW(TTestText, []() -> TWindow* { return new TTestText; });

struct TGame
{
    std::string description, linkText, link;
};

std::string XSellXml(const std::vector<TGame>& games, const char* siteLink, bool centreText = true)
{
    std::string xml = "<?xml version=\"1.0\"?>\n<xsell>\n";
    if (centreText)
        xml += " <centertext text1=\"More games\" text2=\"from the same makers\"/>\n";
    for (const TGame& g : games)
        xml += " <gameinfo description=\"" + g.description + "\" linktext=\"" + g.linkText + "\" link=\"" + g.link +
               "\"/>\n";
    if (siteLink)
        xml += std::string(" <sitelink link=\"") + siteLink + "\"/>\n";
    return xml + "</xsell>\n";
}

std::vector<TGame> Games(int n)
{
    std::vector<TGame> games;
    for (int i = 1; i <= n; ++i)
        games.push_back({"Game " + std::to_string(i), "Play now", "https://games.example/" + std::to_string(i)});
    return games;
}

// Seven description and button pairs, the logos, the site button and the two centre texts.
std::string LayoutTable(const char* descriptionType = "Text")
{
    std::string t = "layout = { type = 'XSellWindow', name = 'xsell', x = 0, y = 0, w = 800, h = 600,\n";
    for (int n = 1; n <= 7; ++n) {
        const std::string y = std::to_string(n * 60);
        t += std::string("  { type = '") + descriptionType + "', name = 'descrip" + std::to_string(n) +
             "', x = 100, y = " + y + ", w = 400, h = 40 },\n";
        t += "  { type = 'Window', name = 'xsellbutton" + std::to_string(n) + "', x = 600, y = " + y +
             ", w = 41, h = 21 },\n";
    }
    t += "  { type = 'Window', name = 'sitelogo', x = 400, y = 30, w = 200, h = 51 },\n"
         "  { type = 'Window', name = 'vantorelllogo', x = 100, y = 560, w = 80, h = 40 },\n"
         "  { type = 'Window', name = 'gamesite', x = 700, y = 560, w = 60, h = 20 },\n"
         "  { type = 'Text', name = 'centertext1', x = 10, y = 500, w = 300, h = 20 },\n"
         "  { type = 'Text', name = 'centertext2', x = 10, y = 520, w = 300, h = 20 },\n"
         "}\n";
    return t;
}

class XSellTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        wm = std::make_unique<TWindowManager>();
        script = new TWindowScriptBase;
        wm->AttachWindowScript(script);
        script->AddWindowType("Text", TTestText::ClassId());
        script->AddWindowType("Window", TWindow::ClassId());
        ASSERT_TRUE(RegisterXSellWindowType(wm.get()));
        TXSellWindow::SetLinkOpener([this](const char* url) {
            opened.push_back(url);
            return true;
        });
    }
    void TearDown() override
    {
        windows.clear();
        TXSellWindow::SetLinkOpener(nullptr);
        TFile::AddMemoryFile("xsell/xsell.xml", nullptr, 0);
        wm.reset();
    }

    void UseFile(const std::string& xml)
    {
        TFile::AddMemoryFile("xsell/xsell.xml", nullptr, 0);
        file = xml;
        TFile::AddMemoryFile("xsell/xsell.xml", file.data(), unsigned(file.size()));
    }
    void Lua(const std::string& code) { ASSERT_EQ(script->DoLuaString(code.c_str()), 0) << code; }

    // Makes the window tree the layout table describes, each window by its type name.
    TXSellWindow* FromLayout(const std::string& table = LayoutTable())
    {
        Lua(table);
        lua_State* L = script->GetState();
        lua_getglobal(L, "layout");
        TLuaTable layout(L);
        windows.emplace_back(Build(layout, nullptr));
        return GetCast<TXSellWindow>(windows.back().get());
    }
    TWindow* Build(TLuaTable& table, TWindow* parent)
    {
        lua_State* L = script->GetState();
        table.PushValue("type");
        const str type = lua_tostring(L, -1);
        lua_pop(L, 1);
        TWindow* window = TWindow::CreateFromId(script->GetWindowType(type));
        EXPECT_NE(window, nullptr) << type.c_str();
        if (!window)
            return nullptr;
        if (parent)
            parent->AdoptChild(window, true);
        TWindowStyle style(&table);
        window->Init(style);
        for (int i = 1;; ++i) {
            std::unique_ptr<TLuaTable> child(table.GetTable(i));
            if (!child)
                break;
            Build(*child, window);
        }
        window->PostChildrenInit(style);
        return window;
    }

    TWindow* Part(TXSellWindow* w, const std::string& name) { return w->GetChildWindow(name.c_str(), unsigned(-1)); }
    bool Enabled(TXSellWindow* w, const std::string& name) { return Part(w, name)->GetFlags() & TWindow::kEnabled; }
    std::string Text(TXSellWindow* w, const std::string& name) { return GetCast<TTestText>(Part(w, name))->text; }

    std::unique_ptr<TWindowManager> wm;
    TWindowScriptBase* script = nullptr;
    std::vector<std::unique_ptr<TWindow>> windows;
    std::vector<std::string> opened;
    std::string file;
};

TEST_F(XSellTest, RegisteredUnderItsTypeName)
{
    EXPECT_EQ(script->GetWindowType("XSellWindow"), TXSellWindow::ClassId());
    std::unique_ptr<TWindow> w(TWindow::CreateFromId(TXSellWindow::ClassId()));
    ASSERT_NE(w, nullptr);
    EXPECT_STREQ(w->GetTypeName(), "TXSellWindow");
    EXPECT_TRUE(w->IsKindOf(TXSellWindow::ClassId()));
    EXPECT_TRUE(w->IsKindOf(TWindow::ClassId()));
    EXPECT_FALSE(w->IsKindOf(TTestText::ClassId()));
    EXPECT_EQ(FindWindowClass("TXSellWindow"), TXSellWindow::ClassId());

    TWindowManager bare;
    EXPECT_FALSE(RegisterXSellWindowType(&bare));
    EXPECT_FALSE(RegisterXSellWindowType(nullptr));
}

TEST_F(XSellTest, ThreeEntriesFromALayout)
{
    UseFile(XSellXml(Games(3), "https://site.example/"));
    TXSellWindow* w = FromLayout();
    ASSERT_NE(w, nullptr);
    Lua("SetupXSell()");

    EXPECT_EQ(Text(w, "descrip1"), "Game 1 <u><font color=\"003cff\"><a id='xsellbutton1'>Play now</a></font></u>");
    EXPECT_EQ(Text(w, "descrip3"), "Game 3 <u><font color=\"003cff\"><a id='xsellbutton3'>Play now</a></font></u>");
    for (int n = 1; n <= 7; ++n) {
        const bool used = n <= 3;
        EXPECT_EQ(Enabled(w, "descrip" + std::to_string(n)), used) << n;
        EXPECT_EQ(Enabled(w, "xsellbutton" + std::to_string(n)), used) << n;
        EXPECT_EQ(std::string(w->GetGameLink(n).c_str()), used ? "https://games.example/" + std::to_string(n) : "");
    }
    EXPECT_FALSE(GetCast<TTestText>(Part(w, "descrip4"))->written);
    EXPECT_EQ(std::string(w->GetSiteLink().c_str()), "https://site.example/");
    EXPECT_TRUE(Enabled(w, "gamesite"));
    EXPECT_EQ(Text(w, "centertext1"), "More games");
    EXPECT_EQ(Text(w, "centertext2"), "from the same makers");

    // The layout gave these windows by their centre points.
    EXPECT_EQ(Part(w, "xsellbutton1")->GetRect(), TRect(580, 50, 621, 71));
    EXPECT_EQ(Part(w, "xsellbutton7")->GetRect(), TRect(580, 410, 621, 431));
    EXPECT_EQ(Part(w, "sitelogo")->GetRect(), TRect(300, 5, 500, 56));
    EXPECT_EQ(Part(w, "vantorelllogo")->GetRect(), TRect(60, 540, 140, 580));
    EXPECT_EQ(Part(w, "gamesite")->GetRect(), TRect(670, 550, 730, 570));
    // Text windows stay where they are.
    EXPECT_EQ(Part(w, "descrip1")->GetRect(), TRect(100, 60, 500, 100));

    Lua("LaunchGameLink(2) LaunchGameLink(0)");
    EXPECT_EQ(opened, (std::vector<std::string>{"https://games.example/2", "https://site.example/"}));
}

TEST_F(XSellTest, EightEntriesKeepTheFirstSeven)
{
    UseFile(XSellXml(Games(8), "https://site.example/"));
    TXSellWindow* w = FromLayout();
    testing::internal::CaptureStderr();
    Lua("SetupXSell()");
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("more than 7 games"), std::string::npos) << log;
    for (int n = 1; n <= 7; ++n) {
        EXPECT_TRUE(Enabled(w, "descrip" + std::to_string(n)));
        EXPECT_TRUE(Enabled(w, "xsellbutton" + std::to_string(n)));
        EXPECT_EQ(std::string(w->GetGameLink(n).c_str()), "https://games.example/" + std::to_string(n));
    }
    EXPECT_EQ(Text(w, "descrip7").rfind("Game 7 ", 0), 0u);
    EXPECT_TRUE(w->GetGameLink(8).empty());
    Lua("LaunchGameLink(8) LaunchGameLink(-1) LaunchGameLink('x') LaunchGameLink() LaunchGameLink(7)");
    EXPECT_EQ(opened, std::vector<std::string>{"https://games.example/7"});
}

TEST_F(XSellTest, EmptyLinkTextAndNoSiteLink)
{
    std::vector<TGame> games = Games(2);
    games[1].linkText = "";
    UseFile(XSellXml(games, nullptr, false));
    TXSellWindow* w = FromLayout();
    Lua("SetupXSell()");
    EXPECT_EQ(Text(w, "descrip2"), "Game 2");
    EXPECT_EQ(std::string(w->GetGameLink(2).c_str()), "https://games.example/2");
    EXPECT_FALSE(Enabled(w, "gamesite"));
    EXPECT_FALSE(GetCast<TTestText>(Part(w, "centertext1"))->written);
    testing::internal::CaptureStderr();
    Lua("LaunchGameLink(0)");
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(opened.empty());
    EXPECT_NE(log.find("no address"), std::string::npos) << log;
}

TEST_F(XSellTest, LinkTextCannotOpenMarkup)
{
    EXPECT_EQ(std::string(XSellDescriptionMarkup("<b>Bold</b> game", "a<u>b\\c", "xsellbutton4").c_str()),
              "<b>Bold</b> game <u><font color=\"003cff\"><a id='xsellbutton4'>a\\<u>b\\\\c</a></font></u>");
    EXPECT_EQ(std::string(XSellDescriptionMarkup("Plain", "", "xsellbutton1").c_str()), "Plain");
}

TEST_F(XSellTest, MissingFileDisablesEveryEntry)
{
    TXSellWindow* w = FromLayout();
    Lua("SetupXSell()");
    for (int n = 1; n <= 7; ++n) {
        EXPECT_FALSE(Enabled(w, "descrip" + std::to_string(n)));
        EXPECT_FALSE(Enabled(w, "xsellbutton" + std::to_string(n)));
        EXPECT_TRUE(w->GetGameLink(n).empty());
    }
    EXPECT_TRUE(w->GetSiteLink().empty());

    // A document with another root reads the same.
    UseFile("<games><gameinfo description=\"x\" link=\"https://x.example/\"/></games>");
    Lua("SetupXSell()");
    EXPECT_TRUE(w->GetGameLink(1).empty());
}

TEST_F(XSellTest, DescriptionThatIsNoTextWindowStillKeepsItsLink)
{
    UseFile(XSellXml(Games(2), "https://site.example/"));
    TXSellWindow* w = FromLayout(LayoutTable("Window"));
    testing::internal::CaptureStderr();
    Lua("SetupXSell()");
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("descrip1 is not a text window"), std::string::npos) << log;
    EXPECT_EQ(std::string(w->GetGameLink(1).c_str()), "https://games.example/1");
    EXPECT_EQ(std::string(w->GetGameLink(2).c_str()), "https://games.example/2");
}

TEST_F(XSellTest, SecondSetupDoesNotMoveTheButtonsAgain)
{
    UseFile(XSellXml(Games(3), "https://site.example/"));
    TXSellWindow* w = FromLayout();
    Lua("SetupXSell()");
    const TRect once = Part(w, "xsellbutton2")->GetRect();
    UseFile(XSellXml(Games(1), "https://other.example/"));
    Lua("SetupXSell()");
    EXPECT_EQ(Part(w, "xsellbutton2")->GetRect(), once);
    // The second file's entries replace the first's.
    EXPECT_TRUE(w->GetGameLink(2).empty());
    EXPECT_FALSE(Enabled(w, "descrip2"));
    EXPECT_EQ(std::string(w->GetSiteLink().c_str()), "https://other.example/");
}

TEST_F(XSellTest, LuaFunctionsFollowTheNewestLiveWindow)
{
    UseFile(XSellXml(Games(1), "https://site.example/"));
    TXSellWindow* first = FromLayout();
    TXSellWindow* second = FromLayout();
    EXPECT_EQ(TXSellWindow::GetCurrent(), second);
    Lua("SetupXSell()");
    EXPECT_TRUE(first->GetGameLink(1).empty());
    EXPECT_FALSE(second->GetGameLink(1).empty());

    windows.pop_back();
    EXPECT_EQ(TXSellWindow::GetCurrent(), first);
    Lua("SetupXSell() LaunchGameLink(1)");
    EXPECT_EQ(std::string(first->GetGameLink(1).c_str()), "https://games.example/1");
    EXPECT_EQ(opened, std::vector<std::string>{"https://games.example/1"});

    windows.clear();
    EXPECT_EQ(TXSellWindow::GetCurrent(), nullptr);
    testing::internal::CaptureStderr();
    Lua("SetupXSell() LaunchGameLink(1)");
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("SetupXSell: no cross-sell window"), std::string::npos) << log;
    EXPECT_NE(log.find("LaunchGameLink: no cross-sell window"), std::string::npos) << log;
    EXPECT_EQ(opened.size(), 1u);
}

}  // namespace
