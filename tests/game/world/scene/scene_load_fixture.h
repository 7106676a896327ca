#pragma once
// A scene made of small files in a temporary data folder, loaded headless over a GL context:
// a scene list entry "test" in "quest/test/", "quest/shared.lua", string tables, pictures, an
// atlas, a light map and a walk mesh. Script files are compiled once per run and kept by name,
// so every script name holds one text in every test.

#include "common/log_capture.h"
#include "game/world/actor/girl.h"
#include "game/world/mesh_fixture.h"
#include "game/world/scene/scene.h"
#include "game/world/scenelist/scene_list.h"
#include "support/image_writers.h"
#include "support/render_test_support.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <lauxlib.h>

#include <cstring>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

// Runs code; its first result as text ("nil" without one), or the error after "error: ".
inline std::string LuaResult(lua_State* L, const char* code)
{
    if (!L)
        return "no state";
    if (luaL_loadbuffer(L, code, std::strlen(code), "test") != 0 || lua_pcall(L, 0, 1, 0) != 0) {
        std::string error = std::string("error: ") + lua_tostring(L, -1);
        lua_pop(L, 1);
        return error;
    }
    const char* text = lua_tostring(L, -1);
    std::string result = text ? text : "nil";
    lua_pop(L, 1);
    return result;
}

// The scene with the fields the loading tests look at.
class TestScene : public tScene
{
public:
    // The unloading the full scene does: actors first, then the Lua state they live in.
    ~TestScene() override
    {
        DumpScene();
        CloseScriptContext();
    }
    using tScene::mAtlases;
    using tScene::mChainTo;
    using tScene::mChainToSubScene;
    using tScene::mFadeColor;
    using tScene::mFadeOverHud;
    using tScene::mFadeSpeed;
    using tScene::mFadeTarget;
    using tScene::mFloatText;
    using tScene::mFloatTextBox;
    using tScene::mGameOver;
    using tScene::mLightmapHeight;
    using tScene::mLightmapWidth;
    using tScene::mPlanes;
    using tScene::mPopup;
    using tScene::mPopupPending;
    using tScene::mRoomFarScale;
    using tScene::mRoomFarY;
    using tScene::mRoomNearScale;
    using tScene::mRoomNearY;
    using tScene::mScreenPosition;
    using tScene::mScreenSize;
    using tScene::mScript;

    std::string Run(const char* code) { return LuaResult(GetLua().GetState(), code); }
};

class SceneFiles : public GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        g_SceneDescs = {tSceneDesc{"Test", "test", "quest/test/"}};
        Write("quest/shared.lua", "shared_ran = true\n");
        WriteStrings("strings.xml", {{"greeting", "Hello"}, {"door", "A door"}});
        WriteStrings("quest/strings_shared.xml", {{"door", "The door"}, {"speech", "Nelka:Look\\nthere"}});
        WriteStrings("quest/test/strings_test.xml", {{"sign", "Keep out"}, {"coins", "%1% of %2%"}});
        WritePicture("quest/test/back.png", 900, 500);
        WritePicture("quest/test/middle.png", 300, 200);
        WritePicture("quest/test/front.png", 100, 700);
        WritePicture("quest/test/lamp.png", 5, 5);  // also a frame of the atlas, which wins
        WritePicture("quest/test/props.png", 32, 8);
        Write("quest/test/props.xml",
              "<sequence><img name=\"props.png\"/><framelist>"
              "<frame name=\"lamp.png\" x=\"0\" y=\"0\" w=\"16\" h=\"8\" regx=\"4\" regy=\"2\"/>"
              "<frame name=\"rug.png\" x=\"16\" y=\"0\" w=\"16\" h=\"8\" regx=\"0\" regy=\"0\"/>"
              "</framelist></sequence>");
        TTestImage light(4, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x)
                light.At(x, y) = LightPixel(x, y);
        EXPECT_TRUE(WritePng(assets.Path("quest/test/light.png"), light, 2));
        WriteMesh("quest/test/ground", "vertex 50 60 door\npoly 0,0 800,0 800,600 0,600 label=floor\n");
        Write("quest/test/test.lua", R"(
scene_spec = {
  atlas = "props.xml",
  bg_image = { "back", "middle", { "front", DEPTH.DEPTH_FRONTMOST, blend = BLENDMODE.BLENDMODE_ADD }, { "lamp", 7 } },
  lightmap = "light",
  ground = "ground",
  actorlist = {
    { name = "NELKA", hotspot = { x = 3, y = 4 }, point_at_name = "nelka_name", on_click = function() end,
      tag = "first" },
    { name = "GARDENER", hotspot = "feet" },
  },
}
)");
        assets.Scan();
    }
    void TearDown() override
    {
        g_SceneDescs.clear();
        TheScene() = nullptr;
        GLTest::TearDown();
    }

    static uint32_t LightPixel(int x, int y)
    {
        return 0xFF000000u | uint32_t(x * 40) << 16 | uint32_t(y * 60) << 8 | 7u;
    }

    void Write(const std::string& name, const std::string& text)
    {
        std::ofstream(assets.Path(name), std::ios::binary) << text;
    }
    void WriteStrings(const std::string& name, const std::vector<std::pair<std::string, std::string>>& rows)
    {
        std::string xml = "<?xml version=\"1.0\"?><Workbook><Worksheet><Table>";
        for (const auto& [key, text] : rows)
            xml += "<Row><Cell><Data>" + key + "</Data></Cell><Cell><Data>" + text + "</Data></Cell></Row>";
        Write(name, xml + "</Table></Worksheet></Workbook>");
    }
    void WritePicture(const std::string& name, int width, int height)
    {
        EXPECT_TRUE(WritePng(assets.Path(name), TTestImage(width, height, 0xFF336699u), 2));
    }
    void WriteMesh(const std::string& base, const std::string& text)
    {
        const TMeshSource source = ParseSource(text);
        EXPECT_TRUE(WriteBytes(assets.Path(base + ".dverts"), EncodeVertFile(source)));
        EXPECT_TRUE(WriteBytes(assets.Path(base + ".dmesh"), EncodeMeshFile(source)));
    }
    // A scene "quest/<name>/<name>.lua" holding `script` (null: no file), in the scene list.
    void AddScene(const std::string& name, const char* script)
    {
        if (script)
            Write("quest/" + name + "/" + name + ".lua", script);
        g_SceneDescs.push_back(tSceneDesc{name.c_str(), name.c_str(), ("quest/" + name + "/").c_str()});
        assets.Scan();
    }

    TTempAssets assets;
};
