#pragma once
// One frame of the current scene's picture atlas, drawn in screen coordinates as the atlas
// places it: "frame" names it.
//   tAtlasImage{ frame = "lamp_glow" }

#include <memory>

#include "ui/window/window.h"

class TAnimatedSprite;

class tAtlasImage : public TWindow
{
    TV_CLASS(tAtlasImage, TWindow)

public:
    tAtlasImage();
    ~tAtlasImage() override;
    static TWindow* DynamicCreate();

    using TWindow::Init;
    void Init(TWindowStyle& style) override;
    void Draw() override;
    bool OnTaskAnimate() override;
    const std::shared_ptr<TAnimatedSprite>& GetSprite() const { return mSprite; }

private:
    std::shared_ptr<TAnimatedSprite> mSprite;
};
