#include "game/world/scene/scene_float_text.h"

#include "game/script/df_log.h"
#include "game/script/df_lua_obj.h"
#include "game/world/actor/girl.h"
#include "game/world/scene/scene.h"
#include "game/world/strings/localised_strings.h"
#include "render/text/text_graphic.h"

namespace {

constexpr unsigned kFloatTextWidth = 200;
constexpr unsigned kFloatTextHeight = 30;
// The name floats this far above the mouse.
constexpr int kFloatTextLift = 10;

// Where a span of `size` starting at `low` must start to lie within [first, last).
int PlaceSpan(int low, int size, int first, int last, bool bottomFirst)
{
    const int room = last - first;
    if (bottomFirst && low + size > last)
        return last - size;
    if (size > room)
        return (first + last) / 2 - size / 2;
    if (low < first)
        return first;
    if (!bottomFirst && low + size > last)
        return last - size;
    return low;
}

}  // namespace

void PushBoxBackOnScreen(TRect& box, const TRect& screen)
{
    const int width = box.right - box.left, height = box.bottom - box.top;
    box.left = PlaceSpan(box.left, width, screen.left, screen.right, false);
    box.right = box.left + width;
    box.top = PlaceSpan(box.top, height, screen.top, screen.bottom, true);
    box.bottom = box.top + height;
}

void DrawTextInBox(TTextGraphic& text, const TRect& box)
{
    TRect bounds;
    text.GetTextBounds(&bounds, 1);
    const int left = box.left - bounds.left, top = box.top - bounds.top;
    text.Draw(TRect(left, top, left + (box.right - box.left), top + bounds.bottom), 1, 0, 1, nullptr);
}

bool GrabColorFromField(dfLuaTable& table, const char* key, TColor& colour)
{
    lua_State* L = table.GetState();
    const int top = lua_gettop(L);
    table.getfield(key);
    const bool found = lua_istable(L, -1);
    if (found) {
        dfLua lua(L);
        colour = Get(TypeWrapper<TColor>(), lua, -1);
    }
    lua_settop(L, top);
    return found;
}

void tScene::GenerateFloatText(const TPoint& point)
{
    tGirl* actor = CheckWorldPoint(WorldFromScreen(point));
    if (!actor) {
        ExternalDumpFloatText();
        return;
    }
    if (actor == mPointedActor) {
        PositionFloatText(point);
        return;
    }
    if (mPointedActor)
        mPointedActor->CallPointAtFn(false);
    mPointedActor = actor;
    str text;
    TColor fill, outline;
    bool hasFill = false, hasOutline = false;
    if (dfLuaTable* object = actor->GetLuaObj()) {
        // A name the strings lack shows nothing, never the table's mark for a missing text.
        const str name = object->getfield_as_string("point_at_name");
        if (!name.empty())
            text = grabstring(name);
        if (IsMissingString(text))
            text = str();
        hasFill = GrabColorFromField(*object, "point_at_color", fill);
        hasOutline = GrabColorFromField(*object, "point_at_color_outline", outline);
    }
    AssignFloatText(text, point, hasFill ? &fill : nullptr, hasOutline ? &outline : nullptr);
    actor->CallPointAtFn(true);
}

void tScene::AssignFloatText(const str& text, const TPoint& point, const TColor* fill, const TColor* outline)
{
    mFloatText.reset();
    if (text.empty())
        return;
    const str shown = mSaySpec.OutlineDesc(outline) + text;
    mFloatText.reset(TTextGraphic::Create(shown, kFloatTextWidth, kFloatTextHeight, unsigned(mSaySpec.flags),
                                          mSaySpec.font.c_str(), unsigned(mSaySpec.lineHeight),
                                          fill ? *fill : mSaySpec.color));
    LOGIT("CREATE TEXT[%s]\n", shown.c_str());
    PositionFloatText(point);
}

void tScene::PositionFloatText(const TPoint& point)
{
    if (!mFloatText)
        return;
    TRect extent;
    mFloatText->GetTextBounds(&extent, 1);
    const int width = extent.right - extent.left, height = extent.bottom - extent.top;
    mFloatTextBox =
        TRect(point.x - width / 2, point.y - height - kFloatTextLift, point.x + width / 2, point.y - kFloatTextLift);
    PushBoxBackOnScreen(mFloatTextBox, mTextBounds);
}

void tScene::ExternalDumpFloatText()
{
    if (tGirl* pointed = mPointedActor) {
        mPointedActor = nullptr;
        pointed->CallPointAtFn(false);
    }
    mFloatText.reset();
}
