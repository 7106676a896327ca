// Loading a scene by name from its files: every step's result, the failures that stop it and
// those that only leave a part out, and the actors its script spawns.

#include "scene_load_fixture.h"

#include "game/world/state/gamestate.h"
#include "render/anim/animated_sprite.h"
#include "render/anim/animated_texture.h"
#include "render/sprite/sprite.h"

#include <cstdio>
#include <limits>

namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using SceneLoad = SceneFiles;

TEST_F(SceneLoad, EveryStepOfALoadLeavesItsPart)
{
    TestScene scene;
    gGamestate.Set("canreturnfromscene", 1);
    scene.SetCameraMargin({1, 1});
    TLogCapture log;
    ASSERT_TRUE(scene.LoadSceneByName("test", false));
    const std::string logged = log.Text();
    EXPECT_THAT(logged, Not(HasSubstr("SHARED.LUA failed")));
    EXPECT_EQ(scene.GetAssetPath(), str("quest/test/"));
    EXPECT_EQ(gGamestate.Get("canreturnfromscene"), 0);
    EXPECT_EQ(scene.GetCameraMargin().x, 140);

    // Strings: the game's, the quest's over them, the scene's own; absent keys stay quiet.
    EXPECT_EQ(scene.grabstring("greeting"), str("Hello"));
    EXPECT_EQ(scene.grabstring("door"), str("The door"));
    EXPECT_EQ(scene.grabstring("sign"), str("Keep out"));
    EXPECT_TRUE(scene.Strings().Table().IsQuiet());

    // The missing interface atlas is logged; the scene's own atlas loads after it.
    EXPECT_THAT(logged, HasSubstr("Failed to load atlas quest/hud/pieces.xml"));
    ASSERT_EQ(scene.mAtlases.size(), 1u);

    // Two plain names at depths 1 and 2, a frontmost entry at 600 with its blend mode; the
    // frame "lamp" comes from the atlas although a file of that name exists.
    const std::pair<const char*, int> planes[] = {
        {"quest/test/back", 1}, {"quest/test/middle", 2}, {"quest/test/front", 600}};
    ASSERT_EQ(scene.mPlanes.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(scene.mPlanes[i].GetName(), str(planes[i].first));
        EXPECT_EQ(scene.mPlanes[i].GetDepth(), planes[i].second);
    }
    EXPECT_EQ(scene.mPlanes[2].GetParts().front()->mSpec.blendMode, BLENDMODE_ADD);
    std::shared_ptr<TAnimatedSprite> lamp;
    for (const auto& sprite : scene.GetWorldHolder()->GetChildren())
        if (auto animated = std::dynamic_pointer_cast<TAnimatedSprite>(sprite))
            lamp = animated;
    ASSERT_NE(lamp, nullptr);
    EXPECT_EQ(scene.GetWorldHolder()->GetChildren().size(), 4u);
    EXPECT_EQ(lamp->GetLayer(), 7);
    EXPECT_EQ(lamp->GetAnimatedTexture(), scene.mAtlases[0]);
    EXPECT_EQ(lamp->GetCurrentFrame(), scene.mAtlases[0]->GetFrameByName("lamp.png"));
    EXPECT_EQ(scene.GetSceneBounds(), TRect(-4, -2, 900, 700));  // the frame sits around its registration
    EXPECT_NE(scene.GetOverHudHolder(), nullptr);
    EXPECT_NE(scene.GetScreenHolder(), nullptr);
    EXPECT_EQ(scene.mLightmapWidth * 10 + scene.mLightmapHeight, 43);
    EXPECT_EQ(scene.GetGround().Polys().size(), 2u);

    // The script's view: the scene object, its mesh, the actors under their names.
    EXPECT_EQ(scene.Run("return tostring(scene.this ~= nil) .. tostring(scene.mesh:VertExists('door')) .. "
                        "tostring(getmetatable(scene.mesh) == vtable.tMesh)"),
              "truetruetrue");
    ASSERT_EQ(scene.GetActors().size(), 2u);
    tGirl* nelka = scene.GetActors()[0].get();
    EXPECT_EQ(nelka->GetName(), str("NELKA"));
    EXPECT_EQ(nelka->GetScene(), &scene);
    EXPECT_EQ(scene.GetCameraActor(), nelka);
    EXPECT_EQ(nelka->GetHotSpot().x * 10 + nelka->GetHotSpot().y, 34);
    EXPECT_EQ(scene.Run("local a = scene.NELKA return a.name .. a.point_at_name .. type(a.on_click) .. a.actorspec.tag "
                        ".. tostring(a.tag)"),
              "NELKAnelka_namefunctionfirstnil");  // only the listed keys are copied
    EXPECT_THAT(logged, HasSubstr("named hotspot [feet] with no actor zone"));
}

