// Lua window layouts: windows created by type name from layout files, the coroutine that waits
// for messages, dialogs, and the layout vocabulary of the built-in library.

#include "common/log_capture.h"
#include "core/files/file.h"
#include "core/script/message.h"
#include "core/strings/string_table.h"
#include "ui/script/window_functions.h"
#include "ui/script/window_script.h"
#include "ui/support/ui_test_support.h"
#include "ui/widgets/button.h"
#include "ui/widgets/text.h"
#include "ui/widgets/widget_services.h"
#include "ui/window/dialog.h"
#include "ui/window/message_types.h"

#include <unistd.h>

#include <cstring>

#include <string>
#include <vector>

namespace {

class ScriptTest : public UiTest
{
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        mCwd = cwd;
        ASSERT_EQ(chdir((std::string(TV_TEST_SOURCE_DIR) + "/tests/ui/script/data").c_str()), 0);
        // Layouts are read through the file layer, from the data folder's "assets".
        TFile::mResourceDir = str();
        TFile::ScanFolderForResources("assets", "");
        screen = InstallScreen();
        script = new TWindowScript;
        wm->AttachWindowScript(script);
        const std::string sheet = "<Row><Cell><Data>title</Data></Cell><Cell><Data>Main Menu</Data></Cell></Row>";
        ASSERT_TRUE(strings.MergeStringData(sheet.data(), sheet.size()));
        SetWidgetStringTable(&strings);
        TDialog::SetBrowserOpener([this](const char* url) {
            opened.push_back(url);
            return true;
        });
    }
    void TearDown() override
    {
        TDialog::SetBrowserOpener(nullptr);
        SetWidgetStringTable(nullptr);
        TFile::ShutDownFileSystem();
        UiTest::TearDown();
        ASSERT_EQ(chdir(mCwd.c_str()), 0);
    }
    void Lua(const char* code) { ASSERT_EQ(script->DoLuaString(code, -1, 0), 0) << code; }
    std::string Global(const char* name)
    {
        lua_State* L = script->GetState();
        lua_pushstring(L, name);
        lua_rawget(L, LUA_GLOBALSINDEX);
        const char* text = lua_tostring(L, -1);
        std::string value = lua_isnil(L, -1)       ? "nil"
                            : lua_isboolean(L, -1) ? (lua_toboolean(L, -1) ? "true" : "false")
                            : text                 ? text
                                                   : "?";
        lua_pop(L, 1);
        return value;
    }
    TWindow* Find(const char* name) { return screen->GetChildWindow(name, unsigned(-1)); }
    void Idle()
    {
        now += 20;
        Send(TEvent::kIdle);
    }
    void Click(TWindow* window)
    {
        TRect r;
        window->GetWindowRect(&r);
        // A move first, as a real pointer makes: the window left before hears it.
        Send(TEvent::kMouseMove, r.left + 2, r.top + 2);
        Send(TEvent::kMouseDown, r.left + 2, r.top + 2);
        Send(TEvent::kMouseUp, r.left + 2, r.top + 2);
    }

    TProbeModal* screen = nullptr;
    TWindowScript* script = nullptr;
    TStringTable strings;
    std::vector<std::string> opened;
    std::string mCwd;
};

