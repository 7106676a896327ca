// Loading a scene by name: its strings, holders and atlases, its own Lua state running the
// shared and the scene script, then what the script's table "scene_spec" names.

#include "core/script/script.h"
#include "game/script/df_log.h"
#include "game/script/df_lua_obj.h"
#include "game/script/lua_error.h"
#include "game/script/metrics.h"
#include "game/world/actor/girl.h"
#include "game/world/scene/scene.h"
#include "game/world/scenelist/scene_list.h"
#include "game/world/sound/sfx_manager.h"
#include "game/world/state/gamestate.h"
#include "render/anim/animated_sprite.h"
#include "render/anim/animated_texture.h"
#include "render/sprite/sprite.h"

namespace {

constexpr const char* kSharedScript = "quest/shared.lua";
constexpr const char* kHudAtlas = "quest/hud/pieces.xml";

// The Lua type of a field: scene_spec's keys take a string or a table, and nothing else.
template <class K>
int FieldType(dfLuaTable& table, K key)
{
    table.getfield(key);
    lua_State* L = table.GetState();
    const int type = lua_type(L, -1);
    lua_pop(L, 1);
    return type;
}

// The scene's strings: the game's, the quest's shared ones, then the scene's own; absent keys
// are looked up quietly.
void LoadSceneStrings(TStringTable& table, const str& sceneStrings)
{
    table.LoadStringTable("strings.xml");
    table.MergeStringTable("quest/strings_shared.xml");
    table.MergeStringTable(sceneStrings);
    table.SetQuiet(true);
}

}  // namespace

str tScene::ComputeAssetName(const str& name) const
{
    if (name.length() >= 2 && name[0] == '.' && name[1] == '/')
        return mAssetFolder + name.substr(2);
    if (name.find('/') != str::npos)
        return name;
    return mAssetFolder + name;
}

void tScene::SetAssetPath(const str& path)
{
    if (!path.empty() && path[0] == '/') {
        LOGIT("ASSERT: %s\n", "path[0] != '/'");
        dfDebugBreak();
    }
    mAssetFolder = path;
}

void tScene::CloseScriptContext()
{
    DumpLuaObj();
    mLua.assign(nullptr, false);
    mScript.reset();
}

bool tScene::LoadSceneByName(const str& name, bool)
{
    // The pictures of the scene being left stay loaded until the new one is: what both show
    // (the heroine, a scene entered again) then comes from the asset cache, not decoded anew.
    const std::vector<std::shared_ptr<TTexture>> shown = PicturesShown();
    DumpScene();
    g_SFXManager.DumpVox();
    mSceneName = name;

    str scriptPath = name;
    if (const tSceneDesc* desc = FindSceneDesc(name)) {
        scriptPath = desc->GetFullPathFilename();
        SetAssetPath(desc->folder);
    }

    LoadSceneStrings(mStrings.Table(), ComputeAssetName(str("strings_") + name + ".xml"));
    gGamestate.Set("canreturnfromscene", 0);
    MET_BeginScene(name.c_str());

    mCamera = {0, 0};
    mCameraMargin = {140, 140};
    mOverHudHolder = TSprite::Create(0, nullptr);
    mScreenHolder = TSprite::Create(0, nullptr);
    mWorldHolder = TSprite::Create(0, nullptr);
    LoadAtlas(kHudAtlas);
    InitializeChoiceText();

    // Whatever context is left goes first: its objects must not outlive their state.
    CloseScriptContext();
    mScript = std::make_unique<TScript>();
    mLua.assign(mScript->GetState(), false);
    mLua.openlibs();
    PrepareLuaEnvironment(mLua);

    if (!mScript->RunScript(kSharedScript)) {
        LOGIT("SHARED.LUA failed\n");
        ValidateLua(mLua, kSharedScript);
        return false;
    }
    if (!mScript->RunScript(scriptPath)) {
        LOGIT("FILENAME %s failed\n", scriptPath.c_str());
        ValidateLua(mLua, scriptPath);
        return false;
    }

    lua_State* L = mLua.GetState();
    mLua.getglobal("scene_spec");
    if (!lua_istable(L, -1)) {
        lua_pop(L, 1);
        LOGIT("scene_spec wasn't a table\n");
        // A script that makes no scene (blank, comments only) is told as one that does not open.
        GlobalLuaError("script load", scriptPath + " makes no scene: it sets no table scene_spec");
        return false;
    }
    dfLuaTable spec(mLua, "lSceneSpec");

    mSceneBounds = TRect(0, 0, 0, 0);
    mScreenSize = {800, 600};
    mScreenPosition = {0, 0};
    ReadSceneSpec(spec);
    CreateSceneLuaObjects();
    SpawnActorList(spec, scriptPath);
    return true;
}

