#include "ui/widgets/text.h"

#include "core/debug/debug_log.h"
#include "core/script/lua_table.h"
#include "render/renderer/renderer.h"
#include "render/text/text_graphic.h"
#include "ui/style/window_style.h"
#include "ui/widgets/button.h"
#include "ui/widgets/widget_services.h"
#include "ui/window/modal_window.h"
#include "ui/window/window_manager.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

void Invalidate()
{
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->InvalidateScreen();
}

// A rotation origin: the value from the near edge, from the middle (first bit) or from the far
// edge (second bit).
int ResolveOrigin(int value, int extent, int alignBits)
{
    if (alignBits & 1)
        return extent / 2 + value;
    if (alignBits & 2)
        return extent - value;
    return value;
}

bool IsNumberText(const str& text)
{
    const char* s = text.c_str();
    return std::strspn(s, "0123456789.") == std::strlen(s);
}

}  // namespace

TText::TText(bool layered)
{
    if (layered)
        AddFlags(kLayered);
}

TWindow* TText::DynamicCreate()
{
    return new TText(false);
}

TText::~TText()
{
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->RemoveMouseListener(this);
    if (mGraphic)
        mGraphic->Destroy();
}

str TText::ResolveLabel(const str& label, bool lookup)
{
    if (label.empty() || !lookup)
        return label;
    if (label[0] == '#')
        return label.substr(1);
    if (IsNumberText(label))
        return label;
    return LookupString(label);
}

void TText::Init(TWindowStyle& style)
{
    str font = "__DEFAULT";
    double size = 16;
    TColor color(0, 1, 0, 1);
    if (std::unique_ptr<TLuaTable> table{style.GetTable("font")}) {
        font = table->GetString(1, font);
        size = table->GetNumber(2, size);
        color = table->GetColor(3, color);
    }
    if (size <= 0)
        size = 12;

    const str name = style.GetString("name", str());
    const str label = ResolveLabel(style.GetString("label", str()), StringTableLookupEnabled());
    const int defaultFlags = style.GetInt("defflags", 0);
    const int flags = style.GetInt("flags", defaultFlags);
    const int padding = style.GetInt("padding", 0);
    const float rotation = static_cast<float>(style.GetNumber("rotation", 0));
    const int originX = style.GetInt("rotationOriginX", 0);
    const int originY = style.GetInt("rotationOriginY", 0);
    const int rotationAlign = style.GetInt("rotationAlign", 0);

    TWindow::Init(style);

    if (GetWindowWidth() == 0 || GetWindowHeight() == 0) {
        WriteDbg("ERROR: Attempting to create text window of size(0,0): named '%s', label '%s'", name.c_str(),
                 label.c_str());
        return;
    }
    mLinePadding = padding;
    if (!Create(label, unsigned(GetWindowWidth()), unsigned(GetWindowHeight()), unsigned(flags), font.c_str(),
                unsigned(size), color))
        return;
    if (rotation != 0 && mGraphic) {
        const int x = ResolveOrigin(originX, GetWindowWidth(), rotationAlign & 3);
        const int y = ResolveOrigin(originY, GetWindowHeight(), (rotationAlign >> 2) & 3);
        mGraphic->SetRotation(rotation, unsigned(std::max(0, x)), unsigned(std::max(0, y)));
    }
}

bool TText::Create(str text, unsigned width, unsigned height, unsigned flags, const char* font, unsigned size,
                   const TColor& color)
{
    if (width == 0 || height == 0)
        return false;
    if (mGraphic)
        mGraphic->Destroy();
    mGraphic = TTextGraphic::Create(str(), width, height, flags, font, size, color);
    if (!mGraphic)
        return false;
    SetWindowSize(int(width), int(height));
    SetText(text);
    return true;
}

void TText::SetText(str text)
{
    if (!mGraphic || text == mGraphic->GetText())
        return;
    // Also when the old text was empty: a label filled in later must be drawn.
    Invalidate();
    mGraphic->SetText(text);
}

str TText::GetText()
{
    return mGraphic ? mGraphic->GetText() : str();
}

void TText::GetTextBounds(TRect* rect) const
{
    if (mGraphic)
        mGraphic->GetTextBounds(rect, 1.0f);
    else
        *rect = TRect();
}

int TText::GetLineCount() const
{
    return mGraphic ? mGraphic->GetLineCount() : 0;
}

void TText::Draw()
{
    if (!mGraphic)
        return;
    TRenderer* renderer = TRenderer::GetInstance();
    const bool began = renderer->Begin2d();
    mGraphic->Draw(TVec2(0, 0), unsigned(GetWindowHeight()), mScale, mLinePadding, mAlpha, nullptr);
    if (began)
        renderer->End2d();
}

void TText::SetScroll(float position, float)
{
    if (!mGraphic)
        return;
    const float lines = static_cast<float>(mGraphic->GetMaxScroll(mScale, mLinePadding)) + mScrollMargin;
    mGraphic->SetScroll(lines * position);
    Invalidate();
}

bool TText::OnMouseDown(const TPoint& point)
{
    if (!mGraphic)
        return false;
    mPressedLink = mGraphic->Pick(point, mLinePadding);
    return !mPressedLink.empty();
}

bool TText::OnMouseUp(const TPoint& point)
{
    if (mPressedLink.empty())
        return false;
    const str pressed = mPressedLink;
    mPressedLink = str();
    if (!mGraphic || mGraphic->Pick(point, mLinePadding) != pressed)
        return true;
    TModalWindow* modal = FindParentModal();
    TWindow* window = modal ? modal->GetChildWindow(pressed, unsigned(-1)) : nullptr;
    if (!window)
        WriteDbg("ERROR: Command window %s not found", pressed.c_str());
    else if (TButton* button = GetCast<TButton>(window))
        button->DoCommand();
    else
        WriteDbg("ERROR: Command window %s not a derived class of TButton", pressed.c_str());
    return true;
}

bool TText::OnMouseMove(const TPoint& point)
{
    if (!mGraphic || !mGraphic->Rollover(&point, mLinePadding))
        return false;
    Invalidate();
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->AddMouseListener(this);
    return true;
}

bool TText::OnMouseLeave()
{
    if (mGraphic) {
        mGraphic->Rollover(nullptr, 0);
        Invalidate();
    }
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->RemoveMouseListener(this);
    return true;
}
