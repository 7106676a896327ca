#pragma once
// Binds one compiled function, or one method on one object, as a Lua function: the arguments
// are read from stack positions 1, 2, ... with the Get conversions and the result, if any, is
// pushed with Put. The object must outlive the state's use of the closure.
//   lua_pushdirectclosure(L, state, &TGameState::GetState);
//   lua_setglobal(L, "GetState");
//   lua_pushdirectclosure(L, &SetState);

#include <lua.h>

#include <type_traits>
#include <utility>

#include "core/script/df_lua.h"

namespace lua_direct_detail {

template <class C, class M>
struct BoundMethod
{
    C* object;
    M method;
};

template <class R, class... A, std::size_t... I, class Call>
int Invoke(lua_State* L, Call&& call, std::index_sequence<I...>)
{
    dfLua lua(L);
    if constexpr (std::is_void_v<R>) {
        call(ReadArg<A>(lua, static_cast<int>(I) + 1)...);
        return 0;
    } else {
        Put(lua, call(ReadArg<A>(lua, static_cast<int>(I) + 1)...));
        return 1;
    }
}

template <class C, class M, class R, class... A>
int CallMethod(lua_State* L)
{
    BoundMethod<C, M> bound{};
    if (!lua_dispatch_detail::ReadCallable(L, &bound) || !bound.object)
        return lua_dispatch_detail::MissingCallable(L, "lua_pushdirectclosure");
    return Invoke<R, A...>(
        L, [&](auto&&... args) -> R { return (bound.object->*bound.method)(std::forward<decltype(args)>(args)...); },
        std::index_sequence_for<A...>());
}

template <class R, class... A>
int CallFunction(lua_State* L)
{
    R (*function)(A...) = nullptr;
    if (!lua_dispatch_detail::ReadCallable(L, &function) || !function)
        return lua_dispatch_detail::MissingCallable(L, "lua_pushdirectclosure");
    return Invoke<R, A...>(
        L, [&](auto&&... args) -> R { return function(std::forward<decltype(args)>(args)...); },
        std::index_sequence_for<A...>());
}

// Pushes the callable as upvalue 1 below `upvalues` further values and makes the closure.
template <class T>
void PushClosure(lua_State* L, const T& callable, lua_CFunction call, int upvalues)
{
    void* block = lua_newuserdata(L, sizeof callable);
    std::memcpy(block, static_cast<const void*>(&callable), sizeof callable);
    lua_insert(L, -upvalues - 1);
    lua_pushcclosure(L, call, upvalues + 1);
}

}  // namespace lua_direct_detail

template <class C, class R, class... A>
void lua_pushdirectclosure(lua_State* L, C* object, R (C::*method)(A...), int upvalues = 0)
{
    using M = R (C::*)(A...);
    lua_direct_detail::PushClosure(L, lua_direct_detail::BoundMethod<C, M>{object, method},
                                   &lua_direct_detail::CallMethod<C, M, R, A...>, upvalues);
}

template <class C, class R, class... A>
void lua_pushdirectclosure(lua_State* L, C* object, R (C::*method)(A...) const, int upvalues = 0)
{
    using M = R (C::*)(A...) const;
    lua_direct_detail::PushClosure(L, lua_direct_detail::BoundMethod<C, M>{object, method},
                                   &lua_direct_detail::CallMethod<C, M, R, A...>, upvalues);
}

template <class R, class... A>
void lua_pushdirectclosure(lua_State* L, R (*function)(A...), int upvalues = 0)
{
    lua_direct_detail::PushClosure(L, function, &lua_direct_detail::CallFunction<R, A...>, upvalues);
}
