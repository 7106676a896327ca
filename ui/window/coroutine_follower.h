#pragma once
// Driving a coroutine of a script's own through the waits of the interface's coroutine: text
// that must run at once, or the quit question, opens modal windows and waits like any layout
// code, each wait answered by the wait of the coroutine that drives it.

#include <cstddef>

struct lua_State;

// Runs the chunk `source`, which returns function(follow), and calls that with the follower:
// function(t, delay) resumes coroutine t with what each wait gives (HandleGetMessage(delay),
// delay being what t yielded) until t ends, and returns true, or false and the error that
// ended it. Pushes what the call gives; false, with the error message pushed instead, when
// the chunk does not compile or fails.
bool PushWithFollower(lua_State* L, const char* source, size_t length, const char* name);