TEST_F(ScriptTest, LayoutFileBuildsTheWindowTreeByTypeName)
{
    wm->EnableStringTable(true);
    Lua("gId = PushModal('menu'); ReadFile('layouts/menu.lua')");
    TModalWindow* menu = wm->GetTopModalWindow();
    ASSERT_NE(menu, screen);
    EXPECT_EQ(menu->GetName(), str("menu"));
    EXPECT_EQ(Global("gId"), std::string(WindowIdText(menu->GetId()).c_str()));
    EXPECT_EQ(Global("gId").size(), 8u);

    TWindow* a = menu->GetChildWindow("a", 1);
    ASSERT_NE(a, nullptr);
    EXPECT_STREQ(a->GetTypeName(), "TWindow");
    EXPECT_EQ(a->GetRect(), TRect(10, 20, 310, 220));
    auto* b = GetCast<TButton>(a->GetChildWindow("b", 1));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->GetParent(), a);
    EXPECT_EQ(b->GetLabel(), str("Play"));
    auto* caption = GetCast<TText>(a->GetChildWindow("caption", 1));
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->GetText(), str("Main Menu"));
    EXPECT_EQ(GetCast<TText>(a->GetChildWindow("number", 1))->GetText(), str("3.5"));
    // Building is over: the modal window is current again.
    EXPECT_EQ(script->GetCurrentWindow(), menu);
    EXPECT_EQ(script->GetWindowStackDepth(), 1u);
    EXPECT_EQ(Global("gDialogWidth"), "200");

    Lua("gLabel = GetLabel('b'); gMissing = GetLabel('zz'); gWrong = GetLabel('a')");
    EXPECT_EQ(Global("gLabel"), "Play");
    EXPECT_EQ(Global("gMissing"), "zz_is_not_found");
    EXPECT_EQ(Global("gWrong"), "a_is_not_a_TText_window_or_TButton");

    Lua("DoPopModal(gId)");
    EXPECT_EQ(wm->GetTopModalWindow(), screen);
}

TEST_F(ScriptTest, LabelsAreShownAsWrittenWhileLookupIsOff)
{
    Lua("PushModal('menu'); ReadFile('layouts/menu.lua')");
    EXPECT_EQ(GetCast<TText>(Find("caption"))->GetText(), str("title"));
}

// A screen file that makes no window (no bytes, or comments only) would be a blank screen that
// answers nothing: it is refused as one that does not open, and the screen opened for it goes.
// A script's own loadfile still takes the file.
TEST_F(ScriptTest, AScreenThatMakesNoWindowIsRefusedAndItsScreenGoes)
{
    for (const char* show : {"DoModal('layouts/empty.lua')", "DoModal('layouts/blank.lua')",
                             "DisplayDialog{'layouts/blank.lua'}"}) {
        SCOPED_TRACE(show);
        TLogCapture log;
        Lua((std::string("gGot = ") + show).c_str());
        EXPECT_EQ(wm->GetTopModalWindow(), screen);
        EXPECT_EQ(Global("gGot"), "nil");
        EXPECT_NE(log.Text().find(" makes no window"), std::string::npos) << log.Text();
    }
    Lua("gGot = type(loadfile('assets/layouts/empty.lua'))");
    EXPECT_EQ(Global("gGot"), "function");
}

TEST_F(ScriptTest, UnknownTypeCreatesNothingAndItsChildrenLandInTheCurrentWindow)
{
    Lua("PushModal('odd'); ReadFile('layouts/unknown.lua')");
    TModalWindow* top = wm->GetTopModalWindow();
    // The table's name renames the current window; no window of that type exists.
    EXPECT_EQ(top->GetName(), str("g"));
    EXPECT_EQ(top->GetChildWindow("g", unsigned(-1)), top);
    TWindow* orphan = top->GetChildWindow("orphan", unsigned(-1));
    ASSERT_NE(orphan, nullptr);
    EXPECT_EQ(orphan->GetParent(), top);
}

TEST_F(ScriptTest, DoModalReturnsTheValueSetOnClose)
{
    Lua("return function() gResult = DoModal('layouts/dialog.lua'); gDone = true end");
    ASSERT_TRUE(script->IsWaitingForMessage());
    TWindow* ok = Find("ok");
    ASSERT_NE(ok, nullptr);
    Click(ok);
    Idle();
    Idle();
    EXPECT_EQ(Global("gDone"), "true");
    EXPECT_EQ(Global("gResult"), "ok");
    EXPECT_EQ(Global("gReturnValue"), "nil");
    EXPECT_EQ(wm->GetTopModalWindow(), screen);
}

