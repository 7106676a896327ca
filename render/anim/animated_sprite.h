#pragma once
// A sprite that shows one frame of an animated texture and plays the texture's Lua animation
// script: each sprite has a private script environment holding the animation library, and each
// Play starts the named function as a new coroutine stepped by the sprite's clock.
//   auto hero = TAnimatedSprite::Create(2);
//   hero->Init("anims/walk", "", "");
//   hero->SetTexture(hero->GetAnimatedTexture());
//   hero->SetClock(&sceneClock);
//   hero->Play("DoAnim");
//   if (!hero->IsPlaying(0)) ...

#include "render/anim/animated_texture.h"
#include "render/sprite/sprite.h"

#include <memory>

class TClock;
class TSpriteScript;

class TAnimatedSpriteData
{
public:
    // The animated texture's script text; empty without a texture.
    str GetScriptString() const;
    // Retires the running coroutine (deleting the one retired before).
    void ResetThread();
    // Retires the script environment, deleting the one retired before.
    void RetireScript();
    ~TAnimatedSpriteData();

    int mCurrentFrame = 0;
    std::shared_ptr<TAnimatedTexture> mTexture;
    TClock* mClock = nullptr;
    TSpriteScript* mScript = nullptr;
    TSpriteScript* mThread = nullptr;
    // Taken out of the task list and paused; deleted at the next reset, so that a script can end
    // its own sprite's animation from inside its coroutine.
    TSpriteScript* mRetiredScript = nullptr;
    TSpriteScript* mRetiredThread = nullptr;
};

class TAnimatedSprite : public TSprite
{
    TV_SPRITE_CLASS(TAnimatedSprite, TSprite)

public:
    static std::shared_ptr<TAnimatedSprite> Create(int layer);
    ~TAnimatedSprite() override;

    void Draw(const TDrawSpec& parent, int depth) override;
    TRect GetRect(const TDrawSpec& parent, int depth) override;
    bool HitTest(const TPoint& point, const TDrawSpec& parent, int alphaThreshold, int depth) override;
    void SetTexture(std::shared_ptr<TTexture> texture) override;

    // The animated texture becomes that of the description; the drawn texture is not changed.
    bool Init(const str& description, const str& image, const str& mask);
    void Play(const str& name);
    // Pauses or resumes the running coroutine; depth reaches animated children (-1: all).
    void Pause(bool pause, int depth);
    bool IsPlaying(int depth);
    // Ends the animation and its script; the sprite keeps showing its frame.
    void Die();
    // Takes the sprite out of its parent.
    void RemoveSprite();
    TSpriteScript* NewScript();
    // The coroutine when there is one, else the environment, made when missing.
    TSpriteScript* GetScript();
    void SetClock(TClock* clock);
    // Below -1 is ignored.
    void SetCurrentFrame(int frame);
    int GetCurrentFrame() const { return mData->mCurrentFrame; }
    std::shared_ptr<TAnimatedTexture> GetAnimatedTexture() const { return mData->mTexture; }
    void SetAlpha(float alpha) { mSpec.alpha = alpha; }
    TAnimatedSpriteData* GetData() const { return mData.get(); }

protected:
    explicit TAnimatedSprite(int layer);

private:
    // The texture shows the sprite's frame before it is drawn or measured.
    void ShowOwnFrame();

    std::unique_ptr<TAnimatedSpriteData> mData;
};

// Random(min, max) of the sprite functions: min + a random number modulo (max - min); min when
// the range is empty.
unsigned SpriteRandomRange(unsigned min, unsigned max);
