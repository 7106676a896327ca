#pragma once
// An animated picture in a menu, drawn in screen coordinates where the layout placed it:
// "file" names the animated texture, "anim" the animation its script plays. With a file the
// window covers the whole screen and the picture keeps the layout's place.
//   tMenuSprite{ x = 300, y = 200, file = "anims/spinner", anim = "DoAnim" }

#include <memory>

#include "ui/window/window.h"

class TAnimatedSprite;

class tMenuSprite : public TWindow
{
    TV_CLASS(tMenuSprite, TWindow)

public:
    tMenuSprite();
    ~tMenuSprite() override;
    static TWindow* DynamicCreate();

    using TWindow::Init;
    void Init(TWindowStyle& style) override;
    // Keeps the whole screen once a file took it.
    void PostChildrenInit(TWindowStyle& style) override;
    void Draw() override;
    // Redraws every tick while the animation plays.
    bool OnTaskAnimate() override;
    const std::shared_ptr<TAnimatedSprite>& GetSprite() const { return mSprite; }

private:
    std::shared_ptr<TAnimatedSprite> mSprite;
    bool mFullScreen = false;
};
