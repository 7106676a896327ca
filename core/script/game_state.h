#pragma once
// The process-wide table of named text values that scripts and compiled code share: flags,
// counters and settings of the running game. Each write and read is offered to a chain of
// handlers; the first, built in, turns "mute" into the sound's volume.
//   TGameState::GetInstance()->SetState("++visits", "");   // counts up
//   if (TGameState::GetInstance()->QueryMuteGame()) ...
//   TGameState::GetInstance()->AddHandler(&metrics);        // sees every later write
//
// It exists only once the platform object does: the platform installs SetPlatformQuery and
// destroys the table (DestroyInstance) when it goes. The window manager's script state gets
// the Lua globals "GetState", "_SetState", "QueryMuteGame", "QueryRestartMode" and
// "QueryJumpToMenu" through BindLuaGlobals (or SetScriptStateQuery, so the table binds
// itself when it is made).

#include <lua.h>

#include <map>
#include <optional>

#include "core/text/str.h"

class TGameStateData;

// Told of the table's writes and reads. Answering true means handled: the handlers after it
// are not asked.
class TGameStateHandler
{
public:
    virtual ~TGameStateHandler() = default;
    // After `value` is stored under `key`.
    virtual bool OnSetState(const str& key, const str& value);
    // Before a read returns; `value` is the stored entry, which the handler may bring up to date.
    virtual bool OnGetState(const str& key, str& value);
};

// How "mute" reaches the sound: the program installs the sound manager's master volume here
// (the engine's foundation knows nothing of the sound layer). `present` tells whether a
// manager exists now.
struct TMasterVolume
{
    bool (*present)();
    float (*get)();
    void (*set)(float volume);
};

class TGameState
{
public:
    static constexpr const char* kMute = "mute";

    // Made on first call once the platform exists; null before.
    static TGameState* GetInstance();
    // Deletes the table (the platform object's destructor).
    static void DestroyInstance();
    // Whether the platform object exists; without a query it never does.
    static void SetPlatformQuery(bool (*platformExists)());
    // Where "mute" saves and restores the volume; null leaves the sound alone.
    static void SetMasterVolume(const TMasterVolume* volume);
    // The script state to bind the Lua globals into when the table is made (may give null).
    static void SetScriptStateQuery(lua_State* (*scriptState)());

    virtual ~TGameState();
    TGameState(const TGameState&) = delete;
    TGameState& operator=(const TGameState&) = delete;

    // A missing key is added with an empty value; the read is offered to the handlers first.
    str GetState(str key);
    // A key starting with "++" stores the remaining key's number plus one; the stored pair is
    // then offered to the handlers. "mute" set to a non-zero number saves the master volume
    // and silences the sound, back to 0 restores it.
    void SetState(str key, str value);
    void SetState(str key, int value);
    bool QueryMuteGame();
    bool QueryRestartMode();
    bool QueryJumpToMenu();

    void BindLuaGlobals(lua_State* L);

    // Appends to the chain, after the volume handler; not owned. A handler may be added or
    // removed while the chain runs: one removed is not asked again.
    void AddHandler(TGameStateHandler* handler);
    void RemoveHandler(TGameStateHandler* handler);

private:
    TGameState();
    bool IsMuted();
    template <class Offer>
    void OfferToHandlers(Offer offer);

    TGameStateData* mData;
};

// Sets a value when the platform exists (making the table if needed); else does nothing.
void SetState(str key, str value);