// Buttons whose pictures are missing take the size of their label's text and a frame whose
// picture is missing the size of what it holds, so the player can still answer; a button given
// a size keeps it.
TEST_F(ScriptTest, ADialogWithoutItsPicturesStillOffersItsButtons)
{
    const struct
    {
        const char* name;
        int minWidth;  // the label's text is at least this wide
    } cases[] = {{"yes", 60}, {"no", 20}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Lua("return function() gResult = DoModal('layouts/pictureless.lua') end");
        auto* button = GetCast<TButton>(Find(c.name));
        ASSERT_NE(button, nullptr);
        EXPECT_GE(button->GetWindowWidth(), c.minWidth);
        EXPECT_LT(button->GetWindowWidth(), 200);
        EXPECT_GE(button->GetWindowHeight(), 10);
        EXPECT_LT(button->GetWindowHeight(), 50);
        // The text lies inside the button.
        auto* label = GetCast<TText>(button->GetChildWindow("label", 1));
        ASSERT_NE(label, nullptr);
        TRect text;
        label->GetTextBounds(&text);
        const TRect& at = label->GetRect();
        EXPECT_GE(at.left + text.left, 0);
        EXPECT_GE(at.top + text.top, 0);
        EXPECT_LE(at.left + text.right, button->GetWindowWidth());
        EXPECT_LE(at.top + text.bottom, button->GetWindowHeight());
        EXPECT_EQ(Find("sized")->GetRect(), TRect(300, 10, 350, 30));
        TWindow* frame = Find("frame");
        EXPECT_GE(frame->GetWindowWidth(), 350);
        EXPECT_EQ(frame->GetWindowHeight(), button->GetRect().bottom);
        // Centred with the size it took.
        EXPECT_EQ(frame->GetRect().left, (screen->GetWindowWidth() - frame->GetWindowWidth()) / 2);
        Idle();  // seen before it is answered
        Click(button);
        Idle();
        Idle();
        EXPECT_EQ(Global("gResult"), c.name);
        EXPECT_EQ(wm->GetTopModalWindow(), screen);
    }
}

TEST_F(ScriptTest, ModalReturnAndCloseWindowFromACommand)
{
    Lua("return function() gResult = DoModal('layouts/dialog.lua') end");
    Lua("SetCommand('ok', function() CloseWindow('chosen') end)");
    auto* ok = GetCast<TButton>(Find("ok"));
    ASSERT_NE(ok, nullptr);
    ok->SetClose(false);
    Click(ok);
    Idle();
    Idle();
    EXPECT_EQ(Global("gResult"), "chosen");
}

TEST_F(ScriptTest, MessagesQueuedWithoutACoroutineComeBackNewestFirst)
{
    wm->OnScriptMessage(new TMessage(kGeneric, "first", nullptr), nullptr);
    wm->OnScriptMessage(new TMessage(kGeneric, "second", nullptr), nullptr);
    Lua("return function() gA = WaitForMessage().name; gB = WaitForMessage().name end");
    EXPECT_EQ(Global("gA"), "second");
    EXPECT_EQ(Global("gB"), "first");
}

TEST_F(ScriptTest, MessageArrivingDuringAPlainYieldIsQueuedNotLost)
{
    Lua("return function() Yield(); gGot = WaitForMessage().name end");
    ASSERT_TRUE(script->IsSuspended());
    EXPECT_FALSE(script->IsWaitingForMessage());
    wm->OnScriptMessage(new TMessage(kGeneric, "kept", nullptr), nullptr);
    EXPECT_EQ(Global("gGot"), "nil");
    script->Animate();
    EXPECT_EQ(Global("gGot"), "kept");
}

