#pragma once
// How a piece of game text is laid out and drawn: its box, font, colours, outline and
// alignment. Scripts describe one as a table:
//   { x = 10, y = 20, w = 300, h = 80, font = "fonts/arial.mvec", lineheight = 20,
//     color = { r = 1, g = 1, b = 1, a = 1 }, outline_color = { r = 0, g = 0, b = 0, a = 1 },
//     outline_size = 2, flags = 5, fixed = 0, clamp = 1, anchor = 1, halign = 1, angle = 0 }

#include "core/math/color.h"
#include "core/math/rect.h"
#include "core/script/df_lua.h"
#include "core/text/str.h"

struct tTextSpec
{
    TRect box{0, 0, 0, 0};
    int flags = 0;
    str font;
    int lineHeight = 0;
    TColor color{0, 0, 0, 0};
    bool fixed = false;
    TColor outlineColor{0, 0, 0, 0};
    int outlineSize = 0;
    int clamp = 1;
    int anchor = 1;
    int halign = 1;
    float angle = 0;

    void Wipe() { *this = tTextSpec(); }
    // The markup that gives drawn text this style's outline, in `c` or else the style's own
    // outline colour; empty when the style has no outline.
    str OutlineDesc(const TColor* c = nullptr) const;
};

// What a new scene (and the dialogue choices) speak with until a script says otherwise.
tTextSpec DefaultSaySpec();

// A whole text style from the table at `index`; keys that are missing read as 0 (clamp stays 1).
// Not a table: a wiped style, and a log line.
tTextSpec Get(TypeWrapper<tTextSpec>, dfLua& lua, int index);
// Changes only the keys present in the table at `index`; a new x or y moves the box and
// keeps its size, a new w or h resizes it from its top-left corner.
void ModifyTextSpec(tTextSpec& spec, dfLua& lua, int index);
