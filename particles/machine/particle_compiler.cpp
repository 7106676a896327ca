// The compiling half of the particle system: members, the pool, and expressions turned into
// instructions. Every limit of the machine is checked here, while the description loads.

#include "core/debug/debug_log.h"
#include "core/script/script.h"
#include "particles/machine/c_locale_format.h"
#include "particles/machine/lua_particle_system.h"
#include "particles/machine/particle_functions.h"
#include "particles/render/particle_collection.h"
#include "particles/render/particle_renderer.h"
#include "render/anim/animated_texture.h"
#include "render/texture/texture.h"

#include <lauxlib.h>

#include <cmath>
#include <cstring>

namespace {

constexpr unsigned kMaxArguments = 255;
constexpr unsigned kMaxStackDepth = TParticleValueStack::kSlots;
constexpr unsigned kMaxValueSize = TParticleValueStack::kMaxValueSize;
constexpr unsigned kMaxParticleSize = 255;

uint32_t MakeHandle(int base, unsigned size)
{
    return (static_cast<uint32_t>(size) << 16) | static_cast<uint16_t>(static_cast<int16_t>(base));
}

void PushHandle(lua_State* L, uint32_t handle)
{
    void* block = lua_newuserdata(L, sizeof handle);
    std::memcpy(block, &handle, sizeof handle);
    luaL_getmetatable(L, "ParticleMemberMT");
    lua_setmetatable(L, -2);
}

// The handle held by a member userdata at `index`; false for any other value.
bool ReadHandle(lua_State* L, int index, uint32_t* handle)
{
    if (lua_type(L, index) != LUA_TUSERDATA || !lua_getmetatable(L, index))
        return false;
    luaL_getmetatable(L, "ParticleMemberMT");
    const bool member = lua_rawequal(L, -1, -2) != 0;
    lua_pop(L, 2);
    if (!member)
        return false;
    std::memcpy(handle, lua_touserdata(L, index), sizeof *handle);
    return true;
}

bool IsWholeNumberIn(double value, double low, double high)
{
    return value >= low && value <= high && std::floor(value) == value;
}

str TypeOfExtension(const str& name)
{
    const unsigned dot = name.find('.', str::kFromEnd);
    if (dot == str::npos)
        return str();
    str ext = name.substr(dot + 1);
    ext.downcase();
    return ext;
}

}  // namespace

int TLuaParticleSystem::LimitFailure(lua_State* L, const str& what)
{
    if (!mLoadFailed) {
        mLoadFailed = true;
        mLoadFailure = what;
    }
    WriteDbg("TLuaParticleSystem: %s", what.c_str());
    return luaL_error(L, "%s", what.c_str());
}

int TLuaParticleSystem::Allocate(lua_State* L)
{
    if (mPoolSized)
        return LimitFailure(L, "Allocate after SetNumParticles: the pool is already sized");
    const double size = lua_tonumber(L, 1);
    if (!IsWholeNumberIn(size, 1, kMaxValueSize))
        return LimitFailure(L, CLocaleFormat("member size %g is not a whole number from 1 to 4", size));
    const unsigned n = static_cast<unsigned>(size);
    if (mParticleSize + n > kMaxParticleSize)
        return LimitFailure(
            L, str::getFormatted("particle size would be %u floats, over %u", mParticleSize + n, kMaxParticleSize));
    const int base = mParticleSize;
    mParticleSize = static_cast<uint8_t>(mParticleSize + n);
    mMemberSizes.push_back(static_cast<uint8_t>(n));
    const uint8_t memberSize = static_cast<uint8_t>(n);
    mMemberLayout.ResetPartial(static_cast<unsigned>(mMemberSizes.size() - 1), &memberSize, 1);
    PushHandle(L, MakeHandle(base, n));
    StreamsChanged();
    return 1;
}

int TLuaParticleSystem::SetNumParticles(lua_State* L)
{
    const double n = lua_tonumber(L, 1);
    if (!(n >= 0 && n <= kMaxParticles))
        return LimitFailure(L, CLocaleFormat("SetNumParticles(%g) is outside 0 to %d", n, kMaxParticles));
    const int count = static_cast<int>(n);
    const size_t floats = static_cast<size_t>(count) * mParticleSize;
    mParticleBuffer.reset(new float[floats > 0 ? floats : 1]());
    mCollection->InitNumParticles(count, mParticleSize, mParticleBuffer.get());
    mPoolSized = true;
    return 0;
}

