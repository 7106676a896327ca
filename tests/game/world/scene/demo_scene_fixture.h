#pragma once
// The demo's scenes from the assembled data folder, played headless: the real scene list, a
// game window holding the layout's choice box, the game's link to the scene, the player's
// store in a private user folder and score tables for the awards. Time is the test's: every
// frame moves the game clock by 16 ms, updates the scene and draws it (into a small target:
// drawing steps the fade, and a whole screen per frame would make a play-through slow; a
// test takes the whole picture with TakePicture). The player walks at the middle pace and
// reads at the fastest. The log is kept for the test to read (TV_DEMO_SCENE_LOG=1 prints it).

#include "choice_box.h"
#include "game/world/demo_assets_gl_test.h"
#include "progress_probe.h"
#include "scene_load_fixture.h"

#include "core/config/config.h"
#include "core/prefs/prefs.h"
#include "core/strings/string_table.h"
#include "core/time/task.h"
#include "core/time/time_source.h"
#include "core/xml/user_folder_fixture.h"
#include "game/script/best_ref.h"
#include "game/world/awards/awards_manager.h"
#include "game/world/common/game_clock.h"
#include "game/world/common/walk_speed.h"
#include "game/world/common/world_scene.h"
#include "game/world/scene/scene_hooks.h"
#include "game/world/sound/sfx_manager.h"
#include "game/world/state/gamestate.h"
#include "game/world/strings/localised_strings.h"
#include "online/scores/zv_hiscores.h"
#include "render/anim/sprite_task_host.h"
#include "render/renderer/renderer.h"
#include "render/texture/texture.h"
#include "sound/sources/ogg_data_source.h"
#include "sound/sources/speex_data_source.h"
#include "ui/window/window.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// What the game's interface tells the world about the scene, from the active scene itself.
class DemoWorldLink : public tWorldScene
{
public:
    bool IsFollowClicksMode() const override { return ActiveScene() && ActiveScene()->InFollowClicksMode(); }
    str LocaliseString(const str& text) const override
    {
        return ActiveScene() ? ActiveScene()->localisestring(text) : text;
    }
    str GlobalString(const str& key) const override { return GlocalisedString(key); }
    void DoInvAdd(const str& key, int bag) override { added.push_back(std::to_string(bag) + ":" + key.c_str()); }
    void AddCursorDefIfMissing(const str&, const tCursorDef&) override {}
    bool GetStripCell(const str&, int*, int*) const override { return false; }
    void StripToScreen(const str&, int, int, float*, float*) const override {}

    std::vector<std::string> added;  // "bag:key" of each announced item
};

class DemoSceneTest : public DemoAssetsGLTest
{
protected:
    static constexpr uint32_t kFrameMs = 16;

    void SetUp() override
    {
        userFolder = UserFolderTest::UseFreshUserFolder();
        ASSERT_FALSE(userFolder.empty());
        DemoAssetsGLTest::SetUp();
        ForgetBestRefs();
        testing::internal::CaptureStderr();
        now = 1000;
        SetTimeSource([this] { return now; });
        GameClockStart();
        SetSpriteTaskList(&spriteTasks);

        TConfig::Clear();
        TConfig::SetConfig(TConfig::kEncryptionKey, "Rw4TnQ8vLpXe");
        prefs = std::make_unique<TPrefs>(true);
        prefs->SetInt("curuser", 0, -1, false);
        UseProgressStore(prefs.get());
        tables = std::make_unique<TZvHiscores>(false);
        tables->SetProperty(TZvHiscores::kPropUserName, "mira");
        gAwardsManager.SetScoreTables(tables.get());
        ASSERT_TRUE(strings.LoadStringTable("strings.xml"));
        SetGlobalStringTable(&strings);
        SetWorldScene(&link);
        // No sound device here: the sounds are found and read, and lines are timed.
        TOggDataSource::Register();
        TSpeexDataSource::Register();
        SetRangedWalkSpeedSource([] { return 2.0f; });
        tSFXSettings fastReading;
        fastReading.talkSpeed = [] { return 1.0f; };
        g_SFXManager.SetSettings(fastReading);

        InitializeSceneNames();
        ASSERT_EQ(g_SceneDescs.size(), 4u);
        gameWindow = new TWindow;
        choices = TChoiceBox::Make(gameWindow, 6);
        sGameWindow = gameWindow;
        SetGameWindowHook([] { return sGameWindow; });
        ForgetProgress();
        scene = std::make_unique<TestScene>();
        TheScene() = scene.get();
        frameTarget = TTexture::Create(32, 32, true);
    }
    void TearDown() override
    {
        scene.reset();
        spriteTasks.DestroyAll();
        SetSpriteTaskList(nullptr);
        Log();
        testing::internal::GetCapturedStderr();
        if (std::getenv("TV_DEMO_SCENE_LOG"))
            std::fputs(logged.c_str(), stderr);
        TheScene() = nullptr;
        SetGameWindowHook(nullptr);
        sGameWindow = nullptr;
        delete gameWindow;
        SetWorldScene(nullptr);
        SetRangedWalkSpeedSource(nullptr);
        g_SFXManager.SetSettings(tSFXSettings());
        SetGlobalStringTable(nullptr);
        gAwardsManager.SetScoreTables(nullptr);
        UseProgressStore(nullptr);
        ForgetProgress();
        g_SceneDescs.clear();
        frameTarget.reset();
        GameClockPause();
        SetTimeSource(nullptr);
        TConfig::Clear();
        DemoAssetsGLTest::TearDown();
        ForgetBestRefs();
        TFile::ShutDownFileSystem();
        std::error_code ignored;
        std::filesystem::remove_all(userFolder, ignored);
    }

