#pragma once
// Script objects of the game's progress: a table whose "this" field carries the compiled
// object, with the methods stored in it. Methods are called with a colon; arguments follow
// the object from index 2.
//   PushWorldObject(L, &bag);
//   SetWorldMethod<&tInventory::MoveInventory>(L, "MoveInventory");

#include "core/text/str.h"

#include <lua.h>

#include <type_traits>
#include <utility>

class TLuaTable;

// Pushes a new object table for object.
void PushWorldObject(lua_State* L, void* object);
// The compiled object of a method call (logged with the method's name and null when the
// call carries none).
void* WorldSelf(lua_State* L);
template <class T>
T* WorldSelf(lua_State* L)
{
    return static_cast<T*>(WorldSelf(L));
}
// Stores function under name in the table on the top of the stack; the name is its upvalue.
void SetWorldMethod(lua_State* L, const char* name, lua_CFunction function);

// Argument readers: Lua's own conversions, "" and 0 for what has none.
str LuaArgStr(lua_State* L, int index);
int LuaArgInt(lua_State* L, int index);
// A named text field of a table: Lua's conversion of it, "" when it has none.
str LuaFieldStr(const TLuaTable& table, const char* key);

namespace world_lua_detail {

template <class T>
T Arg(lua_State* L, int index)
{
    if constexpr (std::is_same_v<T, str>)
        return LuaArgStr(L, index);
    else if constexpr (std::is_same_v<T, bool>)
        return LuaArgInt(L, index) != 0;
    else if constexpr (std::is_same_v<T, float>)
        return float(lua_tonumber(L, index));
    else
        return LuaArgInt(L, index);
}

inline void Push(lua_State* L, const str& value)
{
    lua_pushstring(L, value.c_str());
}
inline void Push(lua_State* L, bool value)
{
    lua_pushboolean(L, value);
}
inline void Push(lua_State* L, int value)
{
    lua_pushnumber(L, value);
}

template <class C, class R, class... A>
struct MethodCall
{
    using Class = C;
    static constexpr size_t kArgs = sizeof...(A);

    template <auto M, class Self, size_t... I>
    static int Call(lua_State* L, Self* self, std::index_sequence<I...>)
    {
        if constexpr (std::is_void_v<R>) {
            (self->*M)(Arg<std::decay_t<A>>(L, int(I) + 2)...);
            return 0;
        } else {
            Push(L, (self->*M)(Arg<std::decay_t<A>>(L, int(I) + 2)...));
            return 1;
        }
    }
};

template <class M>
struct Method;
template <class C, class R, class... A>
struct Method<R (C::*)(A...)> : MethodCall<C, R, A...>
{
};
template <class C, class R, class... A>
struct Method<R (C::*)(A...) const> : MethodCall<C, R, A...>
{
};

template <auto M>
int Dispatch(lua_State* L)
{
    using Traits = Method<decltype(M)>;
    auto* self = WorldSelf<typename Traits::Class>(L);
    if (!self)
        return 0;
    return Traits::template Call<M>(L, self, std::make_index_sequence<Traits::kArgs>());
}

}  // namespace world_lua_detail

// Binds a member function whose arguments and result are texts, numbers or booleans.
template <auto M>
void SetWorldMethod(lua_State* L, const char* name)
{
    SetWorldMethod(L, name, &world_lua_detail::Dispatch<M>);
}