void TLuaParticleSystem::SetTexture(const str& name)
{
    std::shared_ptr<TTexture> texture;
    mAssets.AddAsset(name, nullptr, true);
    if (mAssets.QueryAsset(name))
        texture = mAssets.GetTexture(name);
    if (!texture) {
        // No asset loader for the type: load it directly.
        const str type = TypeOfExtension(name);
        if (type == str("xml") || type == str("anm"))
            texture = TAnimatedTexture::Get(name, "", "");
        else
            texture = TTexture::Get(name, 0);
        if (texture)
            mAssets.AddAsset(name, texture);
    }
    if (!texture)
        WriteDbg("TLuaParticleSystem: texture %s not found.", name.c_str());
    mRenderer->SetTexture(texture);
}

int TLuaParticleSystem::RegisterDataSource(const str& name, TParticleFunction* function)
{
    if (!function)
        return 0;
    const uint8_t size = function->GetReturnSize(0, nullptr);
    if (size < 1 || size > kMaxValueSize || mDataSources.size() >= 32767) {
        WriteDbg("TLuaParticleSystem: data source %s refused (value size %u).", name.c_str(), size);
        return 0;
    }
    mDataSources.push_back(function);
    const int base = -static_cast<int>(mDataSources.size());
    lua_State* L = mScript->GetState();
    lua_pushstring(L, name.c_str());
    PushHandle(L, MakeHandle(base, size));
    lua_settable(L, LUA_GLOBALSINDEX);
    function->mName = name;
    return base;
}

std::shared_ptr<TParticleFunction> TLuaParticleSystem::GetParticleFunction(const str& name)
{
    auto factory = mFunctionFactories.find(name);
    if (factory != mFunctionFactories.end() && factory->second) {
        std::shared_ptr<TParticleFunction> made(factory->second());
        made->mName = name;
        return made;
    }
    auto named = mNamedFunctions.find(name);
    if (named != mNamedFunctions.end() && named->second) {
        named->second->mName = name;
        return named->second;
    }
    // Through the alert function itself: the name never becomes Lua source.
    lua_State* L = mScript->GetState();
    const int height = lua_gettop(L);
    lua_pushstring(L, "_ALERT");
    lua_gettable(L, LUA_GLOBALSINDEX);
    const str message = str::getFormatted("Type not found: %s", name.c_str());
    if (lua_isfunction(L, -1)) {
        lua_pushstring(L, message.c_str());
        if (lua_pcall(L, 1, 0, 0) != 0)
            WriteDbg("%s", message.c_str());
    } else {
        WriteDbg("%s", message.c_str());
    }
    lua_settop(L, height);
    return nullptr;
}

int TLuaParticleSystem::CompileParam(lua_State* L)
{
    lua_settop(L, 1);
    switch (lua_type(L, 1)) {
    case LUA_TNUMBER: {
        const float value = static_cast<float>(lua_tonumber(L, 1));
        PInstruction push;
        push.mFunction = std::make_shared<FPush<float>>(&value);
        mPendingStream.push_back(std::move(push));
        lua_pushnumber(L, 1);
        return 1;
    }
    case LUA_TUSERDATA: {
        uint32_t handle = 0;
        if (!ReadHandle(L, 1, &handle))
            break;
        const int base = static_cast<int16_t>(handle & 0xFFFF);
        const unsigned size = handle >> 16;
        const bool fits =
            size >= 1 && size <= kMaxValueSize &&
            (base >= 0 ? static_cast<unsigned>(base) + size <= mParticleSize : GetDataSource(-base) != nullptr);
        if (!fits)
            return LimitFailure(L, str::getFormatted("member (base %d, size %u) lies outside this particle's %u "
                                                     "floats and data sources",
                                                     base, size, static_cast<unsigned>(mParticleSize)));
        PInstruction get;
        get.mFunction = std::make_shared<FGetParticleParam>(static_cast<int16_t>(base), static_cast<uint16_t>(size));
        mPendingStream.push_back(std::move(get));
        lua_pushnumber(L, size);
        return 1;
    }
    case LUA_TTABLE: return CompileTable(L);
    default: break;
    }
    lua_pushnumber(L, 0);
    return 1;
}

bool TLuaParticleSystem::AssignFits(lua_State* L, int args)
{
    // A member handle from elsewhere (a shared state's leftovers) may lie past this particle.
    lua_rawgeti(L, args, 2);
    lua_rawgeti(L, args, 3);
    const bool known = lua_type(L, -2) == LUA_TNUMBER && lua_type(L, -1) == LUA_TNUMBER;
    const double base = lua_tonumber(L, -2);
    const double size = lua_tonumber(L, -1);
    lua_pop(L, 2);
    if (known && (base < 0 || base + size > mParticleSize)) {
        LimitFailure(L, CLocaleFormat("member (base %g, size %g) lies outside this particle's %u floats", base, size,
                                      static_cast<unsigned>(mParticleSize)));
        return false;
    }
    return true;
}

