// The demo scenes' scripts and string tables from the assembled data folder, the lantern
// puzzle's sub-scene among them. The scripts run as a scene runs them ("quest/shared.lua",
// then the scene's own) in a plain state whose game objects are stand-ins that fail on any
// use, since a scene's objects do not exist yet while its scripts load.

#include "core/files/file.h"
#include "core/files/flat_file.h"
#include "core/script/df_lua.h"
#include "core/script/lua_state_hooks.h"
#include "core/strings/string_table.h"
#include "game/script/script_enums.h"
#include "game/world/mesh/mesh.h"

#include "../lua_run.h"

#include <gtest/gtest.h>

#include <lua.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct TDemoScene
{
    // The name the scene is loaded by: a scene of the list, or a sub-scene's script path.
    const char* name;
    // The asset folder its names resolve against: none for a sub-scene loaded by path.
    const char* folder;
    // In spawn order: the heroine first, so that the camera follows her.
    std::vector<std::string> actors;
    // Voice lines (quest/progress.lua's `lines`) the scene speaks.
    size_t voiceLines;
};

const TDemoScene kScenes[] = {
    {"cottage", "quest/cottage/", {"NELKA", "DRAWER", "NOTE", "DOOR"}, 3},
    {"garden", "quest/garden/", {"NELKA", "GARDENER", "GATE", "COTTAGE_DOOR"}, 4},
    {"forest", "quest/forest/", {"NELKA", "STUMP", "LANTERN", "WARMTH", "FIREFLIES", "GARDEN_PATH", "CLEARING_PATH"}, 2},
    {"quest/forest/lantern.lua", "", {"HAND", "SHUTTER_1", "SHUTTER_2", "SHUTTER_3", "SHUTTER_4", "GLOW", "CLOSE"}, 0},
    {"clearing", "quest/clearing/", {"NELKA", "PIP", "FOREST_PATH"}, 2},
};

// A name that is a script path loads as it stands (a sub-scene); a listed scene's script is
// its folder's <name>.lua.
bool LoadedByPath(const TDemoScene& scene)
{
    return std::string(scene.name).find(".lua") != std::string::npos;
}

std::string ScriptOf(const TDemoScene& scene)
{
    return LoadedByPath(scene) ? scene.name : std::string(scene.folder) + scene.name + ".lua";
}

const char* const kStandIns = R"(
for _, name in ipairs{ "game", "scene", "sfx", "quest", "BAG_INV", "BAG_MAGIC", "BOOK_PRI",
                       "BOOK_SEC", "BOOK_EDU" } do
    local object = name
    local standIn = {}
    setmetatable(standIn, { __index = function(_, key)
        error(object .. "." .. tostring(key) .. " used while the scripts load", 2)
    end })
    _G[object] = standIn
end
)";

// A name as the scene resolves it against its folder: "./x" and plain names inside the folder,
// a name with a folder of its own as it stands.
std::string Resolve(const std::string& folder, const std::string& name)
{
    if (name.rfind("./", 0) == 0)
        return folder + name.substr(2);
    if (name.find('/') != std::string::npos)
        return name;
    return folder + name;
}

// The string field `key` of the table on top of the stack; empty when it is no string.
std::string StringField(lua_State* L, const char* key)
{
    lua_pushstring(L, key);
    lua_gettable(L, -2);
    std::string s = lua_type(L, -1) == LUA_TSTRING ? lua_tostring(L, -1) : "";
    lua_pop(L, 1);
    return s;
}