TEST_F(SceneLoad, ANameOutsideTheListRunsAsAPathInThePreviousFolder)
{
    Write("quest/loose/loose.lua", "scene_spec = { bg_image = 'back' }\n");
    assets.Scan();
    TestScene scene;
    scene.SetAssetPath("quest/test/");  // as a load of "test" leaves it
    TLogCapture log;
    ASSERT_TRUE(scene.LoadSceneByName("quest/loose/loose.lua", false));
    const std::string logged = log.Text();
    EXPECT_EQ(scene.GetAssetPath(), str("quest/test/"));
    ASSERT_EQ(scene.mPlanes.size(), 1u);
    EXPECT_EQ(scene.mPlanes[0].GetName(), str("quest/test/back"));
    EXPECT_EQ(scene.GetSceneBounds(), TRect(0, 0, 900, 500));
    EXPECT_THAT(logged, HasSubstr("No ground string or table detected"));
    EXPECT_THAT(logged, HasSubstr("No actor defined in quest/loose/loose.lua"));
}

// Failures that stop the load keep the scene's name, strings and state; failures of one part
// leave only that part out.
TEST_F(SceneLoad, FailuresAreLoggedAndTheSceneStaysUsable)
{
    const struct
    {
        const char* scene;
        const char* script;  // null: the scene's file is not written
        bool loads;
        std::vector<const char*> logged;
    } cases[] = {
        {"nospec", "local x = 1\n", false, {"scene_spec wasn't a table"}},
        {"broken",
         "scene_spec = {\n",
         false,
         {"FILENAME quest/broken/broken.lua failed", "GLOBAL LUA ERROR:script load:"}},
        {"throws",
         "error('gate jammed')\n",
         false,
         {"FILENAME quest/throws/throws.lua failed", "script execute:", "gate jammed"}},
        {"absent",
         nullptr,
         false,
         {"FILENAME quest/absent/absent.lua failed", "Couldn't open quest/absent/absent.lua"}},
        {"holes",
         "scene_spec = { atlas = { 'gone.xml', '', 'props.xml' }, bg_image = { 'nothere', 'there' },\n"
         "  lightmap = 'dark', ground = 'nowhere' }\n",
         true,
         {"Failed to load atlas quest/holes/gone.xml", "Failed to load quest/holes/nothere",
          "No lightmap image quest/holes/dark", "LoadGround(nowhere) failed"}},
    };
    WritePicture("quest/holes/there.png", 40, 30);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scene);
        AddScene(c.scene, c.script);
        TestScene scene;
        TLogCapture log;
        EXPECT_EQ(scene.LoadSceneByName(c.scene, false), c.loads);
        const std::string logged = log.Text();
        for (const char* line : c.logged)
            EXPECT_THAT(logged, HasSubstr(line));
        EXPECT_EQ(scene.GetSceneName(), str(c.scene));
        EXPECT_EQ(scene.grabstring("greeting"), str("Hello"));
        EXPECT_EQ(scene.Run("return type(Factory) .. type(sfx)"), "functiontable");
        EXPECT_EQ(scene.mPlanes.size(), c.loads ? 1u : 0u);  // past a failed image to the next
    }
}

