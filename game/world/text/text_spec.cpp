#include "game/world/text/text_spec.h"

#include "game/script/df_log.h"

#include <lua.h>

#include <utility>

namespace {

enum class EMissing
{
    kRead,
    kSkip
};

// Pushes table[key]; the table index must not be relative to the top.
void PushField(lua_State* L, int table, const char* key)
{
    lua_pushstring(L, key);
    lua_gettable(L, table);
}

int AbsIndex(lua_State* L, int index)
{
    return index > 0 || index <= LUA_REGISTRYINDEX ? index : lua_gettop(L) + index + 1;
}

// A channel the table lacks reads as 0, as every other missing number does; only alpha stays
// 1, since a colour written as {r=1} would otherwise draw nothing at all.
TColor ReadColour(dfLua& lua, int table)
{
    lua_State* L = lua.GetState();
    TColor colour(0, 0, 0, 1);
    for (auto [key, channel] : {std::pair{"r", &colour.red}, std::pair{"g", &colour.green},
                                std::pair{"b", &colour.blue}, std::pair{"a", &colour.alpha}}) {
        PushField(L, table, key);
        if (!lua_isnil(L, -1))
            *channel = static_cast<float>(lua_tonumber(L, -1));
        lua_pop(L, 1);
    }
    return colour;
}

// Reads every key but the box's. `missing` says whether an absent key still counts (as 0).
void ReadFields(tTextSpec& spec, dfLua& lua, int table, EMissing missing)
{
    lua_State* L = lua.GetState();
    struct TIntKey
    {
        const char* key;
        int tTextSpec::*field;
    };
    static const TIntKey ints[] = {{"flags", &tTextSpec::flags},
                                   {"lineheight", &tTextSpec::lineHeight},
                                   {"anchor", &tTextSpec::anchor},
                                   {"halign", &tTextSpec::halign},
                                   {"outline_size", &tTextSpec::outlineSize}};
    auto present = [&](const char* key) {
        PushField(L, table, key);
        if (lua_isnil(L, -1) && missing == EMissing::kSkip) {
            lua_pop(L, 1);
            return false;
        }
        return true;
    };
    for (const TIntKey& k : ints)
        if (present(k.key)) {
            spec.*k.field = lua.tointeger(-1);
            lua_pop(L, 1);
        }
    if (present("font")) {
        spec.font = Get(TypeWrapper<str>(), lua, -1);
        lua_pop(L, 1);
    }
    if (present("fixed")) {
        spec.fixed = lua.tointeger(-1) != 0;
        lua_pop(L, 1);
    }
    if (present("angle")) {
        spec.angle = static_cast<float>(lua_tonumber(L, -1));
        lua_pop(L, 1);
    }
    // Colours only from tables; an absent clamp keeps the current value.
    for (auto [key, colour] : {std::pair{"outline_color", &spec.outlineColor}, std::pair{"color", &spec.color}}) {
        PushField(L, table, key);
        if (lua_istable(L, -1))
            *colour = ReadColour(lua, AbsIndex(L, -1));
        lua_pop(L, 1);
    }
    PushField(L, table, "clamp");
    if (!lua_isnil(L, -1))
        spec.clamp = lua.tointeger(-1);
    lua_pop(L, 1);
}

// x, y, w and h into the style's box; an absent key keeps the box's own value when skipped.
void ReadBox(tTextSpec& spec, dfLua& lua, int table, EMissing missing)
{
    lua_State* L = lua.GetState();
    const TRect& b = spec.box;
    int box[4] = {b.left, b.top, b.right - b.left, b.bottom - b.top};
    const char* keys[4] = {"x", "y", "w", "h"};
    for (int i = 0; i < 4; ++i) {
        PushField(L, table, keys[i]);
        if (!lua_isnil(L, -1) || missing == EMissing::kRead)
            box[i] = lua.tointeger(-1);
        lua_pop(L, 1);
    }
    spec.box = TRect(box[0], box[1], box[0] + box[2], box[1] + box[3]);
}

}  // namespace

str tTextSpec::OutlineDesc(const TColor* c) const
{
    if (outlineSize <= 0)
        return str();
    const TColor32 rgb(c ? *c : outlineColor);
    return str::getFormatted("<outline color=\"%02x%02x%02x\" size=\"%d\"\\>", rgb.Red(), rgb.Green(), rgb.Blue(),
                             outlineSize);
}

tTextSpec DefaultSaySpec()
{
    tTextSpec spec;
    spec.box = TRect(0, 0, 800, 600);
    spec.flags = 5;
    spec.font = "fonts/arial.mvec";
    spec.lineHeight = 20;
    spec.color = TColor(1, 1, 1, 1);
    spec.fixed = false;
    spec.outlineColor = TColor(0, 0, 0, 1);
    spec.outlineSize = 2;
    return spec;
}

tTextSpec Get(TypeWrapper<tTextSpec>, dfLua& lua, int index)
{
    tTextSpec spec;
    lua_State* L = lua.GetState();
    if (!lua_istable(L, index)) {
        LOGIT("LUA_GET(TRect) didn't get a table\n");
        return spec;
    }
    const int table = AbsIndex(L, index);
    ReadBox(spec, lua, table, EMissing::kRead);
    ReadFields(spec, lua, table, EMissing::kRead);
    return spec;
}

void ModifyTextSpec(tTextSpec& spec, dfLua& lua, int index)
{
    lua_State* L = lua.GetState();
    if (!lua_istable(L, index)) {
        LOGIT("sayspec wasn't a table\n");
        return;
    }
    const int table = AbsIndex(L, index);
    ReadBox(spec, lua, table, EMissing::kSkip);
    ReadFields(spec, lua, table, EMissing::kSkip);
}
