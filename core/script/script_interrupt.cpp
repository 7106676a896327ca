#include "core/script/script_interrupt.h"

#include <algorithm>
#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "core/debug/debug_log.h"

namespace {

// Host states and coroutines alive at once stay far below this; beyond it a state is simply
// not watched.
constexpr int kMaxStates = 1024;

std::atomic<lua_State*> gStates[kMaxStates];
std::atomic<bool> gArmed{false};
static_assert(std::atomic<lua_State*>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "the list is read from a signal handler");

TScriptInterruptCheck& Check()
{
    static TScriptInterruptCheck check;
    return check;
}

// The first stop's message for each state stopped since the interrupt was armed. A script that
// catches the error (pcall round a helper it reads) meets it again in its own code, and the
// log must still name where it was running, not the line of the pcall.
struct TStop
{
    lua_State* L;
    std::string message;
};
std::vector<TStop>& Stops()
{
    static std::vector<TStop> stops;
    return stops;
}

void ForgetStop(lua_State* L)
{
    std::erase_if(Stops(), [L](const TStop& s) { return s.L == L; });
}

// The chunk name in full (a file name is never cut); source text run as a chunk is cut short.
std::string ScriptName(const lua_Debug* ar)
{
    constexpr size_t kLongest = 160;
    std::string name = ar->source ? ar->source : "?";
    if (!name.empty() && (name[0] == '@' || name[0] == '='))
        name.erase(0, 1);
    if (name.size() > kLongest)
        name = name.substr(0, kLongest) + "...";
    return name;
}

void InterruptHook(lua_State* L, lua_Debug* ar);

// Also inside __gc finalizers: one that never returns holds the main thread like any script.
void Hook(lua_State* L, int count)
{
    lua_sethook(L, &InterruptHook, LUA_MASKCOUNT | LUA_MASKGC, count);
}

void InterruptHook(lua_State* L, lua_Debug* ar)
{
    const TScriptInterruptCheck& check = Check();
    if (!check || !check()) {
        if (lua_gethookcount(L) != kScriptInterruptInterval)
            Hook(L, kScriptInterruptInterval);
        return;
    }
    // Checked again at the next instruction: a script that catches the error (pcall in a loop)
    // meets it again in its own code at once, until it has unwound to the host.
    Hook(L, 1);
    std::vector<TStop>& stops = Stops();
    auto stop = std::find_if(stops.begin(), stops.end(), [L](const TStop& s) { return s.L == L; });
    if (stop == stops.end()) {
        lua_getinfo(L, "Sl", ar);
        lua_pushfstring(L, "script %s stopped at line %d: it held the main thread while the program was asked to close",
                        ScriptName(ar).c_str(), ar->currentline);
        stops.push_back({L, lua_tostring(L, -1)});
        // Told here too: the error of a finalizer's stop, or of one below a C++ caller, ends
        // where nobody reports it.
        WriteDbg("%s", stops.back().message.c_str());
    } else {
        lua_pushstring(L, stop->message.c_str());
    }
    lua_error(L);
}

}  // namespace

void SetScriptInterruptCheck(TScriptInterruptCheck check)
{
    Check() = std::move(check);
}

void RegisterScriptState(lua_State* L)
{
    int free = -1;
    for (int i = 0; i < kMaxStates; ++i) {
        lua_State* s = gStates[i].load(std::memory_order_relaxed);
        if (s == L)
            return;
        if (!s && free < 0)
            free = i;
    }
    if (free < 0) {
        static bool told = false;
        if (!told)
            WriteDbg("More than %d Lua states: the ones beyond are not stopped when they hold the main thread",
                     kMaxStates);
        told = true;
        return;
    }
    gStates[free].store(L, std::memory_order_relaxed);
    if (gArmed.load(std::memory_order_relaxed))
        Hook(L, kScriptInterruptInterval);
}

void UnregisterScriptState(lua_State* L)
{
    ForgetStop(L);
    for (std::atomic<lua_State*>& s : gStates) {
        lua_State* expected = L;
        if (s.compare_exchange_strong(expected, nullptr, std::memory_order_relaxed))
            return;
    }
}

void ArmScriptInterrupt()
{
    gArmed.store(true, std::memory_order_relaxed);
    // The next instruction asks: the platform arms at a steady rate in time, and one
    // instruction may take long (a call that builds a large string).
    for (std::atomic<lua_State*>& s : gStates)
        if (lua_State* L = s.load(std::memory_order_relaxed))
            Hook(L, 1);
}

void DisarmScriptInterrupt()
{
    Stops().clear();
    if (!gArmed.exchange(false, std::memory_order_relaxed))
        return;
    for (std::atomic<lua_State*>& s : gStates)
        if (lua_State* L = s.load(std::memory_order_relaxed))
            lua_sethook(L, nullptr, 0, 0);
}

bool IsScriptInterruptArmed()
{
    return gArmed.load(std::memory_order_relaxed);
}
