#include <gtest/gtest.h>

#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>

#include <memory>
#include <string>

#include "core/script/lua_message_wrapper.h"
#include "core/script/message.h"
#include "core/script/message_lua.h"

namespace {

int gDeleted = 0;

class CountedMessage : public TMessage
{
    TV_CLASS(CountedMessage, TMessage)

public:
    CountedMessage(int type, const char* name) : TMessage(type, name, nullptr) {}
    ~CountedMessage() override { ++gDeleted; }
};

class MessageLua : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gDeleted = 0;
        L = lua_open();
        luaopen_base(L);
        lua_settop(L, 0);
        CreateMessageMetatable(L);
    }
    void TearDown() override
    {
        if (L)
            lua_close(L);
    }
    void Run(const char* code)
    {
        ASSERT_EQ(luaL_loadbuffer(L, code, strlen(code), "test"), 0) << lua_tostring(L, -1);
        ASSERT_EQ(lua_pcall(L, 0, 0, 0), 0) << lua_tostring(L, -1);
    }
    std::string Global(const char* name)
    {
        lua_getglobal(L, name);
        const char* text = lua_tostring(L, -1);
        std::string value = text ? text : "<" + std::string(lua_typename(L, lua_type(L, -1))) + ">";
        lua_pop(L, 1);
        return value;
    }
    lua_State* L = nullptr;
};

TEST(MessageIdentity, ClassIdsAndKinds)
{
    TMessage plain(3, "click", nullptr);
    lua_State* L = lua_open();
    lua_newtable(L);
    auto held = std::make_unique<TLuaMessageWrapper>(1000, "custom", nullptr, L);
    TLuaMessageWrapper& posted = *held;
    CountedMessage counted(1, "x");

    EXPECT_NE(TMessage::ClassId(), TLuaMessageWrapper::ClassId());
    EXPECT_TRUE(plain.IsKindOf(TMessage::ClassId()));
    EXPECT_FALSE(plain.IsKindOf(TLuaMessageWrapper::ClassId()));
    EXPECT_TRUE(posted.IsKindOf(TLuaMessageWrapper::ClassId()));
    EXPECT_TRUE(posted.IsKindOf(TMessage::ClassId()));
    EXPECT_FALSE(posted.IsKindOf(CountedMessage::ClassId()));
    EXPECT_TRUE(counted.IsKindOf(TMessage::ClassId()));
    EXPECT_STREQ(plain.GetTypeName(), "TMessage");
    EXPECT_STREQ(posted.GetTypeName(), "TLuaMessageWrapper");
    EXPECT_EQ(posted.GetType(), 1000);
    EXPECT_STREQ(posted.GetName().c_str(), "custom");
    posted.GetLuaData().Push();
    EXPECT_TRUE(lua_istable(L, -1));
    lua_pop(L, 1);
    held.reset();  // a wrapper goes before its state
    lua_close(L);
}

TEST_F(MessageLua, FieldsReadFromLua)
{
    PushMessage(L, new TMessage(7, "okButton", nullptr));
    lua_setglobal(L, "m");
    Run("t, n, other, odd, num = m.type, m.name, m.other, m[{}], m[1]");
    EXPECT_EQ(Global("t"), "7");
    EXPECT_EQ(Global("n"), "okButton");
    EXPECT_EQ(Global("other"), "<nil>");
    EXPECT_EQ(Global("odd"), "<nil>");
    EXPECT_EQ(Global("num"), "<nil>");

    lua_getglobal(L, "m");
    TMessage* back = ToMessage(L, -1);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetType(), 7);
    // Game code reads the message straight from the box.
    EXPECT_EQ(lua_touserdata(L, -1), back);
    lua_pop(L, 1);
}

TEST_F(MessageLua, IndexWithoutAMessageGivesNothing)
{
    lua_pushcfunction(L, &IndexMessage);
    lua_setglobal(L, "index");
    lua_newuserdata(L, sizeof(void*));
    lua_setglobal(L, "other");
    Run("function count(...) return arg.n end\n"
        "a = count(index(5, 'type'))\n"
        "b = count(index(other, 'type'))\n");
    EXPECT_EQ(Global("a"), "0");
    EXPECT_EQ(Global("b"), "0");
    lua_getglobal(L, "other");
    EXPECT_EQ(ToMessage(L, -1), nullptr);
    lua_pop(L, 1);
}

TEST_F(MessageLua, CollectedExactlyOnce)
{
    for (int i = 0; i < 3; ++i)
        PushMessage(L, new CountedMessage(i, "m"));
    lua_setglobal(L, "kept");
    lua_settop(L, 0);
    lua_setgcthreshold(L, 0);
    EXPECT_EQ(gDeleted, 2);
    lua_setgcthreshold(L, 0);
    EXPECT_EQ(gDeleted, 2);

    Run("kept = nil");
    lua_setgcthreshold(L, 0);
    lua_setgcthreshold(L, 0);
    EXPECT_EQ(gDeleted, 3);

    // Still referenced when the state closes: deleted then, once.
    PushMessage(L, new CountedMessage(9, "late"));
    lua_setglobal(L, "late");
    lua_close(L);
    L = nullptr;
    EXPECT_EQ(gDeleted, 4);
}

TEST_F(MessageLua, NullMessagesAreHarmless)
{
    PushMessage(L, nullptr);
    EXPECT_TRUE(lua_isnil(L, -1));
    lua_pop(L, 1);
    DeleteMessage(nullptr);
    CreateMessageMetatable(L);  // a second call keeps the first table
    lua_pushstring(L, "zvMessageMetatable");
    lua_rawget(L, LUA_REGISTRYINDEX);
    EXPECT_TRUE(lua_istable(L, -1));
    lua_pop(L, 1);
}

}  // namespace
