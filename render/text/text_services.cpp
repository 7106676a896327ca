#include "render/text/text_services.h"

#include "render/text/font_data.h"
#include "render/text/mini_vec_draw.h"

#include <memory>

namespace {

TFontData* gFontData = nullptr;
TZvMiniVecDraw* gDrawer = nullptr;
void (*gInvalidate)() = nullptr;

std::unique_ptr<TFontData>& DefaultFontData()
{
    static std::unique_ptr<TFontData> fonts;
    return fonts;
}

std::unique_ptr<TZvMiniVecDraw>& DefaultDrawer()
{
    static std::unique_ptr<TZvMiniVecDraw> drawer;
    return drawer;
}

}  // namespace

TFontData* GetFontData()
{
    if (gFontData)
        return gFontData;
    std::unique_ptr<TFontData>& fonts = DefaultFontData();
    if (!fonts)
        fonts = std::make_unique<TFontData>();
    return fonts.get();
}

TZvMiniVecDraw* GetMiniVecDraw()
{
    if (gDrawer)
        return gDrawer;
    std::unique_ptr<TZvMiniVecDraw>& drawer = DefaultDrawer();
    if (!drawer) {
        drawer = std::make_unique<TZvMiniVecDraw>();
        drawer->Calibrate();
    }
    return drawer.get();
}

void SetFontData(TFontData* fonts)
{
    gFontData = fonts;
}
void SetMiniVecDraw(TZvMiniVecDraw* drawer)
{
    gDrawer = drawer;
}

void SetScreenInvalidator(void (*invalidate)())
{
    gInvalidate = invalidate;
}

void InvalidateScreenForText()
{
    if (gInvalidate)
        gInvalidate();
}