std::string ReadAsset(const std::string& name)
{
    std::ifstream in(std::string(TV_ASSETS_RESOURCE_DIR) + "/assets/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct TKeyUse
{
    std::string key;
    bool spoken;  // a conversation line or choice ("SPEAKER:text"), not a plain remark
};

// The string keys a script uses: literal arguments of the speech helpers and the actors' name
// and "cantuse" fields.
std::vector<TKeyUse> KeysUsedBy(const std::string& code)
{
    const struct
    {
        std::regex pattern;
        bool spoken;
    } uses[] = {
        {std::regex(R"(\b(?:Speak|Choice|grabspeechline)\s*\(\s*"([^"]+)\")"), true},
        {std::regex(R"(\b(?:Say|grabstring)\s*\(\s*"([^"]+)\")"), false},
        {std::regex(R"(\bSayAndWait\s*\(\s*\w+\s*,\s*"([^"]+)\")"), false},
        {std::regex(R"(\b(?:point_at_name|cantuse)\s*=\s*"([^"]+)\")"), false},
    };
    std::vector<TKeyUse> keys;
    for (const auto& use : uses)
        for (std::sregex_iterator m(code.begin(), code.end(), use.pattern), end; m != end; ++m)
            keys.push_back({(*m)[1].str(), use.spoken});
    return keys;
}

class DemoSceneScripts : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TFile::ShutDownFileSystem();
        TFlatFile::mFlatFiles.clear();
        TFile::mResourceDir = TV_ASSETS_RESOURCE_DIR;
        TFile::ScanForResources();
    }
    void TearDown() override
    {
        if (L)
            lua_close(L);
        TFile::ShutDownFileSystem();
        TFile::mResourceDir = "";
    }

    // Runs the scene's scripts and leaves its scene_spec on top of the stack.
    void Load(const TDemoScene& scene)
    {
        if (L)
            lua_close(L);
        L = OpenHostState();
        dfLua lua(L);
        lua.openlibs();
        AddEnumsToLua(lua);
        RunLua(L, kStandIns);
        const std::string run = "dofile('quest/shared.lua') dofile('" + ScriptOf(scene) + "')";
        RunLua(L, run.c_str());
        lua_getglobal(L, "scene_spec");
        ASSERT_TRUE(lua_istable(L, -1)) << scene.name;
    }

    // The scene's strings as its loading merges them; a sub-scene loaded by path has no
    // string file of its own.
    static void LoadStrings(const TDemoScene& scene, TStringTable* table)
    {
        ASSERT_TRUE(table->LoadStringTable("strings.xml"));
        ASSERT_TRUE(table->MergeStringTable("quest/strings_shared.xml"));
        if (!LoadedByPath(scene)) {
            ASSERT_TRUE(
                table->MergeStringTable((std::string(scene.folder) + "strings_" + scene.name + ".xml").c_str()));
        }
    }

    lua_State* L = nullptr;
};

TEST_F(DemoSceneScripts, EveryFileTheScenesNameIsInTheDataFolder)
{
    for (const TDemoScene& scene : kScenes) {
        Load(scene);
        std::vector<std::string> files;
        auto image = [&](const std::string& name) { files.push_back(Resolve(scene.folder, name) + ".png"); };
        auto mesh = [&](const std::string& name) {
            files.push_back(Resolve(scene.folder, name + ".dverts"));
            files.push_back(Resolve(scene.folder, name + ".dmesh"));
        };

        lua_pushstring(L, "bg_image");
        lua_gettable(L, -2);
        if (lua_type(L, -1) == LUA_TSTRING)
            image(lua_tostring(L, -1));
        for (int i = 1; lua_istable(L, -1); ++i) {
            lua_rawgeti(L, -1, i);
            if (lua_istable(L, -1))
                lua_rawgeti(L, -1, 1);
            else
                lua_pushvalue(L, -1);
            const bool named = lua_type(L, -1) == LUA_TSTRING && *lua_tostring(L, -1);
            if (named)
                image(lua_tostring(L, -1));
            lua_pop(L, 2);
            if (!named)
                break;
        }
        lua_pop(L, 1);
        if (const std::string lightmap = StringField(L, "lightmap"); !lightmap.empty())
            image(lightmap);
        mesh(StringField(L, "ground"));

        lua_pushstring(L, "actorlist");
        lua_gettable(L, -2);
        ASSERT_TRUE(lua_istable(L, -1)) << scene.name;
        for (int i = 1; i <= luaL_getn(L, -1); ++i) {
            lua_rawgeti(L, -1, i);
            for (int level = 0; level < 2 && lua_istable(L, -1); ++level) {
                if (const std::string name = StringField(L, "image"); !name.empty())
                    image(name);
                if (const std::string halo = StringField(L, "halo"); !halo.empty())
                    mesh(halo);
                lua_pushstring(L, "anim");
                lua_gettable(L, -2);
                if (lua_type(L, -1) == LUA_TSTRING)
                    files.push_back(Resolve(scene.folder, lua_tostring(L, -1)));
                for (int a = 1; lua_istable(L, -1); ++a) {
                    lua_rawgeti(L, -1, a);
                    const bool named = lua_type(L, -1) == LUA_TSTRING && *lua_tostring(L, -1);
                    if (named)
                        files.push_back(Resolve(scene.folder, lua_tostring(L, -1)));
                    lua_pop(L, 1);
                    if (!named)
                        break;
                }
                lua_pop(L, 1);
                // The graphics table "gfx" names an animation and an image the same way.
                lua_pushstring(L, "gfx");
                lua_gettable(L, -2);
            }
            lua_pop(L, 2);
        }
        lua_pop(L, 2);

        // Pictures the scene's actors change to later, and the particle effects they carry.
        const std::string code = ReadAsset(ScriptOf(scene));
        const std::regex loadImage(R"(\bLoadImage\s*\(\s*"([^"]+)\")");
        for (std::sregex_iterator m(code.begin(), code.end(), loadImage), end; m != end; ++m)
            image((*m)[1].str());
        const std::regex loadParty(R"(\bLoadParty(?:Depth)?\s*\(\s*"([^"]+)\")");
        for (std::sregex_iterator m(code.begin(), code.end(), loadParty), end; m != end; ++m)
            files.push_back(Resolve(scene.folder, (*m)[1].str()));

        // The backgrounds, the ground and at least the heroine's animation and zone.
        EXPECT_GE(files.size(), 6u) << scene.name;
        for (const std::string& file : files)
            EXPECT_TRUE(TFile::Exists(file.c_str())) << scene.name << " names " << file;
    }
}

// Actor names are capitals, so that none can hide one of the scene object's methods or its
// "this" and "mesh" fields, under which the scene stores its actors.
TEST_F(DemoSceneScripts, ActorsAreWhoTheStoryNeedsAndWellFormed)
{
    const std::regex capitals("[A-Z][A-Z0-9_]*");
    for (const TDemoScene& scene : kScenes) {
        Load(scene);
        lua_pushstring(L, "actorlist");
        lua_gettable(L, -2);
        std::vector<std::string> names;
        for (int i = 1; i <= luaL_getn(L, -1); ++i) {
            lua_rawgeti(L, -1, i);
            ASSERT_TRUE(lua_istable(L, -1)) << scene.name << " actor " << i;
            const std::string name = StringField(L, "name");
            names.push_back(name);
            EXPECT_TRUE(std::regex_match(name, capitals)) << scene.name << " actor " << name;
            for (const char* handler : {"command", "on_click", "on_arrive", "on_use_inv", "point_at_fn"}) {
                lua_pushstring(L, handler);
                lua_gettable(L, -2);
                EXPECT_TRUE(lua_isnil(L, -1) || lua_isfunction(L, -1)) << name << "." << handler;
                lua_pop(L, 1);
            }
            // A hotspot given by name is a vertex of the actor's zone.
            if (const std::string hotspot = StringField(L, "hotspot"); !hotspot.empty()) {
                tMesh zone;
                const std::string halo = Resolve(scene.folder, StringField(L, "halo") + ".dverts");
                ASSERT_EQ(zone.LoadVertlist(halo.c_str()), 0) << name << " " << halo;
                EXPECT_TRUE(zone.VertExists(hotspot.c_str())) << name << " hotspot " << hotspot;
            }
            lua_pop(L, 1);
        }
        EXPECT_EQ(names, scene.actors) << scene.name;
    }
}

TEST_F(DemoSceneScripts, EveryStringKeyTheScriptsUseHasItsText)
{
    for (const TDemoScene& scene : kScenes) {
        Load(scene);
        TStringTable strings;
        LoadStrings(scene, &strings);
        const std::set<std::string> actors(scene.actors.begin(), scene.actors.end());
        const std::string code = ReadAsset("quest/shared.lua") + ReadAsset(ScriptOf(scene));
        const std::vector<TKeyUse> keys = KeysUsedBy(code);
        if (!LoadedByPath(scene)) {
            EXPECT_GE(keys.size(), 10u) << scene.name;
        }
        for (const TKeyUse& use : keys) {
            const std::string text = strings.GetString(use.key.c_str()).c_str();
            ASSERT_FALSE(text.empty() || text[0] == '#') << scene.name << " has no text for " << use.key;
            // A conversation line is spoken by the actor it names; a remark names nobody.
            const size_t colon = text.find(':');
            const std::string speaker = colon != std::string::npos && colon > 0 ? text.substr(0, colon) : "";
            if (use.spoken)
                EXPECT_TRUE(speaker.empty() || actors.count(speaker)) << use.key << " is spoken by " << speaker;
            else
                EXPECT_FALSE(actors.count(speaker)) << use.key << " would show its speaker " << speaker;
        }
    }
}

// The voice lines are the lines shown: a scene that speaks a voice line's key shows the very
// words the voice says.
TEST_F(DemoSceneScripts, VoiceLinesSayWhatTheSubtitlesShow)
{
    for (const TDemoScene& scene : kScenes) {
        Load(scene);
        TStringTable strings;
        LoadStrings(scene, &strings);
        const std::string code = ReadAsset(ScriptOf(scene));
        std::set<std::string> voiced;
        for (const TKeyUse& use : KeysUsedBy(code)) {
            lua_getglobal(L, "lines");
            lua_pushstring(L, use.key.c_str());
            lua_gettable(L, -2);
            if (lua_type(L, -1) == LUA_TSTRING) {
                voiced.insert(use.key);
                std::string shown = strings.GetString(use.key.c_str()).c_str();
                if (use.spoken && shown.find(':') != std::string::npos)
                    shown = shown.substr(shown.find(':') + 1);
                EXPECT_EQ(shown, lua_tostring(L, -1)) << use.key;
            }
            lua_pop(L, 2);
        }
        EXPECT_EQ(voiced.size(), scene.voiceLines) << scene.name;
    }
}

}  // namespace
