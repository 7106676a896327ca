// The progress objects as script classes: registered under their names, made by "Factory"
// from a script as fresh objects whose methods work, and guarded against calls without their
// object.

#include "../fake_scene.h"
#include "../lua_run.h"
#include "game/script/class_info.h"
#include "game/world/sound/sfx_lua.h"
#include "game/world/sound/sfx_manager.h"
#include "game/world/state/gamestate.h"
#include "game/world/state/gamestate_lua.h"

#include <gtest/gtest.h>

#include <lua.h>

#include <functional>
#include <string>

namespace {

std::string S(const str& s)
{
    return s.c_str();
}

TEST(ProgressClasses, RegisteredAndMadeByFactoryFromScript)
{
    const struct
    {
        const char* name;
        const tClassInfo* civ;
        const char* code;    // uses the new object o; leaves its answer in r
        const char* answer;  // "nil" for a class scripts cannot make
        // What the compiled object holds afterwards, and what that should be.
        std::function<std::string(baseObj*)> held;
        const char* holds;
    } cases[] = {
        {"tGamestate", &tGamestate::civ,
         "o:Set('n', 3) o:SetString('s', 't') o:SetString('gone', 'x') o:SetString('gone', nil) "
         "r = o:Get('n') .. o:GetString('s')",
         "3t",
         [](baseObj* o) {
             auto* g = static_cast<tGamestate*>(o);
             return std::to_string(g->Variables().size()) + std::to_string(g->Strings().size());
         },
         "11"},
        {"tInventory", &tInventory::civ,
         "o:AddInventory({ key = 'k', text = 'a key' }, false) o:AddInventory({ key = 'j' }) o:RemoveInventory('j') "
         "o:SetItemParameter('k', 7) local p = o:GetInventoryLocation('j') "
         "r = tostring(o:CheckInventory('k')) .. tostring(o:CheckInventory('j')) .. p.x .. ',' .. p.y",
         "truefalse400,600",
         [](baseObj* o) {
             tInventoryEntry* e = static_cast<tInventory*>(o)->GetInventoryEntry("k");
             return e ? S(e->text) + std::to_string(e->parameter) : std::string("none");
         },
         "a key7"},
        {"tQuestset", &tQuestset::civ,
         "o:AddQuest('q', 'Title', 'Body', 'icon') o:AddQuest('p', 'T', 'B', 'icon') o:CompleteQuest('q') "
         "o:AbandonQuest('p') o:MoveQuest(-1) r = o:CheckQuest('q') .. tostring(o:CheckQuest('p'))",
         "completenil",
         [](baseObj* o) {
             auto* q = static_cast<tQuestset*>(o);
             return std::to_string(q->GetEntryCount()) + S(q->GetSelected());
         },
         "1q"},
        {"tDiary", &tDiary::civ,
         "o:AddDiaryTableEntry({ 'a', 'One', 'x' }) o:AddDiaryTableEntry({ 'b', 'Two', 'y', 'z' }) "
         "o:AddDiaryTableEntry() o:RemoveDiaryEntry('One') r = 'done'",
         "done",
         [](baseObj* o) {
             tDiaryEntry* e = static_cast<tDiary*>(o)->GetEntry(0);
             return std::to_string(static_cast<tDiary*>(o)->GetEntryCount()) + (e ? S(e->key) : "") +
                    std::to_string(e ? e->body.size() : 0);
         },
         "1b2"},
        {"tSFXManager", &tSFXManager::civ, "r = o", "nil", nullptr, ""},
    };

    dfLua lua;
    lua.open();
    lua.openlibs();
    tClassInfo::AddAllClassInfoToLua(lua);
    lua_State* L = lua.GetState();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(tClassInfo::GetClassInfoByName(c.name), c.civ);
        EXPECT_EQ(c.civ->parent, &baseObj::civ);
        EXPECT_EQ(c.civ->factory == nullptr, !c.held);
        const std::string code = std::string("o = Factory('") + c.name + "') " + c.code;
        RunLua(L, code.c_str());
        EXPECT_EQ(LuaGlobal(L, "r"), c.answer);
        if (!c.held)
            continue;
        lua_getglobal(L, "o");
        lua_pushstring(L, "this");
        lua_rawget(L, -2);
        auto* object = static_cast<baseObj*>(lua_touserdata(L, -1));
        lua_pop(L, 2);
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(object->GetClassInfo(), c.civ);
        EXPECT_EQ(c.held(object), c.holds);
        delete object;
    }
    // The game's own objects are not what Factory made.
    EXPECT_EQ(gGamestate.Get("n"), 0);
    EXPECT_EQ(gGamestate.GetBag(BAG_INV)->GetInventoryEntryCount(), 0);
    EXPECT_EQ(gGamestate.GetQuests().GetEntryCount(), 0);
}

TEST(ProgressClasses, ADotCallReportsAndDoesNothing)
{
    FakeScene scene;
    tGamestate state;
    tSFXManager sfx;
    // A bare state: the globals bring their class tables with them.
    lua_State* L = lua_open();
    AddInstanceToLua(state, L);
    AddSFXToLua(sfx, L);

    const struct
    {
        const char* call;
        const char* method;
        std::function<bool()> untouched;
    } cases[] = {
        {"game.Set('n', 1)", "Set", [&] { return state.Variables().empty(); }},
        {"game.SetString('s', 't')", "SetString", [&] { return state.Strings().empty(); }},
        {"BAG_MAGIC.AddInventory({ key = 'k' }, false)", "AddInventory",
         [&] { return state.GetBag(BAG_MAGIC)->GetInventoryEntryCount() == 0; }},
        {"quest.AddQuest('q', 'T', 'B', 'icon')", "AddQuest", [&] { return state.GetQuests().GetEntryCount() == 0; }},
        {"BOOK_SEC.AddDiaryTableEntry({ 'k', 'T' })", "AddDiaryTableEntry",
         [&] { return state.GetDiary(BOOK_SEC)->GetEntryCount() == 0; }},
        {"sfx.PlayMusic('m.ogg', true)", "PlayMusic", [&] { return sfx.GetCurrentMusic().empty(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call);
        const std::string log = RunLua(L, c.call);
        EXPECT_NE(log.find(std::string("Missing base object in Lua function call:Called Function ") + c.method),
                  std::string::npos)
            << log;
        EXPECT_NE(log.find("without a 'this' object"), std::string::npos);
        EXPECT_TRUE(c.untouched());
    }
    // The same calls with a colon reach the objects.
    RunLua(L, "game:Set('n', 1) BAG_MAGIC:AddInventory({ key = 'k' }, false) sfx:PlayMusic('m.ogg', true)");
    EXPECT_EQ(state.Get("n"), 1);
    EXPECT_TRUE(state.GetBag(BAG_MAGIC)->CheckInventory("k"));
    EXPECT_EQ(S(sfx.GetCurrentMusic()), "m.ogg");
    lua_close(L);
}

}  // namespace
