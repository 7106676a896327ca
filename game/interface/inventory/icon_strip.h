#pragma once
// A row of item icons showing one inventory bag, scrolled with the bag's scroll position. Its
// layout settings: "maxicons" icons named "<iconbase>_<i>" (the game names them
// "<bag name>_obj_<i>", which is how the strip finds them again), placed "igap_x" apart from
// "ibase_x", each "igap_x" × "h"; "visibleicons" of them show at once; "icongen"(bag, i) gives
// icon i its click function; "halo" names the highlight of the add animation.
//   tIconStrip{ name = "BAG_INV_strip", maxicons = 8, iconbase = "BAG_INV_obj", igap_x = 48,
//               h = 48, bag = BAG_INV, visibleicons = 5, halo = "interface/halo",
//               icongen = function(bag, i) return function() ... end end }
//
// When an item is added the strip plays the add animation: the highlight blinks, the item's
// picture flies from the middle of the screen into its slot while it shrinks, and the
// highlight blinks again. The item's own icon stays blank meanwhile.

#include <memory>

#include "core/math/vec.h"
#include "core/text/str.h"
#include "render/renderer/render_types.h"
#include "ui/window/window.h"

class TSprite;
class TTexture;
class tInventory;

class tIconStrip : public TWindow
{
    TV_CLASS(tIconStrip, TWindow)

public:
    enum tAddState
    {
        kIdle = 0,
        kBlinkBefore = 1,
        kFly = 2,
        kBlinkAfter = 3,
    };
    static constexpr int kBlinkFrames = 11;
    static constexpr int kBlinks = 5;
    static constexpr int kFlyFrames = 40;
    static constexpr float kFlyEndSize = 32.0f;
    static constexpr int kMaxIcons = 256;

    tIconStrip();
    ~tIconStrip() override;
    static TWindow* DynamicCreate();

    using TWindow::Init;
    void Init(TWindowStyle& style) override;
    void SetInventory(tInventory* inventory) { mInventory = inventory; }
    tInventory* GetInventory() const { return mInventory; }
    // Moves the strip with the bag's scroll and shows its items; `label` becomes the
    // description of the item under the mouse or in use (unchanged when there is none).
    void UpdateFromInv(str& label);
    // Draws the add animation above the whole screen.
    void PostDraw() override;
    // One step of the add animation.
    bool OnTaskAnimate() override;

    // Starts the add animation of the item `key` with its picture (nothing without one).
    void StartAddAnimation(const str& key, std::shared_ptr<TTexture> picture);
    void PrepHaloSpec(const TVec2& scale, const TVec2& position);
    int GetAddState() const { return mAddState; }
    const str& GetAddingItem() const { return mAddingItem; }
    const std::shared_ptr<TSprite>& GetFlyingPicture() const { return mFlying; }
    const std::shared_ptr<TSprite>& GetHalo() const { return mHalo; }

    int GetCellWidth() const { return mGapX; }
    int GetCellHeight() const { return mIconHeight; }
    int GetBag() const { return mBag; }
    // A point counted from where the strip sits unscrolled (so a slot's place moves with the
    // scroll as the bag's position says), on the screen.
    TVec2 StripToScreen(const TVec2& point) const;

private:
    void Blink(bool before);
    void Fly();
    void FinishAddAnimation();
    void SetFlyingSpec(const TVec2& position, const TVec2& scale);

    tInventory* mInventory = nullptr;
    int mMaxIcons = 0;
    str mIconBase;
    int mBaseX = 0;
    int mGapX = 0;
    int mIconHeight = 0;
    int mBag = 0;
    int mVisibleIcons = 0;
    std::shared_ptr<TTexture> mHaloTexture;

    int mAddState = kIdle;
    int mFrame = 0;
    int mBlink = 0;
    str mAddingItem;
    std::shared_ptr<TSprite> mFlying;
    std::shared_ptr<TSprite> mHalo;
};