TEST_F(ScriptTest, WaitingCoroutineGetsMessageAndCommand)
{
    Lua("return function() local m = WaitForMessage(); gNoMessage = m == nil;"
        " while true do m = WaitForMessage(); if m then gName = m.name; gType = m.type end end end");
    // Code run while the coroutine waits runs inside it, as a command without a message.
    script->DoLuaString("gCommandRan = 1", -1, 0);
    EXPECT_EQ(Global("gCommandRan"), "1");
    EXPECT_EQ(Global("gNoMessage"), "true");
    EXPECT_TRUE(script->IsWaitingForMessage());

    auto* command = new TButton;
    command->SetName("cmd");
    wm->GetTopModalWindow()->AdoptChild(command, true);
    Lua("SetCommand('cmd', function() gCommandName = GetButtonName() end)");
    EXPECT_FALSE(command->DoCommand());
    // The command ran inside the coroutine with a command-only message.
    EXPECT_EQ(Global("gCommandName"), "cmd");
    EXPECT_EQ(Global("gType"), "8");
    EXPECT_EQ(Global("gName"), "LuaAction:cmd");
    // The press message is still queued for the next dispatch.
    ASSERT_EQ(wm->GetMessageQueue().size(), 1u);
    EXPECT_EQ(wm->GetMessageQueue().front()->GetType(), kButtonPress);
}

TEST_F(ScriptTest, TimedWaitWakesWithoutAMessage)
{
    Lua("return function() gFirst = WaitForMessage(50); gWoke = true end");
    EXPECT_EQ(Global("gWoke"), "nil");
    script->Animate();
    EXPECT_EQ(Global("gWoke"), "true");
    EXPECT_EQ(Global("gFirst"), "nil");
}

TEST_F(ScriptTest, AWaitInAScriptsOwnCoroutineYieldsToItsResumerAsAWait)
{
    // Not a driver of the interface: the wait is the script's, its delay the script task's.
    Lua("gYieldResult = 'kept'\n"
        "local t = coroutine.create(function() WaitForMessage(70) end)\n"
        "gResumed, gGave = coroutine.resume(t)\n"
        "gStatus = coroutine.status(t)");
    EXPECT_EQ(Global("gResumed"), "true");
    EXPECT_EQ(Global("gGave"), "kept");
    EXPECT_EQ(Global("gStatus"), "suspended");
    EXPECT_EQ(script->GetTimeUntilReady(), -70);  // due in 70 ms
}

TEST_F(ScriptTest, DialogWaitsForItsCloseMessageAndShowsTextsAsWritten)
{
    const char* ok = "MakeDialog{ Window{ name = 'dlg', w = 300, h = 100,"
                     " Text{ name = 'body', label = gDialogTable.body, w = 300, h = 40 },"
                     " Text{ name = 'title', label = gDialogTable.title, y = 40, w = 300, h = 20 },"
                     " Button{ name = 'ok', y = 60, w = 80, h = 30, close = true },"
                     " Button{ name = 'http=https://example.org/help', x = 100, y = 60, w = 80, h = 30 } } }";
    TFile::AddMemoryFile("scripts/ok.lua", ok, static_cast<unsigned>(std::strlen(ok)));
    Lua("gSeen = {}; return function() while true do local m = WaitForMessage();"
        " if m then table.insert(gSeen, m.type) end end end");

    const str body = "Error ]] ; gPwned = 1 ; --[[ \"quoted\"";
    TDialog* dialog = wm->DisplayDialog("scripts/ok.lua", body, "Oops", "error");
    ASSERT_EQ(wm->GetTopModalWindow(), dialog);
    EXPECT_EQ(dialog->GetName(), str("error"));
    EXPECT_EQ(Global("gPwned"), "nil");
    auto* shown = GetCast<TText>(dialog->GetChildWindow("body", unsigned(-1)));
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->GetText(), body);
    EXPECT_EQ(GetCast<TText>(dialog->GetChildWindow("title", unsigned(-1)))->GetText(), str("Oops"));

    Click(dialog->GetChildWindow("http=https://example.org/help", unsigned(-1)));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], "https://example.org/help");
    EXPECT_EQ(wm->GetTopModalWindow(), dialog);
    // The dialog's wait is still running inside the main coroutine.
    Lua("gCount = table.getn(gSeen)");
    EXPECT_EQ(Global("gCount"), "0");

    Click(dialog->GetChildWindow("ok", unsigned(-1)));
    Idle();
    Idle();
    EXPECT_EQ(wm->GetTopModalWindow(), screen);
    ASSERT_EQ(script->DoLuaString("gCount = table.getn(gSeen); gLast = gSeen[gCount]", -1, 0), 0);
    EXPECT_EQ(Global("gLast"), "8");
}

