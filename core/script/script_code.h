#pragma once
// A script file in compiled form: each file is compiled once per run, in a separate short-lived
// state, and later runs load the stored chunk without touching the source again. The code
// stays cached for the whole run, known by the file its name resolves to; the asset manager,
// when there is one, shares it too.
//   str error;
//   auto code = TScriptCode::Get("scripts/menu.lua", TScript::mLuaPath, &error);
//   if (code) luaL_loadbuffer(L, code->GetData(), code->GetLength(), "scripts/menu.lua");

#include <cstdint>
#include <memory>
#include <vector>

#include "core/files/asset.h"
#include "core/text/str.h"

class TScriptCode : public TAsset
{
    TV_ASSET_CLASS(TScriptCode, TAsset)

public:
    explicit TScriptCode(std::vector<char> chunk);
    ~TScriptCode() override = default;

    // The compiled form of the file `name` (read through the file layer), cached or freshly
    // compiled; empty on failure, with the compiler's message in *error when given. `path`
    // becomes LUA_PATH of the compiling state ("assets/?;../?;?" when empty).
    static std::shared_ptr<TScriptCode> Get(const str& name, const str& path, str* error);
    // Lets an asset map load ".lua" names as compiled code.
    static void RegisterAssetLoaders();

    // The chunk's bytes: they hold zero bytes, so always use them with the length.
    const char* GetData() const { return mChunk.data(); }
    uint32_t GetLength() const { return mLength; }

private:
    std::vector<char> mChunk;
    uint32_t mLength;
};
