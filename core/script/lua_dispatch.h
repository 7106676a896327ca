#pragma once
// Native Lua functions that call compiled code: each is instantiated for one compiled
// signature and finds its callable in upvalue 1 of the running closure (a userdata holding a
// copy of the function or member-function pointer). Methods take their object from the
// light-userdata field "this" of argument 1 (the colon form of a call) and their arguments
// from index 2; free functions read theirs from index 1. Included by df_lua.h.

#include <lua.h>

#include <cstring>

class dfLua;
int concentrate_this_error(dfLua& lua, const char* dispatcher);

namespace lua_dispatch_detail {

// Copies the callable out of upvalue 1; false when the closure carries none of that size.
template <class F>
bool ReadCallable(lua_State* L, F* out)
{
    if (lua_type(L, lua_upvalueindex(1)) != LUA_TUSERDATA)
        return false;
    const void* bytes = lua_touserdata(L, lua_upvalueindex(1));
    if (!bytes)
        return false;
    std::memcpy(static_cast<void*>(out), bytes, sizeof(F));
    return true;
}

// The compiled object of a method call (or of the object argument at `index`), or null when
// it carries none. The read goes through "__index", so a table that inherits from an object's
// table reaches the object.
inline void* ThisObject(lua_State* L, int index = 1)
{
    if (lua_type(L, index) != LUA_TTABLE)
        return nullptr;
    lua_pushstring(L, "this");
    lua_gettable(L, index < 0 && index > LUA_REGISTRYINDEX ? index - 1 : index);
    void* object = lua_type(L, -1) == LUA_TLIGHTUSERDATA ? lua_touserdata(L, -1) : nullptr;
    lua_pop(L, 1);
    return object;
}

int MissingCallable(lua_State* L, const char* dispatcher);

// The object of a method call with its member pointer read into *method; null, after the
// report, when the closure or argument 1 lacks either.
template <class C, class M>
C* MethodTarget(dfLua& lua, M* method, const char* dispatcher)
{
    lua_State* L = lua.GetState();
    if (!ReadCallable(L, method)) {
        MissingCallable(L, dispatcher);
        return nullptr;
    }
    void* object = ThisObject(L);
    if (!object)
        concentrate_this_error(lua, dispatcher);
    return static_cast<C*>(object);
}

}  // namespace lua_dispatch_detail

template <class C>
int dispatch_method_np(lua_State* L)
{
    dfLua lua(L);
    void (C::*method)() = nullptr;
    C* object = lua_dispatch_detail::MethodTarget<C>(lua, &method, "dispatch_method_np");
    if (!object)
        return 0;
    (object->*method)();
    return 0;
}

template <class C, class A>
int dispatch_method_1p(lua_State* L)
{
    dfLua lua(L);
    void (C::*method)(A) = nullptr;
    C* object = lua_dispatch_detail::MethodTarget<C>(lua, &method, "dispatch_method_1p");
    if (!object)
        return 0;
    (object->*method)(ReadArg<A>(lua, 2));
    return 0;
}

template <class C, class A, class B>
int dispatch_method_P1P2(lua_State* L)
{
    dfLua lua(L);
    void (C::*method)(A, B) = nullptr;
    C* object = lua_dispatch_detail::MethodTarget<C>(lua, &method, "dispatch_method_P1P2");
    if (!object)
        return 0;
    (object->*method)(ReadArg<A>(lua, 2), ReadArg<B>(lua, 3));
    return 0;
}

template <class C, class A, class B, class D>
int dispatch_method_P1P2P3(lua_State* L)
{
    dfLua lua(L);
    void (C::*method)(A, B, D) = nullptr;
    C* object = lua_dispatch_detail::MethodTarget<C>(lua, &method, "dispatch_method_P1P2P3");
    if (!object)
        return 0;
    (object->*method)(ReadArg<A>(lua, 2), ReadArg<B>(lua, 3), ReadArg<D>(lua, 4));
    return 0;
}

template <class C, class A, class B, class D, class E>
int dispatch_method_P1P2P3P4(lua_State* L)
{
    dfLua lua(L);
    void (C::*method)(A, B, D, E) = nullptr;
    C* object = lua_dispatch_detail::MethodTarget<C>(lua, &method, "dispatch_method_P1P2P3P4");
    if (!object)
        return 0;
    (object->*method)(ReadArg<A>(lua, 2), ReadArg<B>(lua, 3), ReadArg<D>(lua, 4), ReadArg<E>(lua, 5));
    return 0;
}

// M is R (C::*)() or its const form: getters are usually const.
template <class C, class R, class M = R (C::*)()>
int dispatch_method_R1(lua_State* L)
{
    dfLua lua(L);
    M method = nullptr;
    C* object = lua_dispatch_detail::MethodTarget<C>(lua, &method, "dispatch_method_R1");
    if (!object)
        return 0;
    Put(lua, (object->*method)());
    return 1;
}