int TLuaParticleSystem::CompileTable(lua_State* L)
{
    lua_pushstring(L, "cmd");
    lua_rawget(L, 1);
    const bool hasCmdField = !lua_isnil(L, -1);
    const str cmd = lua_type(L, -1) == LUA_TSTRING ? str(lua_tostring(L, -1)) : str();
    lua_pop(L, 1);

    if (!hasCmdField) {
        const int n = luaL_getn(L, 1);
        bool numbers = true;
        float values[4] = {0, 0, 0, 0};
        for (int i = 1; i <= n && numbers; ++i) {
            lua_rawgeti(L, 1, i);
            numbers = lua_type(L, -1) == LUA_TNUMBER;
            if (numbers && i <= 4)
                values[i - 1] = static_cast<float>(lua_tonumber(L, -1));
            lua_pop(L, 1);
        }
        if (numbers) {
            PInstruction push;
            if (n == 2)
                push.mFunction = std::make_shared<FPush<TVec2>>(values);
            else if (n == 3)
                push.mFunction = std::make_shared<FPush<TVec3>>(values);
            else if (n == 4)
                push.mFunction = std::make_shared<FPush<TVec4>>(values);
            else
                return 0;
            mPendingStream.push_back(std::move(push));
            lua_pushnumber(L, n);
            return 1;
        }
    }

    const str name = cmd.empty() ? str("fVec") : cmd;
    // The argument list: the "params" of a call, or the table's own elements.
    if (cmd.empty()) {
        lua_pushvalue(L, 1);
    } else {
        lua_pushstring(L, "params");
        lua_rawget(L, 1);
        if (!lua_istable(L, -1)) {
            lua_pop(L, 1);
            lua_newtable(L);
        }
    }
    const int args = lua_gettop(L);
    const int count = luaL_getn(L, args);
    if (count > static_cast<int>(kMaxArguments))
        return LimitFailure(L, str::getFormatted("%s has %d arguments, over %u", name.c_str(), count, kMaxArguments));

    std::shared_ptr<TParticleFunction> function = GetParticleFunction(name);
    if (!function)
        return 0;
    if (name == str("assign") && !AssignFits(L, args))
        return 0;

    lua_pushstring(L, "CompileParameters");
    lua_gettable(L, LUA_GLOBALSINDEX);
    lua_pushvalue(L, args);
    lua_call(L, 1, 1);
    const int sizesAt = lua_gettop(L);

    PInstruction call;
    call.mFunction = function;
    call.mArgCount = static_cast<uint8_t>(count);
    uint8_t* sizes = call.mInlineSizes;
    if (count > 3) {
        call.mMoreSizes.assign(static_cast<size_t>(count), 0);
        sizes = call.mMoreSizes.data();
    }
    for (int i = 0; i < count; ++i) {
        uint8_t size = 0;
        if (lua_istable(L, sizesAt)) {
            lua_rawgeti(L, sizesAt, i + 1);
            const double s = lua_tonumber(L, -1);
            size = s > 0 && s <= 255 ? static_cast<uint8_t>(s) : 0;
            lua_pop(L, 1);
        }
        sizes[i] = size;
    }
    const uint8_t size = function->GetReturnSize(count, call.GetArgSizes());
    if (size > kMaxValueSize)
        return LimitFailure(
            L, str::getFormatted("%s gives a value of %u floats, over %u", name.c_str(), size, kMaxValueSize));
    mPendingStream.push_back(std::move(call));
    lua_pushnumber(L, size);
    return 1;
}

void TLuaParticleSystem::Accumulate(lua_State* L, std::vector<PInstruction>& stream, std::vector<TRunStep>& run,
                                    uint32_t& depth)
{
    std::vector<PInstruction> pending;
    pending.swap(mPendingStream);
    for (PInstruction& instruction : pending) {
        const uint8_t count = instruction.mArgCount;
        const bool pushes = instruction.mFunction->GetReturnSize(count, instruction.GetArgSizes()) > 0;
        depth = (count <= depth ? depth - count : 0) + (pushes ? 1 : 0);
        if (depth > kMaxStackDepth) {
            LimitFailure(L, str::getFormatted("a stream needs more than %u values on the stack", kMaxStackDepth));
            return;
        }
        run.push_back({instruction.mFunction.get(), count});
        stream.push_back(std::move(instruction));
        StreamsChanged();
    }
}