TEST_F(ScriptTest, ADialogWhoseScriptDoesNotRunClosesAndLeavesTheInputBelow)
{
    const char* broken = "MakeDialog{ Window{ name = 'half', w = 10, h = 10 } }\nerror('half way')";
    TFile::AddMemoryFile("scripts/broken.lua", broken, static_cast<unsigned>(std::strlen(broken)));
    const char* blank = "\n  \n-- nothing here\n";
    TFile::AddMemoryFile("scripts/blank.lua", blank, static_cast<unsigned>(std::strlen(blank)));
    const struct
    {
        const char* file;
        const char* told;
    } cases[] = {
        {"scripts/missing.lua", "did not run"},
        {"scripts/broken.lua", "did not run"},
        {"scripts/blank.lua", "made no window"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        TLogCapture log;
        wm->DisplayDialog(c.file, "#Something failed", "#Where", "");
        Idle();
        Idle();
        EXPECT_EQ(wm->GetTopModalWindow(), screen);
        EXPECT_NE(log.Text().find(std::string("Dialog '") + c.file + "' " + c.told + "; it is closed"),
                  std::string::npos)
            << log.Text();
    }
}

TEST_F(ScriptTest, DisplayDialogWithoutAScriptDoesNothing)
{
    Lua("gR = DisplayDialog({}); gR2 = DisplayDialog({ '' })");
    EXPECT_EQ(Global("gR"), "nil");
    EXPECT_EQ(Global("gR2"), "nil");
    EXPECT_EQ(wm->GetTopModalWindow(), screen);
}

TEST_F(ScriptTest, ButtonNameReachesACommandAsAValueNeverAsCode)
{
    Lua("PushModal('m'); return function() while true do WaitForMessage() end end");
    auto* button = new TButton;
    button->SetName("x]]; gPwned = 1; --[[");
    button->SetWindowSize(20, 20);
    wm->GetTopModalWindow()->AdoptChild(button, true);
    Lua("SetCommand('x]]; gPwned = 1; --[[', function() gName = GetButtonName() end)");
    EXPECT_FALSE(button->DoCommand());
    EXPECT_EQ(Global("gName"), "x]]; gPwned = 1; --[[");
    EXPECT_EQ(Global("gPwned"), "nil");
}

TEST_F(ScriptTest, LabelAndHotKeyHelpers)
{
    str stripped, key;
    StripKeyFromLabel("&Quit", &stripped, &key);
    EXPECT_EQ(stripped, str("Quit"));
    EXPECT_EQ(key, str("@Q"));
    StripKeyFromLabel("Save&", &stripped, &key);
    EXPECT_EQ(stripped, str("Save"));
    EXPECT_EQ(key, str());
    StripKeyFromLabel("Plain", &stripped, &key);
    EXPECT_EQ(stripped, str("Plain"));
    EXPECT_EQ(key, str());
    EXPECT_EQ(TagHotKey("@q", "Quit"), str("<u>Q</u>uit"));
    EXPECT_EQ(TagHotKey("x", "Quit"), str("Quit"));
    EXPECT_EQ(TagHotKey("", "Quit"), str("Quit"));

    Lua("gS, gK = StripKeyFromLabel('&Quit'); gHello = GetString('#Hello'); gTitle = GetString('title')");
    EXPECT_EQ(Global("gS"), "Quit");
    EXPECT_EQ(Global("gK"), "@Q");
    EXPECT_EQ(Global("gHello"), "Hello");
    EXPECT_EQ(Global("gTitle"), "Main Menu");
}

TEST_F(ScriptTest, WindowFunctionsByName)
{
    Lua("PushModal('menu'); ReadFile('layouts/menu.lua')");
    Lua("gEnabled = EnableWindow('b', false); gNone = EnableWindow('nothing', true)");
    EXPECT_EQ(Global("gEnabled"), "true");
    EXPECT_EQ(Global("gNone"), "false");
    EXPECT_FALSE(Find("b")->GetFlags() & TWindow::kEnabled);

    Lua("SetLabel('caption', 'Changed'); SetPosition('a', kCenter, -50)");
    EXPECT_EQ(GetCast<TText>(Find("caption"))->GetText(), str("Changed"));
    // 300 wide in 640: centred at 170; 200 high, 50 from the bottom of 480: 430.
    EXPECT_EQ(Find("a")->GetRect().left, 170);
    EXPECT_EQ(Find("a")->GetRect().top, 430);

    Lua("SetButtonToggleState('b', true); gOn = GetButtonToggleState('b')");
    EXPECT_EQ(Global("gOn"), "true");
    Lua("gDepth = GetWindowDepth()");
    EXPECT_EQ(Global("gDepth"), "2");

    Lua("RegisterHotkey('ctrl-p', 'b')");
    EXPECT_EQ(wm->GetTopModalWindow()->GetHotkeys().at("ctrl-P"), str("b"));

    Lua("ClearModalChildren()");
    Idle();
    EXPECT_EQ(Find("a"), nullptr);
}

TEST_F(ScriptTest, FillRectTakesCornersInAnyOrderAndClipsToTheScreen)
{
    struct
    {
        const char* rect;
        TRect filled;  // empty: nothing is filled
    } cases[] = {
        {"{10, 20, 110, 70}", TRect(10, 20, 110, 70)},
        {"{110, 70, 10, 20}", TRect(10, 20, 110, 70)},
        {"{110, 20, 10, 70}", TRect(10, 20, 110, 70)},
        {"{-5, -5, 30, 40}", TRect(0, 0, 30, 40)},
        {"{0, 0, 1e300, 1e300}", TRect(0, 0, 640, 480)},
        {"{0/0, 0, 50, 50}", TRect(0, 0, 50, 50)},
        {"{5, 5, 5, 50}", TRect()},
    };
    for (const auto& c : cases) {
        Display().fills.clear();
        Lua(("FillRect(" + std::string(c.rect) + ", {1, 0, 0, 1})").c_str());
        if (c.filled == TRect()) {
            EXPECT_TRUE(Display().fills.empty()) << c.rect;
            continue;
        }
        ASSERT_EQ(Display().fills.size(), 1u) << c.rect;
        EXPECT_EQ(Display().fills[0].rect, c.filled) << c.rect;
    }
}

TEST_F(ScriptTest, WindowTypesMustBeCallableNames)
{
    TLogCapture log;
    script->AddWindowType("Bad Name(); gPwned = 1 --", TWindow::ClassId());
    EXPECT_EQ(script->GetWindowType("Bad Name(); gPwned = 1 --"), 0u);
    EXPECT_EQ(Global("gPwned"), "nil");
    script->AddWindowType("Panel", TWindow::ClassId());
    Lua("PushModal('p'); MakeDialog{ Panel{ name = 'pp', w = 10, h = 10 } }");
    ASSERT_NE(Find("pp"), nullptr);
    EXPECT_STREQ(Find("pp")->GetTypeName(), "TWindow");
}

TEST_F(ScriptTest, StyleThatBecomesItsOwnParentDoesNotLoop)
{
    Lua("local s = { size = 3 }; SetDefaultStyle(s); AppendStyle(s)(); gMissing = GetTag({}, 'nothing')");
    EXPECT_EQ(Global("gMissing"), "nil");
}

TEST_F(ScriptTest, SplashWithoutMovieOrPictureLeavesNothingOnTop)
{
    Lua("return function() DisplaySplash(nil, nil, 100); gSplashDone = true end");
    EXPECT_EQ(Global("gSplashDone"), "true");
    Idle();
    EXPECT_EQ(wm->GetTopModalWindow(), screen);
    Lua("gMovie = StartMovie('intro', false, false)");
    EXPECT_EQ(Global("gMovie"), "false");
}

// A modal opened by Lua text from compiled code (a pause screen, say) waits in a coroutine
// while frames go on, whatever the interface coroutine is doing when the text arrives.
struct TModalFromCodeCase
{
    const char* name;
    const char* interface;  // Lua run first; empty: no interface coroutine
    bool interfaceAsks;     // the interface itself runs the text, through compiled code
    bool stepOnce;          // the interface needs one animation step to reach its wait
};

class ModalFromCode : public ScriptTest, public testing::WithParamInterface<TModalFromCodeCase>
{
};

TWindowManager* gManager = nullptr;

int LuaRunPauseText(lua_State*)
{
    gManager->DoLuaString(nullptr, "gChoice = DoModal('layouts/dialog.lua'); gAfter = true");
    return 0;
}

TEST_P(ModalFromCode, WaitsWhileFramesGoOnAndReturnsTheValueOnClose)
{
    gManager = wm.get();
    lua_register(script->GetState(), "RunPauseText", &LuaRunPauseText);
    if (*GetParam().interface)
        Lua(GetParam().interface);
    if (!GetParam().interfaceAsks)
        LuaRunPauseText(nullptr);
    if (GetParam().stepOnce)
        script->Animate();
    Lua("gInterfaceAlive = true");

    TWindow* ok = Find("ok");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(Global("gChoice"), "nil");
    const int frames = Display().beginDraws;
    Idle();
    Idle();
    EXPECT_GT(Display().beginDraws, frames);
    EXPECT_EQ(Global("gAfter"), "nil");

    Click(ok);
    Idle();
    Idle();
    EXPECT_EQ(Global("gChoice"), "ok");
    EXPECT_EQ(Global("gAfter"), "true");
    EXPECT_EQ(wm->GetTopModalWindow(), screen);
    EXPECT_EQ(Global("gInterfaceAlive"), "true");
    gManager = nullptr;
}

// Text from compiled code that does not wait has had its effect when DoLuaString returns.
std::string gSeenAtOnce;

int LuaRunSettingText(lua_State*)
{
    gManager->DoLuaString(nullptr, "gSet = (gSet or 0) + 1");
    lua_State* L = gManager->GetScript()->GetState();
    lua_pushstring(L, "gSet");
    lua_rawget(L, LUA_GLOBALSINDEX);
    gSeenAtOnce = lua_isnumber(L, -1) ? std::to_string(lua_tonumber(L, -1)).substr(0, 1) : "nil";
    lua_pop(L, 1);
    return 0;
}

TEST_P(ModalFromCode, TextThatDoesNotWaitRunsAtOnce)
{
    gManager = wm.get();
    gSeenAtOnce.clear();
    lua_register(script->GetState(), "RunPauseText", &LuaRunSettingText);
    if (*GetParam().interface)
        Lua(GetParam().interface);
    if (!GetParam().interfaceAsks)
        LuaRunSettingText(nullptr);
    EXPECT_EQ(gSeenAtOnce, "1");
    // Nothing is left to run at the interface's next wait.
    if (GetParam().stepOnce)
        script->Animate();
    Idle();
    EXPECT_EQ(Global("gSet"), "1");
    gManager = nullptr;
}

// Failing text from compiled code is reported alike whatever the interface coroutine does, and
// before or after its first wait: the log names the text, and the script's LuaErrorMessage
// hears the message. A run failure is also logged once as a Lua error, before the report.
std::vector<const char*> gFailingTexts;

int LuaRunFailingTexts(lua_State*)
{
    for (const char* code : gFailingTexts)
        gManager->DoLuaString(nullptr, code);
    return 0;
}

size_t Occurrences(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST_P(ModalFromCode, FailingTextIsReportedWithItsCode)
{
    gManager = wm.get();
    struct TCase
    {
        const char* code;
        const char* error;
        bool running;
    };
    std::vector<TCase> cases = {{"gX = = 1", "unexpected symbol near `='\n\twhen parsing", false}};
    // Text handed to a waiting interface fails as a command of that coroutine.
    const bool runsApart = !*GetParam().interface || GetParam().interfaceAsks || GetParam().stepOnce;
    if (runsApart) {
        cases.push_back({"error('text broke')", "text broke\n\twhen running", true});
        // Fails once the modal window it opened has closed.
        cases.push_back({"Wait(); error('text broke')", "text broke\n\twhen running", true});
    }
    gFailingTexts.clear();
    for (const TCase& c : cases)
        gFailingTexts.push_back(c.code);
    lua_register(script->GetState(), "RunPauseText", &LuaRunFailingTexts);
    Lua("function Wait() DoModal('layouts/dialog.lua') end");
    Lua("function LuaErrorMessage(m) gHeard = (gHeard or '') .. m .. '|' end");
    TLogCapture log;
    if (*GetParam().interface)
        Lua(GetParam().interface);
    if (!GetParam().interfaceAsks)
        LuaRunFailingTexts(nullptr);
    if (runsApart) {
        if (GetParam().stepOnce)
            script->Animate();
        Idle();
        ASSERT_NE(Find("ok"), nullptr);
        Click(Find("ok"));
        Idle();
        EXPECT_EQ(wm->GetTopModalWindow(), screen);
    }
    const std::string text = log.Text();
    std::string expected;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.code);
        const std::string error = std::string("[string \"") + c.code + "\"]:1: ";
        const std::string message = "Lua Error: " + error + c.error;
        expected += message + "|";
        const size_t report = text.find("DoLuaString " + message + " " + c.code);
        EXPECT_NE(report, std::string::npos) << text;
        const std::string alert = "Lua error: " + error;
        EXPECT_EQ(Occurrences(text, alert), c.running ? 1u : 0u) << text;
        if (c.running)
            EXPECT_LT(text.find(alert), report) << text;
    }
    EXPECT_EQ(Global("gHeard"), expected);
    gManager = nullptr;
}

