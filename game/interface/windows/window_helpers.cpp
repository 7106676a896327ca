#include "game/interface/windows/window_helpers.h"

#include "core/script/lua_number.h"
#include "ui/widgets/button.h"
#include "ui/window/window.h"

namespace {
std::function<bool()>& GameGrabsClicksQuery()
{
    static std::function<bool()> query;
    return query;
}
}  // namespace

bool GameGrabsClicks()
{
    return GameGrabsClicksQuery() && GameGrabsClicksQuery()();
}

void SetGameGrabsClicksQuery(std::function<bool()> query)
{
    GameGrabsClicksQuery() = std::move(query);
}

int FirstButtonOn(TWindow* root, const char* prefix, int count, int none)
{
    if (!root)
        return none;
    for (int i = 0; i < count; ++i) {
        const TButton* button =
            GetCast<TButton>(root->GetChildWindow(str::getFormatted("%s%d", prefix, i), unsigned(-1)));
        if (button && button->IsOn())
            return i;
    }
    return none;
}

tVector2<float> Vector2FromTPoint(const TPoint& point)
{
    return tVector2<float>(float(point.x), float(point.y));
}

TPoint TPointFromVector2(const tVector2<float>& vector)
{
    return TPoint(NumberToInt(vector.x), NumberToInt(vector.y));
}

TVec2 TVecFromVector(const tVector2<float>& vector)
{
    return TVec2(vector.x, vector.y);
}
