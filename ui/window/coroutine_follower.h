#pragma once
// Driving a coroutine of a script's own through the waits of the interface's coroutine: text
// that must run at once, or the quit question, opens modal windows and waits like any layout
// code, each wait answered by the wait of the coroutine that drives it.

#include <cstddef>

struct lua_State;

// Runs the chunk `source`, which returns function(follow, create), and calls that with the
// follower and its creator. create(f) gives a new coroutine of f that is followed (see
// IsFollowedCoroutine); follow(t, delay) resumes such a coroutine t with what each wait gives
// (HandleGetMessage(delay), delay being what t yielded) until t ends, and returns true and
// the first value t returned (`delay` itself when t has ended already), or false and the error
// that ended it. Pushes what the call gives; false, with the error message
// pushed instead, when the chunk does not compile or fails.
bool PushWithFollower(lua_State* L, const char* source, size_t length, const char* name);

// True when L is a coroutine made by a follower's create: its waits are to be yielded to the
// driver that follows it, as the delay they ask for.
bool IsFollowedCoroutine(lua_State* L);
