#include "ui/widgets/slider.h"

#include "core/script/message.h"
#include "render/renderer/renderer.h"
#include "render/texture/texture.h"
#include "ui/screen/image.h"
#include "ui/style/window_style.h"
#include "ui/window/message_types.h"
#include "ui/window/window_manager.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

std::shared_ptr<TTexture> LoadPicture(const str& name)
{
    return name.empty() ? nullptr : TTexture::Get(name, 0);
}

TWindowManager* Manager()
{
    return TWindowManager::GetInstance();
}

}  // namespace

void MakeQuad2d(TTransformedLitVert* vertices, const TVec2& position, const TVec2& size, const TVec2& extra,
                const TVec2& uvScale, bool transpose, float alpha)
{
    static const float kCorners[6][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 0}, {1, 1}, {0, 1}};
    const float width = size.x + extra.x;
    const float length = size.y + extra.y;
    const TColor32 diffuse(255, 255, 255, static_cast<unsigned char>(255.0f * std::clamp(alpha, 0.0f, 1.0f)));
    for (int i = 0; i < 6; ++i) {
        const float cx = kCorners[i][0];
        const float cy = kCorners[i][1];
        TTransformedLitVert& v = vertices[i];
        const float x = transpose ? cy * length : cx * width;
        const float y = transpose ? cx * width : cy * length;
        v.position = TVec3(position.x + x, position.y + y, 0.1f);
        v.rhw = 0.5f;
        v.diffuse = diffuse;
        v.specular = TColor32(0, 0, 0, 255);
        v.uv = TVec2(cx * uvScale.x, cy * uvScale.y);
    }
}

TSlider::TSlider() : mThumb(new TImage(true)) {}

TSlider::~TSlider()
{
    if (TWindowManager* wm = Manager())
        wm->RemoveMouseListener(this);
    // A thumb never adopted belongs to no tree; one in the tree goes with it.
    if (mThumb && !mThumb->GetParent())
        delete mThumb;
}

TWindow* TSlider::DynamicCreate()
{
    return new TSlider;
}

void TSlider::Init(TWindowStyle& style)
{
    TWindow::Init(style);
    if (mInitialized)
        return;
    mInitialized = true;

    const int w = style.GetInt("w", 0);
    const int h = style.GetInt("h", 0);
    if (style.GetNumber("hslider", -1) < 0)
        mHorizontal = h < w;
    else
        mHorizontal = style.GetBool("hslider", false);

    const str railTop = style.GetString("railtop", str());
    const str railMiddle = style.GetString("railmid", str());
    const str railBottom = style.GetString("railbot", str());
    const str picture = style.GetString("sliderimage", str());
    const str rollover = style.GetString("sliderrollimage", str());
    const str name = style.GetString("name", str());
    const float scale = static_cast<float>(style.GetNumber("scale", 1.0));
    mThumbOffset = style.GetInt("yoffset", 0);
    const float value = static_cast<float>(style.GetNumber("value", 0));

    SetValue(value, true);
    SetName(name);
    mScale = scale;
    SetRailTexture(LoadPicture(railTop), LoadPicture(railMiddle), LoadPicture(railBottom));
    SetSliderTexture(LoadPicture(picture), LoadPicture(rollover));
    UpdateSliderPos();
    if (mThumb && !mThumb->GetParent()) {
        AdoptChild(mThumb, true);
        SetSliderSize();
    }
}

void TSlider::SetValue(float value, bool silent)
{
    mValue = std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, 1.0f);
    if (!mThumb)
        return;
    UpdateSliderPos();
    if (!silent)
        Send(kSliderValChanged);
}

void TSlider::Send(int type)
{
    if (TWindow* parent = GetParent())
        parent->SendWindowMessage(new TMessage(type, GetName(), nullptr));
}

void TSlider::UpdateSliderPos()
{
    if (!mThumb)
        return;
    if (mHorizontal) {
        const int x = static_cast<int>(static_cast<float>(GetWindowWidth() - mThumb->GetWindowWidth()) * mValue);
        mThumb->SetWindowPos(x, mThumbOffset);
    } else {
        const int y = static_cast<int>(static_cast<float>(GetWindowHeight() - mThumb->GetWindowHeight()) * mValue);
        mThumb->SetWindowPos(mThumbOffset, y);
    }
}

void TSlider::SetSliderSize()
{
    int thickness = 0;
    for (const auto& rail : {mRailTop, mRailMiddle, mRailBottom})
        if (rail)
            thickness = std::max(thickness, static_cast<int>(static_cast<float>(rail->GetWidth()) * mScale));
    if (mThumb) {
        const int cross = mHorizontal ? mThumb->GetWindowHeight() : mThumb->GetWindowWidth();
        thickness = std::max(thickness, cross + std::abs(mThumbOffset));
    }
    mThickness = thickness;
    if (mHorizontal)
        SetWindowSize(GetWindowWidth(), thickness);
    else
        SetWindowSize(thickness, GetWindowHeight());
}

void TSlider::SetRailTexture(std::shared_ptr<TTexture> top, std::shared_ptr<TTexture> middle,
                             std::shared_ptr<TTexture> bottom)
{
    mRailTop = std::move(top);
    mRailMiddle = std::move(middle);
    mRailBottom = std::move(bottom);
    SetSliderSize();
}