TEST_F(SceneLoad, WithoutSharedScriptTheLoadStopsAndTellsWhy)
{
    std::remove(assets.Path("quest/shared.lua").c_str());
    assets.Scan();
    TestScene scene;
    TLogCapture log;
    EXPECT_FALSE(scene.LoadSceneByName("test", false));
    const std::string logged = log.Text();
    EXPECT_THAT(logged, HasSubstr("SHARED.LUA failed"));
    EXPECT_THAT(logged, HasSubstr("Couldn't open quest/shared.lua"));
    EXPECT_TRUE(scene.mPlanes.empty());
}

TEST_F(SceneLoad, GroundTableLoadsOnlyTheFilesItNames)
{
    WriteMesh("quest/vertsonly/ground", "vertex 50 60 door\npoly 0,0 800,0 800,600 0,600\n");
    AddScene("vertsonly", "scene_spec = { ground = { verts = 'ground.dverts' } }\n");
    TestScene scene;
    ASSERT_TRUE(scene.LoadSceneByName("vertsonly", false));
    EXPECT_EQ(scene.GetGround().Vertices().size(), 5u);
    EXPECT_TRUE(scene.GetGround().Polys().empty());
    // From a script: the polygons alone, both files, or false for a ground without files.
    EXPECT_EQ(scene.Run("return tostring(scene:LoadMesh('ground.dmesh'))"), "true");
    EXPECT_EQ(scene.GetGround().Polys().size(), 2u);
    EXPECT_EQ(scene.Run("return tostring(scene:LoadGround('ground')) .. tostring(scene:LoadGround('none'))"),
              "truefalse");
    // The ground that could not load left the scene's own in place.
    EXPECT_EQ(scene.GetGround().Polys().size(), 2u);
    EXPECT_EQ(scene.GetGround().LookupVertByLabel("door"), tVector2<float>(50, 60));
    EXPECT_EQ(scene.Run("return tostring(scene:LoadVerts('none.dverts'))"), "false");
}