template <class C, class R, class A, class M = R (C::*)(A)>
int dispatch_method_R1P1(lua_State* L)
{
    dfLua lua(L);
    M method = nullptr;
    C* object = lua_dispatch_detail::MethodTarget<C>(lua, &method, "dispatch_method_R1P1");
    if (!object)
        return 0;
    Put(lua, (object->*method)(ReadArg<A>(lua, 2)));
    return 1;
}

template <class C>
int dispatch_method_LS(lua_State* L)
{
    dfLua lua(L);
    int (C::*method)(lua_State*) = nullptr;
    C* object = lua_dispatch_detail::MethodTarget<C>(lua, &method, "dispatch_method_LS");
    if (!object)
        return 0;
    return (object->*method)(L);
}

template <class C>
int dispatch_method(lua_State* L)
{
    dfLua lua(L);
    int (C::*method)(dfLua&) = nullptr;
    C* object = lua_dispatch_detail::MethodTarget<C>(lua, &method, "dispatch_method");
    if (!object)
        return 0;
    return (object->*method)(lua);
}

template <class A>
int dispatch_function_P1(lua_State* L)
{
    dfLua lua(L);
    void (*function)(A) = nullptr;
    if (!lua_dispatch_detail::ReadCallable(L, &function) || !function)
        return lua_dispatch_detail::MissingCallable(L, "dispatch_function_P1");
    function(ReadArg<A>(lua, 1));
    return 0;
}

template <class A, class B>
int dispatch_function_P1P2(lua_State* L)
{
    dfLua lua(L);
    void (*function)(A, B) = nullptr;
    if (!lua_dispatch_detail::ReadCallable(L, &function) || !function)
        return lua_dispatch_detail::MissingCallable(L, "dispatch_function_P1P2");
    function(ReadArg<A>(lua, 1), ReadArg<B>(lua, 2));
    return 0;
}

template <class R>
int dispatch_function_R1(lua_State* L)
{
    dfLua lua(L);
    R (*function)() = nullptr;
    if (!lua_dispatch_detail::ReadCallable(L, &function) || !function)
        return lua_dispatch_detail::MissingCallable(L, "dispatch_function_R1");
    Put(lua, function());
    return 1;
}

template <class R, class A>
int dispatch_function_R1P1(lua_State* L)
{
    dfLua lua(L);
    R (*function)(A) = nullptr;
    if (!lua_dispatch_detail::ReadCallable(L, &function) || !function)
        return lua_dispatch_detail::MissingCallable(L, "dispatch_function_R1P1");
    Put(lua, function(ReadArg<A>(lua, 1)));
    return 1;
}

// The dispatcher that serves a callable of a given shape (used by dfLua's binders).
template <class C>
lua_CFunction MethodDispatcher(void (C::*)())
{
    return &dispatch_method_np<C>;
}
template <class C, class A>
lua_CFunction MethodDispatcher(void (C::*)(A))
{
    return &dispatch_method_1p<C, A>;
}
template <class C, class A, class B>
lua_CFunction MethodDispatcher(void (C::*)(A, B))
{
    return &dispatch_method_P1P2<C, A, B>;
}
template <class C, class A, class B, class D>
lua_CFunction MethodDispatcher(void (C::*)(A, B, D))
{
    return &dispatch_method_P1P2P3<C, A, B, D>;
}
template <class C, class A, class B, class D, class E>
lua_CFunction MethodDispatcher(void (C::*)(A, B, D, E))
{
    return &dispatch_method_P1P2P3P4<C, A, B, D, E>;
}
// The raw shapes (int taking lua_State* or dfLua&) are picked by the more specialised
// overloads below them.
template <class C, class R>
lua_CFunction MethodDispatcher(R (C::*)())
{
    return &dispatch_method_R1<C, R>;
}
template <class C, class R>
lua_CFunction MethodDispatcher(R (C::*)() const)
{
    return &dispatch_method_R1<C, R, R (C::*)() const>;
}
template <class C, class R, class A>
lua_CFunction MethodDispatcher(R (C::*)(A))
{
    return &dispatch_method_R1P1<C, R, A>;
}
template <class C, class R, class A>
lua_CFunction MethodDispatcher(R (C::*)(A) const)
{
    return &dispatch_method_R1P1<C, R, A, R (C::*)(A) const>;
}
template <class C>
lua_CFunction MethodDispatcher(int (C::*)(lua_State*))
{
    return &dispatch_method_LS<C>;
}
template <class C>
lua_CFunction MethodDispatcher(int (C::*)(dfLua&))
{
    return &dispatch_method<C>;
}
template <class A>
lua_CFunction FunctionDispatcher(void (*)(A))
{
    return &dispatch_function_P1<A>;
}
template <class A, class B>
lua_CFunction FunctionDispatcher(void (*)(A, B))
{
    return &dispatch_function_P1P2<A, B>;
}
template <class R>
lua_CFunction FunctionDispatcher(R (*)())
{
    return &dispatch_function_R1<R>;
}
template <class R, class A>
lua_CFunction FunctionDispatcher(R (*)(A))
{
    return &dispatch_function_R1P1<R, A>;
}
