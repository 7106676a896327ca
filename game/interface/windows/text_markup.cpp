#include "game/interface/windows/text_markup.h"

#include <algorithm>

#include "render/text/text_graphic.h"

str HexColor(const TColor& color)
{
    const TColor32 c(color);
    return str::getFormatted("'%02x%02x%02x'", c.Red(), c.Green(), c.Blue());
}

str OutlineStart(const TColor& color, int size)
{
    if (size <= 0)
        return str();
    return str::getFormatted("<outline color=%s size='%d'>", HexColor(color).c_str(), size);
}

str OutlineDesc(const TColor& color, int size)
{
    if (size <= 0)
        return str();
    const TColor32 c(color);
    return str::getFormatted("<outline color=\"%02x%02x%02x\" size=\"%d\"\\>", c.Red(), c.Green(), c.Blue(), size);
}

void SpinGraphic(TTextGraphic* graphic, float angle)
{
    if (!graphic)
        return;
    TRect bounds;
    graphic->GetTextBounds(&bounds, 1.0f);
    const int x = (bounds.left + bounds.right) / 2;
    const int y = (bounds.top + bounds.bottom) / 2;
    graphic->SetRotation(angle, unsigned(std::max(0, x)), unsigned(std::max(0, y)));
}
