#pragma once
// A window that shows one texture: scaled, optionally flipped or turned by a quarter turn,
// with its own alpha. It takes the size of the scaled picture and stays opaque while it hides
// what lies behind it; when the picture it names is missing it takes the size of its children,
// so what it holds (a dialog's buttons) can still be seen and clicked. Layouts create it by the
// type name "TImage".
//   TImage* image = new TImage(false);
//   image->SetTexture(TTexture::Get("ui/logo.png", 0), 1.0f);

#include "ui/window/window.h"

#include <memory>

class TTexture;

class TImage : public TWindow
{
    TV_CLASS(TImage, TWindow)

public:
    explicit TImage(bool layered = false);
    ~TImage() override;

    using TWindow::Init;
    // "image", "mask", "scale", "alpha", "mipmap", "hflip", "vflip", "rotate".
    void Init(TWindowStyle& style) override;
    void PostChildrenInit(TWindowStyle& style) override;
    void Draw() override;

    void SetTexture(std::shared_ptr<TTexture> texture, float scale);
    std::shared_ptr<TTexture> GetTexture() const { return mTexture; }
    void SetRotate(bool rotate);
    void SetAlpha(float alpha);
    // TDrawSpec::kFlipH, kFlipV.
    void SetDrawFlags(unsigned int flags);

    float GetScale() const { return mScale; }
    float GetAlpha() const { return mAlpha; }
    unsigned int GetDrawFlags() const { return mDrawFlags; }
    bool GetRotate() const { return mRotate; }

private:
    void SizeToTexture();

    std::shared_ptr<TTexture> mTexture;
    float mScale = 1.0f;
    float mAlpha = 1.0f;
    unsigned int mDrawFlags = 0;
    bool mRotate = false;
    bool mSizedByChildren = false;
};