std::vector<std::shared_ptr<TTexture>> tScene::PicturesShown() const
{
    std::vector<std::shared_ptr<TTexture>> pictures(mAtlases.begin(), mAtlases.end());
    for (const tBGPlane& plane : mPlanes)
        if (plane.GetSource())
            pictures.push_back(plane.GetSource());
    for (const auto& actor : mActors) {
        if (!actor)
            continue;
        if (const TAnimatedSprite* sprite = actor->GetAnimatedSprite())
            pictures.push_back(sprite->GetAnimatedTexture());
        if (const TSprite* image = actor->GetImageSprite())
            pictures.push_back(image->GetTexture());
    }
    return pictures;
}

void tScene::ReadSceneSpec(dfLuaTable& spec)
{
    switch (FieldType(spec, "atlas")) {
    case LUA_TSTRING:
        if (const str atlas = spec.getfield_as_string("atlas"); !atlas.empty())
            LoadAtlas(atlas);
        break;
    case LUA_TTABLE: {
        std::unique_ptr<dfLuaTable> atlases = spec.getfield_as_table("atlas");
        for (int i = 1, n = atlases->getn(); i <= n; ++i)
            if (const str atlas = atlases->getfield_as_string(i); !atlas.empty())
                LoadAtlas(atlas);
        break;
    }
    }

    switch (FieldType(spec, "bg_image")) {
    case LUA_TSTRING: AddBGImage(spec.getfield_as_string("bg_image"), 1, BLENDMODE_NORMAL); break;
    case LUA_TTABLE: ReadBGImages(*spec.getfield_as_table("bg_image")); break;
    }

    if (FieldType(spec, "lightmap") == LUA_TSTRING)
        LoadLightmap(spec.getfield_as_string("lightmap"));

    switch (FieldType(spec, "ground")) {
    case LUA_TSTRING: {
        const str ground = spec.getfield_as_string("ground");
        if (LoadGround(ground) != DFRES_OK)
            LOGIT("LoadGround(%s) failed\n", ground.c_str());
        break;
    }
    case LUA_TTABLE: {
        std::unique_ptr<dfLuaTable> files = spec.getfield_as_table("ground");
        if (FieldType(*files, "verts") == LUA_TSTRING)
            LoadVerts(files->getfield_as_string("verts"));
        if (FieldType(*files, "mesh") == LUA_TSTRING)
            LoadMesh(files->getfield_as_string("mesh"));
        break;
    }
    default: LOGIT("No ground string or table detected\n");
    }
}

void tScene::ReadBGImages(dfLuaTable& images)
{
    for (int i = 1;; ++i) {
        const int type = FieldType(images, i);
        if (type == LUA_TSTRING) {
            AddBGImage(images.getfield_as_string(i), i, BLENDMODE_NORMAL);
            continue;
        }
        if (type != LUA_TTABLE)
            return;
        images.getfield(i);
        dfLuaTable entry(mLua, "imagetable");
        const str name = entry.getfield_as_string(1);
        if (name.empty())
            return;
        entry.getfield(2);
        const int depth = mLua.tointeger(-1);
        lua_pop(mLua.GetState(), 1);
        AddBGImage(name, depth, entry.getfield_as_integer("blend"));
    }
}

void tScene::CreateSceneLuaObjects()
{
    CreateLuaObj(mLua);
    GetLuaObj()->push();
    mLua.setglobal("scene");
    mGround.CreateLuaObj(mLua);
    GetLuaObj()->setfield("mesh", mGround.GetLuaObj());
}

void tScene::SpawnActorList(dfLuaTable& spec, const str& scriptPath)
{
    std::unique_ptr<dfLuaTable> actors = spec.getfield_as_table("actorlist");
    if (!actors) {
        LOGIT("No actor defined in %s\n", scriptPath.c_str());
        return;
    }
    lua_State* L = mLua.GetState();
    for (int i = 1, n = actors->getn(); i <= n; ++i) {
        actors->getfield(i);
        tGirl* actor = Spawn(mLua, {0, 0});
        lua_pop(L, 1);
        if (i == 1 && !mCameraActor)
            mCameraActor = actor;
    }
}