// Text that waited for a coroutine which then failed goes with it: the next interface's first
// wait does not take it up as its own command.
TEST_F(ScriptTest, TextWaitingForAFailedCoroutineDoesNotReachTheNextOne)
{
    Lua("return function() Yield(); error('interface broke') end");
    wm->DoLuaString(nullptr, "gChoice = DoModal('layouts/dialog.lua'); gAfter = true");
    script->Animate();
    EXPECT_FALSE(script->CoroutineActive());
    Lua("return function() while true do WaitForMessage() end end");
    Idle();
    if (TWindow* ok = Find("ok"))
        Click(ok);
    Idle();
    Idle();
    EXPECT_EQ(Global("gAfter"), "nil");
}

TEST_F(ScriptTest, AModalFromCodeTurnsToAnotherLayoutInItsOwnWindow)
{
    Lua("return function() while true do WaitForMessage() end end");
    wm->DoLuaString(nullptr, "DoModal('layouts/turning.lua')");
    Idle();
    ASSERT_NE(Find("turn"), nullptr);
    Click(Find("turn"));
    Idle();
    EXPECT_EQ(Find("turn"), nullptr);
    ASSERT_NE(Find("ok"), nullptr);
    EXPECT_EQ(Find("ok")->FindParentModal(), wm->GetTopModalWindow());
}

const TModalFromCodeCase kModalFromCodeCases[] = {
    {"NoInterface", "", false, false},
    {"InterfaceWaiting", "return function() while true do WaitForMessage() end end", false, false},
    {"InterfaceYielded", "return function() Yield(); while true do WaitForMessage() end end", false, true},
    {"InterfaceRunning", "return function() RunPauseText(); while true do WaitForMessage() end end", true, false},
};

INSTANTIATE_TEST_SUITE_P(Cases, ModalFromCode, testing::ValuesIn(kModalFromCodeCases),
                         [](const testing::TestParamInfo<TModalFromCodeCase>& info) { return info.param.name; });

}  // namespace
