#include "core/script/game_state.h"

#include "core/script/lua_direct_closure.h"

#include <algorithm>
#include <vector>

namespace {

bool (*gPlatformExists)() = nullptr;
lua_State* (*gScriptState)() = nullptr;
const TMasterVolume* gMasterVolume = nullptr;

// "mute" to the master volume: muting saves the volume and silences, unmuting restores it.
class TVolumeStateHandler : public TGameStateHandler
{
public:
    bool OnSetState(const str& key, const str& value) override
    {
        if (key != str(TGameState::kMute))
            return false;
        const bool muted = value.to_int() != 0;
        const bool sound = gMasterVolume && gMasterVolume->present();
        if (muted && !mMuted) {
            if (sound) {
                mSavedVolume = gMasterVolume->get();
                gMasterVolume->set(0);
            }
        } else if (!muted && mMuted) {
            // Only a volume that was really saved comes back: muting without a sound manager
            // must not silence one made later.
            if (sound && mSavedVolume)
                gMasterVolume->set(*mSavedVolume);
            mSavedVolume.reset();
        }
        mMuted = muted;
        return true;
    }

private:
    bool mMuted = false;
    // The master volume before muting; empty while nothing is saved.
    std::optional<float> mSavedVolume;
};

}  // namespace

class TGameStateData
{
public:
    static TGameState* mGameState;

    std::map<str, str> mTable;
    TVolumeStateHandler mVolume;
    std::vector<TGameStateHandler*> mHandlers{&mVolume};
};

TGameState* TGameStateData::mGameState = nullptr;

bool TGameStateHandler::OnSetState(const str&, const str&)
{
    return false;
}

bool TGameStateHandler::OnGetState(const str&, str&)
{
    return false;
}

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
    // Map entries stay where they are while handlers add others.
    str& value = mData->mTable[key];
    OfferToHandlers([&](TGameStateHandler* h) { return h->OnGetState(key, value); });
    return value;
}

template <class Offer>
void TGameState::OfferToHandlers(Offer offer)
{
    const std::vector<TGameStateHandler*> chain = mData->mHandlers;
    for (TGameStateHandler* handler : chain) {
        const auto& now = mData->mHandlers;
        if (std::find(now.begin(), now.end(), handler) == now.end())
            continue;
        if (offer(handler))
            return;
    }
}

void TGameState::AddHandler(TGameStateHandler* handler)
{
    if (handler)
        mData->mHandlers.push_back(handler);
}

void TGameState::RemoveHandler(TGameStateHandler* handler)
{
    auto& list = mData->mHandlers;
    if (handler != &mData->mVolume)
        list.erase(std::remove(list.begin(), list.end(), handler), list.end());
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
    mData->mTable[key] = value;
    OfferToHandlers([&](TGameStateHandler* h) { return h->OnSetState(key, value); });
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
