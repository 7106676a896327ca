#include "game/interface/windows/df_text.h"

#include <memory>

#include "core/debug/debug_log.h"
#include "core/script/lua_table.h"
#include "game/interface/windows/text_markup.h"
#include "game/script/prevent_clipping.h"
#include "game/script/window_autoreg.h"
#include "render/text/text_graphic.h"
#include "ui/style/window_style.h"
#include "ui/window/modal_window.h"

namespace {

// Bits 0-1 place across (left, centre, right), bits 2-3 down (top, middle, bottom).
int BoxOffset(int flags, int space)
{
    switch (flags & 3) {
    case 1: return space / 2;
    case 2: return space;
    default: return 0;
    }
}

}  // namespace

TWindow* dfText::DynamicCreate()
{
    return new dfText;
}

void dfText::Init(TWindowStyle& style)
{
    TText::Init(style);
    mClipped = style.GetBool("clipped", false);
    const int boxFlags = style.GetInt("box_flags", 0);
    const TWindow* parent = GetParent();
    if (!parent)
        return;
    SetWindowPos(BoxOffset(boxFlags, parent->GetWindowWidth() - GetWindowWidth()),
                 BoxOffset(boxFlags >> 2, parent->GetWindowHeight() - GetWindowHeight()));
}

void dfText::Draw()
{
    if (!mClipped) {
        TText::Draw();
        return;
    }
    tPreventClipping clip;
    TText::Draw();
}

TWindow* OutlineText::DynamicCreate()
{
    return new OutlineText;
}

void OutlineText::Init(TWindowStyle& style)
{
    if (std::unique_ptr<TLuaTable> font{style.GetTable("font")}) {
        mOutlineColor = font->GetColor("outline_color", TColor(0, 0, 0, 0));
        mOutlineSize = int(font->GetNumber("outline_size", 0));
    }
    mTextAngle = float(style.GetNumber("textangle", 0));
    TText::Init(style);
}

void OutlineText::PostChildrenInit(TWindowStyle& style)
{
    TWindow::PostChildrenInit(style);
    Spin();
}

void OutlineText::SetText(str text)
{
    TText::SetText(OutlineDesc(mOutlineColor, mOutlineSize) + text);
    Spin();
}

bool OutlineText::OnMouseDown(const TPoint& point)
{
    const str link = GetGraphic() ? GetGraphic()->Pick(point, GetLinePadding()) : str();
    TModalWindow* modal = link.empty() ? nullptr : FindParentModal();
    if (!link.empty() && !(modal && modal->GetChildWindow(link, unsigned(-1))))
        return false;
    return TText::OnMouseDown(point);
}

void OutlineText::Spin()
{
    if (mTextAngle != 0)
        SpinGraphic(GetGraphic(), mTextAngle);
}

TWindow* dfTextX::DynamicCreate()
{
    return new dfTextX;
}

void dfTextX::SetScroll(float x, float y)
{
    WriteDbg("dfTextX::SetScroll(%f, %f)", double(x), double(y));
}

// Layouts make these windows by type name.
static const AutoRegEntry autoreg[] = {
    {"dfText", dfText::ClassId(), &dfText::DynamicCreate},
    {"Text", OutlineText::ClassId(), &OutlineText::DynamicCreate},
    {"dfTextX", dfTextX::ClassId(), &dfTextX::DynamicCreate},
};
