#include "core/script/game_state.h"

#include "core/script/lua_direct_closure.h"

class TGameStateData
{
public:
    static TGameState* mGameState;

    std::map<str, str> mTable;
    // The master volume before muting; empty while nothing is saved.
    std::optional<float> mSavedVolume;
};

TGameState* TGameStateData::mGameState = nullptr;

namespace {

bool (*gPlatformExists)() = nullptr;
lua_State* (*gScriptState)() = nullptr;
const TMasterVolume* gMasterVolume = nullptr;

} // namespace

TGameState::TGameState() : mData(new TGameStateData)
{
    if (gScriptState) {
        if (lua_State* L = gScriptState())
            BindLuaGlobals(L);
    }
}

TGameState::~TGameState()
{
    delete mData;
}

TGameState* TGameState::GetInstance()
{
    if (!TGameStateData::mGameState && gPlatformExists && gPlatformExists())
        TGameStateData::mGameState = new TGameState;
    return TGameStateData::mGameState;
}

void TGameState::DestroyInstance()
{
    delete TGameStateData::mGameState;
    TGameStateData::mGameState = nullptr;
}

void TGameState::SetPlatformQuery(bool (*platformExists)())
{
    gPlatformExists = platformExists;
}

void TGameState::SetMasterVolume(const TMasterVolume* volume)
{
    gMasterVolume = volume;
}

void TGameState::SetScriptStateQuery(lua_State* (*scriptState)())
{
    gScriptState = scriptState;
}

str TGameState::GetState(str key)
{
    return mData->mTable[key];
}

bool TGameState::IsMuted()
{
    return GetState(kMute).to_int() != 0;
}

void TGameState::SetState(str key, str value)
{
    if (key.length() >= 2 && key[0] == '+' && key[1] == '+') {
        key = key.substr(2);
        value = str::getFormatted("%d", GetState(key).to_int() + 1);
    }
    const bool wasMuted = IsMuted();
    mData->mTable[key] = value;
    if (key != str(kMute))
        return;
    const bool muted = value.to_int() != 0;
    const bool sound = gMasterVolume && gMasterVolume->present();
    if (muted && !wasMuted) {
        if (sound) {
            mData->mSavedVolume = gMasterVolume->get();
            gMasterVolume->set(0);
        }
    } else if (!muted && wasMuted) {
        // Only a volume that was really saved comes back: muting without a sound manager
        // must not silence one made later.
        if (sound && mData->mSavedVolume)
            gMasterVolume->set(*mData->mSavedVolume);
        mData->mSavedVolume.reset();
    }
}

void TGameState::SetState(str key, int value)
{
    SetState(key, str::getFormatted("%d", value));
}

bool TGameState::QueryMuteGame()
{
    return IsMuted();
}

bool TGameState::QueryRestartMode()
{
    return false;
}

bool TGameState::QueryJumpToMenu()
{
    return false;
}

void TGameState::BindLuaGlobals(lua_State* L)
{
    lua_pushdirectclosure(L, this, &TGameState::GetState);
    lua_setglobal(L, "GetState");
    lua_pushdirectclosure(L, &::SetState);
    lua_setglobal(L, "_SetState");
    lua_pushdirectclosure(L, this, &TGameState::QueryMuteGame);
    lua_setglobal(L, "QueryMuteGame");
    lua_pushdirectclosure(L, this, &TGameState::QueryRestartMode);
    lua_setglobal(L, "QueryRestartMode");
    lua_pushdirectclosure(L, this, &TGameState::QueryJumpToMenu);
    lua_setglobal(L, "QueryJumpToMenu");
}

void SetState(str key, str value)
{
    if (TGameState* state = TGameState::GetInstance())
        state->SetState(key, value);
}
