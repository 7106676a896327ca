#include "game/world/scenelist/scene_list.h"

#include "game/world/awards/awards_manager.h"

#include "tests/core/script/script_test_support.h"

#include <lua.h>

#include <gtest/gtest.h>

#include <string>

namespace {

class SceneListTest : public ScriptTest
{
protected:
    void SetUp() override
    {
        ScriptTest::SetUp();
        main = lua_open();
        g_SceneDescs.clear();
        SetSceneListReaders({[this](const str& name, const str& anim, const str& image, float x, float y) {
            cursors += str::getFormatted("%s|%s|%s|%g|%g;", name.c_str(), anim.c_str(), image.c_str(), x, y).c_str();
        }});
    }
    void TearDown() override
    {
        SetSceneListReaders({});
        g_SceneDescs.clear();
        lua_close(main);
        ScriptTest::TearDown();
    }

    static std::string Scenes()
    {
        std::string out;
        for (const tSceneDesc& d : g_SceneDescs)
            out += std::string(d.title.c_str()) + "|" + d.name.c_str() + "|" + d.folder.c_str() + ";";
        return out;
    }

    lua_State* main = nullptr;
    std::string cursors;
};

TEST_F(SceneListTest, ReadsScenesAndCursorsUpToTheFirstEntryOfAnotherKind)
{
    struct
    {
        const char* script;
        const char* scenes;
        double count;
        const char* cursors;
        const char* log;  // a line the run must write, or ""
    } cases[] = {
        {"scenelist = { 'cottage', { 'The Garden', 'quest/garden/', 'garden' } }",
         "cottage|cottage|quest/;The Garden|garden|quest/garden/;", 2, "", "No cursorlist table"},
        {"scenelist = { 'a', 5, 'b' } cursorlist = {}", "a|a|quest/;", 1, "", ""},
        {"scenelist = { { 'T', 7 } } cursorlist = {}", "T||7;", 1, "", ""},
        {"cursorlist = { { 'cursor', 'cursors/arrow', 2, 3 }, 'x', { 'late', 'cursors/late', 0, 0 } }", "", 0,
         "cursor|cursors/arrow.hw|cursors/arrow.sw|2|3;", "scenelist wasn't a table"},
        {"scenelist = 'x' cursorlist = { { 'hand', 'c/hand', 'left' } }", "", 0, "hand|c/hand.hw|c/hand.sw|0|0;",
         "scenelist wasn't a table"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        const std::string name = UniqueName(std::to_string(n++).c_str());
        PutScript(name, c.script);
        cursors.clear();
        StartLog();
        InitializeSceneNames(name.c_str(), main);
        const std::string log = TakeLog();
        EXPECT_EQ(Scenes(), c.scenes);
        EXPECT_EQ(GlobalNumber(main, "kSceneCount"), c.count);
        EXPECT_EQ(cursors, c.cursors);
        if (*c.log) {
            EXPECT_NE(log.find(c.log), std::string::npos) << log;
        }
    }
}

TEST_F(SceneListTest, FailingScriptChangesNothing)
{
    const std::string good = UniqueName("good"), bad = UniqueName("bad");
    PutScript(good, "scenelist = { 'one' } cursorlist = { { 'c', 'b', 1, 1 } }");
    PutScript(bad, "scenelist = { 'two' } error('broken')");
    InitializeSceneNames(good.c_str(), main);
    cursors.clear();
    StartLog();
    InitializeSceneNames(bad.c_str(), main);
    EXPECT_NE(TakeLog().find("RunScript failed"), std::string::npos);
    EXPECT_EQ(Scenes(), "one|one|quest/;");
    EXPECT_EQ(GlobalNumber(main, "kSceneCount"), 1);
    EXPECT_EQ(cursors, "");
}

TEST_F(SceneListTest, ReloadingReplacesScenesButHandsCursorsOnAgain)
{
    const std::string name = UniqueName("list");
    PutScript(name, "awardlist = { { 'award_a', 5 } } scenelist = { 'a', { 'B', 'quest/b/', 'a' } } cursorlist = { { "
                    "'c', 'b', 1, 1 } }");
    InitializeSceneNames(name.c_str(), main);
    InitializeSceneNames(name.c_str(), main);
    // The awards are read from the list's own state.
    ASSERT_EQ(gAwardsManager.GetAwardCount(), 1);
    EXPECT_EQ(std::string(gAwardsManager.GetAwardDef(0)->name.c_str()), "award_a");
    EXPECT_EQ(Scenes(), "a|a|quest/;B|a|quest/b/;");
    EXPECT_EQ(cursors, "c|b.hw|b.sw|1|1;c|b.hw|b.sw|1|1;");
    // The first of two scenes with one name is the one found.
    const tSceneDesc* found = FindSceneDesc("a");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found, &g_SceneDescs[0]);
    EXPECT_EQ(std::string(g_SceneDescs[1].GetFullPathFilename().c_str()), "quest/b/a.lua");
    EXPECT_EQ(FindSceneDesc("B"), nullptr);
}

}  // namespace