    // Starts a scene the way the game moves into it: the game state names it first.
    bool Enter(const char* name)
    {
        gGamestate.SetScene(name, true);
        return scene->LoadSceneByName(name, false);
    }

    // One frame of the game: the clock moves, animations step, the scene updates and is drawn.
    void Frame()
    {
        now += kFrameMs;
        spriteTasks.DoAll(TTask::kIdleContext);
        scene->Update();
        scene->UpdateMouseCursor();
        Draw(frameTarget);
    }
    // The whole screen as the scene draws it now.
    std::shared_ptr<TTexture> TakePicture()
    {
        std::shared_ptr<TTexture> picture = TTexture::Create(800, 600, true);
        Draw(picture);
        return picture;
    }
    void Draw(const std::shared_ptr<TTexture>& target)
    {
        TRenderer* r = TRenderer::GetInstance();
        ASSERT_TRUE(r->BeginRenderTarget(target, TRenderer::kRenderTargetNormal));
        r->PushClippingRectangle(TURect(0, 0, 800, 600));
        ASSERT_TRUE(r->Begin2d());
        scene->Draw();
        scene->DrawOverHud();
        r->End2d();
        r->PopClippingRectangle();
        r->EndRenderTarget();
    }
    // Plays frames until `done` holds; the number of frames it took, or -1 after `limit`.
    int PlayUntil(const std::function<bool()>& done, int limit = 3000)
    {
        for (int frames = 0; frames <= limit; ++frames) {
            if (done())
                return frames;
            Frame();
        }
        return -1;
    }
    void Play(int frames)
    {
        for (int i = 0; i < frames; ++i)
            Frame();
    }

    tGirl* Actor(const char* name) const { return scene->GetActorByName(name); }
    tGirl* Mira() const { return Actor("NELKA"); }
    bool MiraHasControl() const { return Mira() && Mira()->GetMode() == MODE_FOLLOWCLICKS; }
    // A click on the screen where the world point shows now (it must be on the screen).
    void ClickWorld(float x, float y)
    {
        const tVector2<float> camera = scene->GetCameraPosition();
        const TPoint point(int(x - camera.x), int(y - camera.y));
        EXPECT_TRUE(point.x >= 0 && point.x < 800 && point.y >= 0 && point.y < 600)
            << x << "," << y << " is off screen";
        scene->OnMouseDown(point);
    }
    // Mira walks where the player clicks and stands there; false when she does not arrive.
    bool WalkMira(float x, float y)
    {
        ClickWorld(x, y);
        const tVector2<float> there(x, y);
        return PlayUntil([&] { return Mira()->GetPosition() == there && Mira()->GetMotion() == MOTION_STAND; }) >= 0;
    }
    // Walks her east along a line in clicks near the right edge of the screen, as far as x.
    bool WalkMiraEast(float x, float y)
    {
        while (Mira()->GetPosition().x < x)
            if (!WalkMira(std::min(x, scene->GetCameraPosition().x + 780), y))
                return false;
        return true;
    }
    std::string Run(const char* code) { return scene->Run(code); }
    // Everything logged since the test began.
    const std::string& Log()
    {
        logged += testing::internal::GetCapturedStderr();
        testing::internal::CaptureStderr();
        return logged;
    }
    // What was logged since the last call.
    std::string NewLog()
    {
        const size_t from = logged.size();
        return Log().substr(from);
    }

    TTaskList spriteTasks;
    std::string userFolder;
    std::string logged;
    uint32_t now = 1000;
    std::unique_ptr<TPrefs> prefs;
    std::unique_ptr<TZvHiscores> tables;
    TStringTable strings;
    DemoWorldLink link;
    TWindow* gameWindow = nullptr;
    TChoiceBox choices;
    std::unique_ptr<TestScene> scene;
    std::shared_ptr<TTexture> frameTarget;

    static inline TWindow* sGameWindow = nullptr;
};
