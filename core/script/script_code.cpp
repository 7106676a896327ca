#include "core/script/script_code.h"

#include <lauxlib.h>
#include <lua.h>

#include <map>

#include "core/files/asset_map.h"
#include "core/files/file.h"
#include "core/script/lua_state_hooks.h"

namespace {

const char kDefaultPath[] = "assets/?;../?;?";

// The run's strong references: the asset manager only holds weak ones, and a script is
// compiled once per run however often it is loaded.
std::map<str, std::shared_ptr<TScriptCode>>& CompiledScripts()
{
    static std::map<str, std::shared_ptr<TScriptCode>> scripts;
    return scripts;
}

// Dump pieces are appended to a growing buffer; 0 tells the dumper to go on.
int AppendChunk(lua_State*, const void* piece, size_t size, void* buffer)
{
    auto* bytes = static_cast<std::vector<char>*>(buffer);
    const char* p = static_cast<const char*>(piece);
    bytes->insert(bytes->end(), p, p + size);
    return 0;
}

// Compiles in a state of its own, so that a compile never disturbs running states.
std::shared_ptr<TScriptCode> Compile(const str& name, const str& path, str* error)
{
    lua_State* L = OpenHostState();
    if (!L) {
        if (error)
            *error = "cannot create a Lua state";
        return nullptr;
    }
    lua_pushstring(L, path.empty() ? kDefaultPath : path.c_str());
    lua_setglobal(L, "LUA_PATH");

    std::shared_ptr<TScriptCode> code;
    if (luaL_loadfile(L, name.c_str()) == 0) {
        std::vector<char> chunk;
        if (lua_dump(L, &AppendChunk, &chunk) && !chunk.empty())
            code = std::make_shared<TScriptCode>(std::move(chunk));
        else if (error)
            *error = str("cannot store the compiled form of ") + name;
    } else if (error) {
        const char* message = lua_tostring(L, -1);
        *error = message ? message : "unknown compile error";
    }
    lua_close(L);
    return code;
}

}  // namespace

TScriptCode::TScriptCode(std::vector<char> chunk)
    : mChunk(std::move(chunk)), mLength(static_cast<uint32_t>(mChunk.size()))
{
}

std::shared_ptr<TScriptCode> TScriptCode::Get(const str& name, const str& path, str* error)
{
    if (name.empty())
        return nullptr;
    TAssetManager* manager = TAssetManager::GetInstance();
    if (manager) {
        if (auto held = AssetCast<TScriptCode>(manager->GetAsset(name)))
            return held;
    }
    // The run's cache knows a file by where its name leads: the same name in another data
    // folder is another file.
    const str resolved = TFile::TranslateResource(name, true);
    const str file = resolved.empty() ? name : TFile::ToDiskPath(resolved);
    auto& scripts = CompiledScripts();
    auto cached = scripts.find(file);
    std::shared_ptr<TScriptCode> code = cached != scripts.end() ? cached->second : Compile(name, path, error);
    if (code)
        scripts[file] = code;
    if (manager)
        manager->AddAsset(name, code);
    return code;
}

void TScriptCode::RegisterAssetLoaders()
{
    TAssetLoader loader;
    loader.classId = ClassId();
    loader.load = [](const str& resolved) -> std::shared_ptr<TAsset> { return Get(resolved, str(), nullptr); };
    TAssetMap::RegisterLoader("lua", loader);
}
