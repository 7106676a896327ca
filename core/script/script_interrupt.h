#pragma once
// Stops a script that holds the main thread. The host keeps a list of the states its scripts
// run on (every TScript, animation scripts and their coroutines). Normally they carry no hook,
// so scripts run at full speed. When the
// main loop has not come round for a while, the platform arms the interrupt (from a timer
// signal on the main thread): every known state gets a count hook that, every few thousand
// instructions, asks the platform's check whether the running script must stop (the player or
// the system asked to close). The script then fails with a Lua error that names it, which
// unwinds to the host like any other script error. The next turn of the main loop disarms it.
//   SetScriptInterruptCheck([&watch] { return watch.ShouldStopScript(); });
//   ArmScriptInterrupt();      // in the timer's signal handler
//   DisarmScriptInterrupt();   // when the main loop comes round

#include <lua.h>

#include <functional>

using TScriptInterruptCheck = std::function<bool()>;

// Instructions between two checks while armed.
constexpr int kScriptInterruptInterval = 10000;

// An empty check never stops a script.
void SetScriptInterruptCheck(TScriptInterruptCheck check);

// Adds L to the known states (once); a state made while armed gets the hook at once. Until it
// is removed again L must stay open.
void RegisterScriptState(lua_State* L);
void UnregisterScriptState(lua_State* L);

// Puts the hook on every known state, to ask at its next instruction and then every
// kScriptInterruptInterval. Safe in a signal handler that interrupts the main thread.
void ArmScriptInterrupt();
// Takes the hooks off again; on the main thread, outside any script.
void DisarmScriptInterrupt();
bool IsScriptInterruptArmed();
