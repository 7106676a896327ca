#pragma once
// Driving a coroutine of a script's own through the waits of the interface's coroutine: text
// that must run at once, or the quit question, opens modal windows and waits like any layout
// code, each wait answered by the wait of the coroutine that drives it.

struct lua_State;

// Pushes function(t, delay): resumes coroutine t with what each wait gives
// (HandleGetMessage(delay), delay being what t yielded) until t ends, and returns true, or
// false and the error that ended it. False, with the message pushed, if it does not compile.
bool PushCoroutineFollower(lua_State* L);
