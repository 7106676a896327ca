#include "game/world/actor/say_box.h"

#include "game/script/script_enums.h"
#include "render/renderer/renderer.h"

#include <algorithm>

TRect PlaceSayBox(const tTextSpec& spec, float bgScale, const tVector2<float>& position, const tVector2<float>& camera)
{
    const TRect& b = spec.box;
    const int w = b.right - b.left, h = b.bottom - b.top;
    const int left = int(float(b.left + w / 2) * bgScale) - w / 2;
    const int scaledTop = int(float(b.top) * bgScale);
    int top = scaledTop;
    if (spec.anchor == ANCHOR_CENTER)
        top = scaledTop - h / 2;
    else if (spec.anchor == ANCHOR_BOTTOM)
        top = scaledTop - h;
    const int dx = int(position.x) - int(camera.x), dy = int(position.y) - int(camera.y);
    return TRect(left + dx, top + dy, left + w + dx, top + h + dy);
}

namespace {

int Shift(int low, int high, int areaLow, int areaHigh)
{
    if (low < areaLow)
        return areaLow - low;
    if (high > areaHigh)
        return areaHigh - high;
    return 0;
}

}  // namespace

TPoint ShiftIntoArea(const TRect& text, const TRect& area)
{
    return TPoint(Shift(text.left, text.right, area.left, area.right),
                  Shift(text.top, text.bottom, area.top, area.bottom));
}

void BoxDraw(const TRect& box, const TColor& colour)
{
    TRenderer* renderer = TRenderer::GetInstance();
    renderer->SetTexture(nullptr);
    renderer->SetBlendMode(TRenderStates::kBlendNormal);
    const TColor32 c(colour);
    const float corners[5][2] = {{float(box.left), float(box.top)},
                                 {float(box.right), float(box.top)},
                                 {float(box.right), float(box.bottom)},
                                 {float(box.left), float(box.bottom)},
                                 {float(box.left), float(box.top)}};
    TTransformedLitVert strip[5]{};
    for (int i = 0; i < 5; ++i) {
        strip[i].position = TVec3(corners[i][0], corners[i][1], 0.1f);
        strip[i].rhw = 0.5f;
        strip[i].diffuse = c;
        strip[i].specular = TColor32(0, 0, 0, 255);
    }
    renderer->DrawVertices(TRenderStates::kLineStrip, TVertexSet(strip, 5));
}

void BoxFill(const TRect& box, const TColor& colour)
{
    // The renderer cuts the rectangle to the viewport; only negative corners need care.
    const auto corner = [](int v) { return uint32_t(std::max(v, 0)); };
    TRenderer::GetInstance()->FillRect(TURect(corner(box.left), corner(box.top), corner(box.right), corner(box.bottom)),
                                       colour);
}