void TSlider::SetSliderTexture(std::shared_ptr<TTexture> normal, std::shared_ptr<TTexture> rollover)
{
    mThumbPicture = std::move(normal);
    mThumbRollover = std::move(rollover);
    if (!mThumb)
        return;
    mThumb->SetTexture(mThumbPicture, mScale);
    if (!mThumb->GetParent())
        AdoptChild(mThumb, true);
    SetSliderSize();
}

void TSlider::ShowThumb(bool rollover)
{
    if (!mThumb)
        return;
    const auto& picture = rollover && mThumbRollover ? mThumbRollover : mThumbPicture;
    if (mThumb->GetTexture() != picture)
        mThumb->SetTexture(picture, mScale);
}

bool TSlider::OverThumb(const TPoint& point) const
{
    if (!mThumb)
        return false;
    const TRect& r = mThumb->GetRect();
    return point.x >= r.left && point.x < r.right && point.y >= r.top && point.y < r.bottom;
}

int TSlider::BuildTexture(const std::shared_ptr<TTexture>& texture, int offset, TTransformedLitVert* vertices,
                          bool stretch)
{
    if (!texture)
        return 0;
    const float width = static_cast<float>(texture->GetWidth());
    float length = static_cast<float>(texture->GetHeight());
    const int railLength = mHorizontal ? GetWindowWidth() : GetWindowHeight();
    const int crossSize = mHorizontal ? GetWindowHeight() : GetWindowWidth();
    if (stretch) {
        length = static_cast<float>(railLength);
        if (mRailTop)
            length -= static_cast<float>(mRailTop->GetHeight());
        if (mRailBottom)
            length -= static_cast<float>(mRailBottom->GetHeight());
    }
    const int cross = (crossSize - static_cast<int>(texture->GetWidth())) / 2;
    const auto [internalWidth, internalHeight] = texture->GetInternalSize();
    const TVec2 uvScale(
        internalWidth > 0 ? width / static_cast<float>(internalWidth) : 1.0f,
        internalHeight > 0 ? static_cast<float>(texture->GetHeight()) / static_cast<float>(internalHeight) : 1.0f);
    const TVec2 position = mHorizontal ? TVec2(static_cast<float>(offset), static_cast<float>(cross))
                                       : TVec2(static_cast<float>(cross), static_cast<float>(offset));
    MakeQuad2d(vertices, position, TVec2(width, length), TVec2(0, 0), uvScale, mHorizontal, mRailAlpha);
    return static_cast<int>(length);
}

void TSlider::Draw()
{
    TRenderer* renderer = TRenderer::GetInstance();
    if (!renderer->Begin2d())
        return;
    renderer->SetBlendMode(TRenderStates::kBlendNormal);
    renderer->SetCullMode(TRenderStates::kCullNone);
    TTransformedLitVert vertices[6];
    int offset = 0;
    const std::shared_ptr<TTexture>* pieces[3] = {&mRailTop, &mRailMiddle, &mRailBottom};
    for (int i = 0; i < 3; ++i) {
        const int length = BuildTexture(*pieces[i], offset, vertices, i == 1);
        if (!*pieces[i])
            continue;
        renderer->SetTexture(*pieces[i]);
        TVertexSet set(vertices, 6);
        renderer->DrawVertices(TRenderStates::kTriangleList, set);
        offset += length;
    }
    renderer->SetTexture(nullptr);
    renderer->End2d();
}

bool TSlider::OnMouseDown(const TPoint& point)
{
    if (!mThumb)
        return false;
    if (OverThumb(point)) {
        mDragging = true;
        if (TWindowManager* wm = Manager())
            wm->AddMouseListener(this);
        return true;
    }
    const TRect& thumb = mThumb->GetRect();
    const bool before = mHorizontal ? point.x < thumb.left : point.y < thumb.top;
    // The parent decides what a page is; the thumb stays until it sets a value.
    Send(before ? kSliderPageUp : kSliderPageDown);
    return true;
}

float TSlider::ValueAt(const TPoint& point) const
{
    return mHorizontal ? static_cast<float>(point.x) / static_cast<float>(GetWindowWidth())
                       : static_cast<float>(point.y) / static_cast<float>(GetWindowHeight());
}

bool TSlider::OnMouseMove(const TPoint& point)
{
    const bool overThumb = OverThumb(point);
    if (overThumb)
        ShowThumb(true);
    else if (!mDragging)
        ShowThumb(false);
    const bool inside = point.x >= 0 && point.y >= 0 && point.x < GetWindowWidth() && point.y < GetWindowHeight();
    if (TWindowManager* wm = Manager()) {
        if (inside) {
            wm->AddMouseListener(this);
        } else if (!mDragging) {
            wm->RemoveMouseListener(this);
            ShowThumb(false);
        }
    }
    if (!mDragging)
        return false;
    SetValue(ValueAt(point), false);
    return true;
}

bool TSlider::OnMouseUp(const TPoint& point)
{
    if (!mDragging)
        return false;
    mDragging = false;
    ShowThumb(OverThumb(point));
    const bool inside = point.x >= 0 && point.y >= 0 && point.x < GetWindowWidth() && point.y < GetWindowHeight();
    if (!inside) {
        if (TWindowManager* wm = Manager())
            wm->RemoveMouseListener(this);
        ShowThumb(false);
    }
    Send(kSliderMouseUp);
    return true;
}

bool TSlider::OnMouseLeave()
{
    if (mDragging)
        return true;
    ShowThumb(false);
    if (TWindowManager* wm = Manager())
        wm->RemoveMouseListener(this);
    return true;
}