TEST_F(SceneLoad, LightmapPixelsAreClampedToTheMap)
{
    TestScene scene;
    EXPECT_EQ(uint32_t(scene.GetLightmapPixel({10, 10})), 0xFFFFFFFFu);  // none yet: full light
    ASSERT_TRUE(scene.LoadSceneByName("test", false));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct
    {
        float x, y;
        int px, py;
    } cases[] = {
        {-5, 1e9f, 0, 2}, {1.9f, 0.2f, 1, 0}, {1e9f, -1e9f, 3, 0}, {3, 2, 3, 2}, {nan, nan, 0, 0}, {2.5f, 1.99f, 2, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(uint32_t(scene.GetLightmapPixel({c.x, c.y})), LightPixel(c.px, c.py)) << c.x << "," << c.y;
    EXPECT_EQ(scene.Run("return tostring(scene:LoadLightmap('absent_light'))"), "true");
    EXPECT_EQ(uint32_t(scene.GetLightmapPixel({1, 1})), 0xFFFFFFFFu);  // the old map is gone
}

TEST_F(SceneLoad, AtlasFramesAndPlanesAfterTheTexturesWereLost)
{
    TestScene scene;
    ASSERT_TRUE(scene.LoadSceneByName("test", false));
    auto sprite = TAnimatedSprite::Create(0);
    EXPECT_TRUE(scene.AssignAtlasTexture(sprite, "rug"));
    EXPECT_EQ(sprite->GetAnimatedTexture(), scene.mAtlases[0]);
    EXPECT_EQ(sprite->GetCurrentFrame(), scene.mAtlases[0]->GetFrameByName("rug.png"));
    TLogCapture log;
    EXPECT_FALSE(scene.AssignAtlasTexture(sprite, "back"));
    EXPECT_FALSE(scene.HasAtlasTexture("back"));
    EXPECT_THAT(log.Text(), HasSubstr("AssignAtlasTexture(back) failed"));

    // Rebuilt twice, the planes still show once each.
    scene.ReloadTextures();
    scene.ReloadTextures();
    EXPECT_EQ(scene.GetWorldHolder()->GetChildren().size(), 4u);
    for (const tBGPlane& plane : scene.mPlanes)
        EXPECT_EQ(plane.GetParts().front()->GetParent(), scene.GetWorldHolder().get());
}

TEST_F(SceneLoad, AssetNamesResolveAgainstTheFolder)
{
    TestScene scene;
    scene.SetAssetPath("quest/garden/");
    const std::pair<const char*, const char*> cases[] = {
        {"pond", "quest/garden/pond"},  {"./fx/pond.xml", "quest/garden/fx/pond.xml"},
        {"anims/a.xml", "anims/a.xml"}, {".", "quest/garden/."},
        {"", "quest/garden/"},
    };
    for (const auto& [name, resolved] : cases)
        EXPECT_EQ(scene.ComputeAssetName(name), str(resolved)) << name;
    TLogCapture log;
    scene.SetAssetPath("/abs/");
    EXPECT_THAT(log.Text(), HasSubstr("ASSERT: path[0] != '/'"));
    EXPECT_EQ(scene.GetAssetPath(), str("/abs/"));
}

TEST_F(SceneLoad, DuplicateAndReservedActorNames)
{
    AddScene("crowd",
             "scene_spec = { actorlist = { { name = 'TWIN', tag = 1 }, { name = 'TWIN', tag = 2 },\n"
             "  { name = 'this' }, { name = 'mesh' }, { name = 'ChainTo' }, { name = 'grabstring' }, { } } }\n");
    TestScene scene;
    TLogCapture log;
    ASSERT_TRUE(scene.LoadSceneByName("crowd", false));
    const std::string logged = log.Text();
    EXPECT_THAT(logged, HasSubstr("GLOBAL LUA ERROR:Attempt to spawn duplicate actor:TWIN"));
    EXPECT_EQ(scene.Run("return scene.TWIN.actorspec.tag"), "2");
    for (const char* name : {"this", "mesh", "ChainTo", "grabstring"})
        EXPECT_THAT(logged, HasSubstr(std::string("the actor name [") + name + "] is taken by the scene"));
    EXPECT_THAT(logged, HasSubstr("GLOBAL LUA ERROR:Spawn:No name provided for actor #7"));
    // The scene keeps its own fields and methods; every actor is still made.
    EXPECT_EQ(scene.Run("scene:ChainTo('garden') return type(scene.this) .. type(scene.mesh.VertExists) .. "
                        "type(rawget(scene, 'ChainTo'))"),
              "userdatafunctionnil");
    EXPECT_EQ(scene.mChainTo, str("garden"));
    EXPECT_EQ(scene.GetActors().size(), 7u);
    EXPECT_NE(scene.GetActorByName("mesh"), nullptr);
}

TEST_F(SceneLoad, UnloadingClosesTheStateAndAReloadStartsAfresh)
{
    TestScene scene;
    ASSERT_TRUE(scene.LoadSceneByName("test", false));
    EXPECT_EQ(scene.Run("leftover = 5 return leftover"), "5");
    ASSERT_TRUE(scene.LoadSceneByName("test", false));
    EXPECT_EQ(scene.Run("return leftover"), "nil");
    EXPECT_EQ(scene.GetActors().size(), 2u);
    scene.DumpScene();
    scene.CloseScriptContext();
    EXPECT_EQ(scene.GetLua().GetState(), nullptr);
    EXPECT_EQ(scene.GetLuaObj(), nullptr);
    EXPECT_EQ(scene.mScript, nullptr);
}

}  // namespace
