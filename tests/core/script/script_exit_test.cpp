// os.exit in a host script asks the program to quit instead of ending the process, and stops
// the script there with an error naming where it asked.
#include "script_test_support.h"

#include "core/script/script.h"
#include "core/script/script_exit.h"

#include <lualib.h>

namespace {

using ScriptExit = ScriptTest;

TEST_F(ScriptExit, AsksToQuitAndStopsTheScript)
{
    const std::string file = UniqueName("exits");
    PutScript(file, "x = 1\nos.exit(3)\nx = 2\n");
    TScript script;
    lua_State* L = script.GetState();
    luaopen_os(L);
    lua_settop(L, 0);
    ASSERT_FALSE(ScriptAskedToQuit());
    StartLog();
    EXPECT_FALSE(script.RunScript(file.c_str()));
    const std::string log = TakeLog();
    EXPECT_EQ(GlobalNumber(L, "x"), 1);
    ASSERT_TRUE(ScriptAskedToQuit());
    const std::string request = ScriptQuitRequest();
    EXPECT_NE(request.find(file), std::string::npos) << request;
    EXPECT_NE(request.find(":2: os.exit(3) asked to end the game"), std::string::npos) << request;
    EXPECT_NE(log.find(request), std::string::npos) << log;
    ClearScriptQuitRequest();
    EXPECT_FALSE(ScriptAskedToQuit());
}

}  // namespace
