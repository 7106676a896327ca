// The cursor manager on the demo's cursors: activation by name, the fallback for unknown
// names, replaced definitions, animated cursors stepping their frames, and the wiring from
// the scene list and the buttons.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/log_capture.h"
#include "core/time/task.h"
#include "core/time/time_source.h"
#include "game/interface/built_assets_fixture.h"
#include "game/interface/cursor/cursor_manager.h"
#include "game/world/scenelist/scene_list.h"
#include "render/anim/animated_texture.h"
#include "render/texture/texture.h"

namespace {

// One platform cursor call: the picture's file, its frame when animated, the hot spot and
// whether it was the animated (hardware) form.
struct ShownCursor
{
    std::string picture;
    int frame;
    TPoint hotspot;
    bool animated;
};

class CursorManagerTest : public BuiltLayoutTest
{
protected:
    void SetUp() override
    {
        BuiltLayoutTest::SetUp();
        SetTimeSource([this] { return clock; });
        Record(manager);
        manager.SetTaskList(&tasks);
    }
    void TearDown() override
    {
        manager.ReleaseTextures();
        SetTimeSource(nullptr);
        BuiltLayoutTest::TearDown();
    }
    void Record(tCursorManager& m)
    {
        m.SetCursorSetter([this](std::shared_ptr<TTexture> texture, TPoint hotspot, bool animated) {
            auto* frames = dynamic_cast<TAnimatedTexture*>(texture.get());
            shown.push_back(ShownCursor{texture ? std::string(texture->GetName().c_str()) : std::string("none"),
                                  frames ? frames->GetCurrentFrame() : -1, hotspot, animated});
        });
    }
    // The pictures shown since the last call, as "file@frame" (frame only when animated).
    std::vector<std::string> Take()
    {
        std::vector<std::string> names;
        for (const ShownCursor& s : shown)
            names.push_back(s.picture.substr(0, s.picture.find('.')) + (s.animated ? "!" : "") +
                            (s.frame >= 0 ? "@" + std::to_string(s.frame) : ""));
        shown.clear();
        return names;
    }

    uint32_t clock = 5000;
    TTaskList tasks;
    tCursorManager manager;
    std::vector<ShownCursor> shown;
};

using Names = std::vector<std::string>;

TEST_F(CursorManagerTest, ActivatesByNameOnceAndRemembersUnknownNames)
{
    manager.AddCursorDef("cursor", "cursors/arrow.hw", "cursors/arrow.sw", tVector2<float>(1.4f, 2.6f));
    manager.AddCursorDef("cursor_use", "cursors/use.hw", "cursors/use.sw", tVector2<float>(11, 2));
    struct Step
    {
        const char* name;
        Names shown;
        bool logged;
    };
    const Step steps[] = {
        {"cursor", {"cursors/arrow", "cursors/arrow!"}, false},
        {"cursor", {}, false},
        {"nowhere", {}, true},
        {"nowhere", {}, false},
        {"cursor_use", {"cursors/use", "cursors/use!"}, false},
        {"cursor", {"cursors/arrow", "cursors/arrow!"}, false},
    };
    for (const Step& s : steps) {
        TLogCapture log;
        manager.ActivateCursor(s.name);
        EXPECT_EQ(Take(), s.shown) << s.name;
        EXPECT_EQ(log.Text().find("Failed to ActivateCursor(nowhere)") != std::string::npos, s.logged) << s.name;
        EXPECT_EQ(std::string(manager.GetActiveCursor().c_str()), s.name);
    }
    manager.ActivateCursor("cursor_use");
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].hotspot, TPoint(11, 2));
    manager.ActivateCursor("cursor");
    EXPECT_EQ(shown[2].hotspot, TPoint(1, 3)) << "the hot spot is rounded";
}

TEST_F(CursorManagerTest, RepeatedNameReplacesTheDefinition)
{
    manager.AddCursorDef("hand", "cursors/use.hw", "cursors/use.sw", tVector2<float>(0, 0));
    manager.ActivateCursor("hand");
    manager.AddCursorDef("hand", "cursors/walk.hw", "cursors/walk.sw", tVector2<float>(0, 0));
    tCursorDef other;
    other.anim = "cursors/exit.hw";
    other.cursor = "cursors/exit.sw";
    manager.AddCursorDefIfMissing("hand", other);
    manager.ActivateCursor("elsewhere");
    Take();
    manager.ActivateCursor("hand");
    EXPECT_EQ(Take(), (Names{"cursors/walk", "cursors/walk!"}));
}

TEST_F(CursorManagerTest, AnimatedCursorStepsItsFramesAsTheSoftwareCursor)
{
    manager.AddCursorDef("cursor_look", "cursors/look.hw", "cursors/look.sw", tVector2<float>(12, 12));
    manager.AddCursorDef("cursor", "cursors/arrow.hw", "cursors/arrow.sw", tVector2<float>(1, 1));
    manager.ActivateCursor("cursor_look");
    EXPECT_TRUE(manager.IsAnimating());
    EXPECT_EQ(Take(), Names{"cursors/look@0"});
    const Names frames[] = {
        {}, {"cursors/look@1"}, {"cursors/look@2"}, {"cursors/look@3"}, {"cursors/look@4"}, {"cursors/look@0"}};
    for (const Names& expected : frames) {
        tasks.DoAll(TTask::kIdleContext);
        EXPECT_EQ(Take(), expected) << clock;
        clock += tCursorManager::kFrameDelay;
    }
    manager.ActivateCursor("cursor");
    EXPECT_FALSE(manager.IsAnimating());
    EXPECT_TRUE(tasks.Empty());
    Take();
    clock += 10 * tCursorManager::kFrameDelay;
    tasks.DoAll(TTask::kIdleContext);
    EXPECT_TRUE(Take().empty());
}

TEST_F(CursorManagerTest, SceneListAndButtonsReachTheProgramsManager)
{
    tCursorManager& program = CursorManager();
    Record(program);
    program.SetTaskList(&tasks);
    InstallCursorManager();
    InitializeSceneNames("quest/scenelist.lua", nullptr);
    for (const char* name :
         {"cursor", "cursor_inactive", "cursor_talk", "cursor_exit", "cursor_walk", "cursor_use", "cursor_look"})
        EXPECT_TRUE(program.HasCursorDef(name)) << name;

    Layout("tDFButton{ name = 'go', x = 10, y = 10, w = 40, h = 20, cursor = 'cursor_use' }");
    Send(TEvent::kMouseMove, 20, 20);
    EXPECT_EQ(std::string(program.GetActiveCursor().c_str()), "cursor_use");
    EXPECT_EQ(Take(), (Names{"cursors/use", "cursors/use!"}));
    program.ReleaseTextures();
    program.SetTaskList(nullptr);
    program.SetCursorSetter(nullptr);
    SetSceneListReaders(tSceneListReaders());
}

}  // namespace
