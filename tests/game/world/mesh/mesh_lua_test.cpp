// The five script methods of a mesh, called from Lua with the colon form on the mesh's object
// of class "tMesh".

#include <gtest/gtest.h>

#include <cstring>

#include <lauxlib.h>
#include <lualib.h>

#include "common/log_capture.h"
#include "game/script/df_lua_obj.h"
#include "game/world/mesh/mesh_lua.h"
#include "game/world/mesh_fixture.h"

namespace {

class MeshLua : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mMesh = LoadMesh("vertex 7 3 door\ntri 0,0 10,0 0,10 label=rug\ntri 10,0 10,10 0,10\n");
        L = lua_open();
        luaopen_base(L);
        dfLua lua(L);
        tClassInfo::AddAllClassInfoToLua(lua);
        mMesh.CreateLuaObj(lua);
        mMesh.GetLuaObj()->push();
        lua_setglobal(L, "mesh");
    }
    void TearDown() override
    {
        mMesh.DumpLuaObj();
        lua_close(L);
    }
    std::string Run(const char* code)
    {
        if (luaL_loadbuffer(L, code, std::strlen(code), "test") != 0 || lua_pcall(L, 0, 1, 0) != 0)
            return std::string("error: ") + lua_tostring(L, -1);
        const char* result = lua_tostring(L, -1);
        std::string text = result ? result : "nil";
        lua_pop(L, 1);
        return text;
    }

    tMesh mMesh;
    lua_State* L = nullptr;
};

TEST_F(MeshLua, EachMethodAnswers)
{
    const struct
    {
        const char* code;
        const char* result;
    } cases[] = {
        {"return mesh:PolyCollide({x = 2, y = 2})", "0"},
        {"return mesh:PolyCollide({x = 8, y = 8})", "1"},
        {"return mesh:PolyCollide({x = 80, y = 8})", "-1"},
        {"return mesh:LookupPolyLabelByIndex(0)", "rug"},
        {"return tostring(mesh:LookupPolyLabelByIndex(1))", "nil"},
        {"return tostring(mesh:LookupPolyLabelByIndex(9))", "nil"},
        {"local p = mesh:LookupVertByLabel('door') return p.x .. ',' .. p.y", "7,3"},
        {"local p = mesh:LookupVertByLabel('attic') return p.x .. ',' .. p.y", "0,0"},
        {"return tostring(mesh:VertExists('door'))", "true"},
        {"return tostring(mesh:VertExists('attic'))", "false"},
        {"mesh:SetPolyState('rug', false) return mesh:PolyCollide({x = 2, y = 2})", "-1"},
        {"mesh:SetPolyState('rug', true) return mesh:PolyCollide({x = 2, y = 2})", "0"},
        {"local m = Factory('tMesh') return tostring(m:VertExists('door')) .. m:PolyCollide({x = 2, y = 2})",
         "false-1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Run(c.code), c.result) << c.code;
}

TEST_F(MeshLua, APointThatIsNotATableIsTheOrigin)
{
    TLogCapture log;
    EXPECT_EQ(Run("return mesh:PolyCollide(5)"), "0");
    EXPECT_NE(log.Text().find("LUA_GET(Vector2) didn't get a table"), std::string::npos);
}

}  // namespace
