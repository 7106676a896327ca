#pragma once
// The game's thin handle on a Lua state and the value conversions that every binding shares.
// The dispatchers (lua_dispatch.h) build a non-owning dfLua on the calling state and read
// their arguments through Get(TypeWrapper<T>, dfLua&, index); a type that crosses the binding
// adds its own Get (and Put for results) next to its definition.
//   dfLua l(L);
//   int n = l.tointeger(2);
//   TColor c = Get(TypeWrapper<TColor>(), l, 3);
//   l.setmethod(&TActor::Walk, "Walk");   // method table just below on the stack

#include <lua.h>

#include <cstring>
#include <optional>
#include <type_traits>

#include "core/math/color.h"
#include "core/math/rect.h"
#include "core/text/str.h"

// Selects a conversion by the compiled type it produces.
template <class T>
struct TypeWrapper
{
};

class dfLua
{
public:
    dfLua() = default;
    // Wraps without owning: the state is never closed by this handle.
    explicit dfLua(lua_State* state) : mState(state) {}
    ~dfLua();
    dfLua(const dfLua&) = delete;
    dfLua& operator=(const dfLua&) = delete;

    lua_State* GetState() const { return mState; }
    bool IsOwned() const { return mOwned; }

    // A new state of this handle's own; an owned previous state is closed first.
    void open();
    // Closes an owned state; the handle becomes empty and not owning.
    void close();
    // Closes an owned previous state, then takes `state` with the given ownership.
    void assign(lua_State* state, bool owned);
    lua_State* newthread();
    void openlibs();
    // Loads a chunk without running it; the Lua status code.
    int loadbuffer(const char* text, size_t length, const char* chunkName);
    void getglobal(const char* name);
    // Pops the top value into the global `name`.
    void setglobal(const char* name);
    // Pushes a full userdata holding a copy of `bytes`; its address.
    void* newuserdata(size_t size, const void* bytes);
    // Pushes the table of a compiled object: metatable vtable[className], field "this" the
    // object's address. Without such a class entry the table is plain (and it is logged).
    void newcobject(const char* className, void* object);
    // Makes sure vtable[className] exists with its method table (its "__index"), chained to
    // the parent's when one is named, and leaves the method table on the stack.
    void createvtable(const char* className, const char* parentName);

    // A boolean gives 0 or 1; anything else is read as a number and truncated toward zero.
    // NaN gives 0 and values beyond the int range saturate.
    int tointeger(int index);

    // The second upvalue of the running native closure (a bound method's name), or null.
    const char* GetSecondUpValueAsString();
    // Writes the whole stack to the debug log; the stack is left as it was.
    void stackdump(const char* label);

    // Binds a member function: a closure whose upvalue 1 is a userdata holding the member
    // pointer and upvalue 2 the name. `upvalues` further values on the top of the stack
    // become upvalues 3 onwards.
    template <class M>
    void pushmethod(M method, unsigned upvalues, const char* name);
    // pushmethod, then stores the closure under `name` in the table just below it.
    template <class M>
    void setmethod(M method, const char* name, unsigned upvalues = 0);
    // A closure over a free function (upvalue 1 a userdata holding its address).
    template <class F>
    void pushfunction(F function);
    // pushfunction, stored as the global `name`.
    template <class F>
    void bindfunction(F function, const char* name);

private:
    void PushCallable(const void* bytes, size_t size);
    void PushClosure(lua_CFunction dispatcher, unsigned upvalues);

    bool mOwned = false;
    lua_State* mState = nullptr;
};

// Called after an assertion message; it only returns (a place for a debugger breakpoint).
void dfDebugBreak();

// Lua 5.1 forms the game is written against.
inline void lua_pushinteger(lua_State* L, lua_Number n)
{
    lua_pushnumber(L, n);
}

// The game's report of a script error (a dialog in the game). Without one installed the
// report goes to the debug log only.
using TLuaErrorReport = void (*)(dfLua& lua, const char* where, const str& message);
void SetLuaErrorReport(TLuaErrorReport report);
void ReportLuaError(dfLua& lua, const char* where, const str& message);

// A bound method was called without its object (a dot instead of a colon, or an object whose
// compiled side is gone): reports it and returns 0, the number of results.
int concentrate_this_error(dfLua& lua, const char* dispatcher);

// ---- conversions ---------------------------------------------------------------------------

int Get(TypeWrapper<int>, dfLua& lua, int index);
// Bit masks: the integer's bits as they stand (-1 gives all bits set).
unsigned Get(TypeWrapper<unsigned>, dfLua& lua, int index);
float Get(TypeWrapper<float>, dfLua& lua, int index);
double Get(TypeWrapper<double>, dfLua& lua, int index);
bool Get(TypeWrapper<bool>, dfLua& lua, int index);
// Never null: nil and other values without a text form give "".
const char* Get(TypeWrapper<const char*>, dfLua& lua, int index);
str Get(TypeWrapper<str>, dfLua& lua, int index);
// A table with number fields "r", "g", "b", "a", each 1 when missing; not a table: white.
TColor Get(TypeWrapper<TColor>, dfLua& lua, int index);
// A table with fields "x", "y", "w", "h" (integers); not a table: all zero.
TRect Get(TypeWrapper<TRect>, dfLua& lua, int index);

void Put(dfLua& lua, const str& value);
void Put(dfLua& lua, const char* value);
void Put(dfLua& lua, bool value);
void Put(dfLua& lua, int value);
void Put(dfLua& lua, float value);
void Put(dfLua& lua, double value);
// Nil when there is no value.
void Put(dfLua& lua, const std::optional<str>& value);

// Reads a dispatcher argument: dfLua& parameters receive the dispatcher's own handle.
template <class A>
decltype(auto) ReadArg(dfLua& lua, int index)
{
    using T = std::remove_cvref_t<A>;
    if constexpr (std::is_same_v<T, dfLua>)
        return (lua);
    else
        return Get(TypeWrapper<T>(), lua, index);
}

#include "core/script/lua_dispatch.h"

// ---- binding templates ---------------------------------------------------------------------

template <class M>
void dfLua::pushmethod(M method, unsigned upvalues, const char* name)
{
    PushCallable(&method, sizeof method);
    lua_insert(mState, -static_cast<int>(upvalues) - 1);
    lua_pushstring(mState, name ? name : "");
    lua_insert(mState, -static_cast<int>(upvalues) - 1);
    PushClosure(MethodDispatcher(method), upvalues + 2);
}

template <class M>
void dfLua::setmethod(M method, const char* name, unsigned upvalues)
{
    pushmethod(method, upvalues, name);
    lua_pushstring(mState, name);
    lua_insert(mState, -2);
    lua_settable(mState, -3);
}

template <class F>
void dfLua::pushfunction(F function)
{
    PushCallable(reinterpret_cast<const void*>(&function), sizeof function);
    PushClosure(FunctionDispatcher(function), 1);
}

template <class F>
void dfLua::bindfunction(F function, const char* name)
{
    pushfunction(function);
    lua_setglobal(mState, name);
}
