#pragma once
// The process-wide table of named text values that scripts and compiled code share: flags,
// counters and settings of the running game. The key "mute" also silences the sound.
//   TGameState::GetInstance()->SetState("++visits", "");   // counts up
//   if (TGameState::GetInstance()->QueryMuteGame()) ...
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

    // A missing key is added with an empty value.
    str GetState(str key);
    // A key starting with "++" stores the remaining key's number plus one; "mute" set to a
    // non-zero number saves the master volume and silences the sound, back to 0 restores it.
    void SetState(str key, str value);
    void SetState(str key, int value);
    bool QueryMuteGame();
    bool QueryRestartMode();
    bool QueryJumpToMenu();

    void BindLuaGlobals(lua_State* L);

private:
    TGameState();
    bool IsMuted();

    TGameStateData* mData;
};

// Sets a value when the platform exists (making the table if needed); else does nothing.
void SetState(str key, str value);
