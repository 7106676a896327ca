#include "core/platform/platform.h"
#include "game/script/window_state.h"
#include "game/world/actor/girl.h"
#include "game/world/clock/pause.h"
#include "game/world/common/debug_flags.h"
#include "game/world/common/step_toward.h"
#include "game/world/overlay/mesh_overlay.h"
#include "game/world/scene/scene.h"
#include "game/world/scene/scene_float_text.h"
#include "game/world/scene/scene_hooks.h"
#include "game/world/state/gamestate.h"
#include "render/renderer/renderer.h"
#include "render/sprite/sprite.h"
#include "render/text/text_graphic.h"

#include <algorithm>
#include <cmath>

namespace {

// Float steps leave a residue after many frames; a residue this small is no visible or
// audible change, and taking it at once keeps a fade of n steps at n frames.
constexpr float kStepSlack = 1e-4f;

void StepValue(float& value, float target, float speed)
{
    speed = std::max(speed, 0.0f);
    if (std::fabs(target - value) <= speed + kStepSlack) {
        value = target;
        return;
    }
    float unused = 0;
    StepToward(value, unused, target, 0, speed);
}

bool CheatSwitch(int which)
{
    return TPlatform::IsEnabled(TPlatform::kCheatMode) && debugflag[which];
}

TTransformedLitVert ScreenVertex(float x, float y, TColor32 colour)
{
    TTransformedLitVert v{};
    v.position = TVec3(x, y, 0);
    v.rhw = 1;
    v.diffuse = colour;
    return v;
}

// The actor's effect draws with its own sprite when it has a depth, and over the interface
// when the actor is there.
bool DrawsPartyHere(const tGirl& actor)
{
    return actor.HasParty() && actor.GetPartyDepth() == 0 && actor.GetDepthMode() != DEPTH_OVER_HUD;
}

}  // namespace

void tScene::SetCameraPosition(const tVector2<float>& position)
{
    const float width = mScreenSize.x, height = mScreenSize.y;
    const TRect& b = mSceneBounds;
    float x = position.x, y = position.y;
    if (x < float(b.left))
        x = float(b.left);
    else if (x > float(b.right) - width)
        x = float(b.right) - width;
    if (y < float(b.top))
        y = float(b.top);
    else if (y > float(b.bottom) - height)
        y = float(b.bottom) - height;
    if (float(b.right - b.left) < width)
        x = 0;
    if (float(b.bottom - b.top) < height)
        y = 0;
    mCamera = tVector2<float>(x, y);
    if (mWorldHolder)
        mWorldHolder->mSpec = TDrawSpec(TVec2(-x, -y), 1, 1, 0);
}

tVector2<float> tScene::WorldFromScreen(const TPoint& point) const
{
    return tVector2<float>(float(point.x), float(point.y)) + mCamera;
}

tVector2<float> tScene::ScreenFromWorld(const tVector2<float>& point) const
{
    return point - mCamera;
}

bool tScene::IsFadeDone() const
{
    return mFadeColor == mFadeTarget;
}

void tScene::UpdateFade()
{
    StepValue(mFadeColor.alpha, mFadeTarget.alpha, mFadeSpeed);
    StepValue(mFadeColor.red, mFadeTarget.red, mFadeSpeed);
    StepValue(mFadeColor.green, mFadeTarget.green, mFadeSpeed);
    StepValue(mFadeColor.blue, mFadeTarget.blue, mFadeSpeed);
}

void tScene::UpdateVolume()
{
    StepValue(mMusicVolume, mMusicVolumeTarget, mMusicVolumeSpeed);
}

void tScene::SetRoomScale(float nearY, float farY, float nearScale, float farScale)
{
    mRoomNearY = nearY;
    mRoomFarY = farY;
    mRoomNearScale = nearScale;
    mRoomFarScale = farScale;
}

float tScene::ComputeRoomScale(float y) const
{
    const float t = inv_flerp(mRoomNearY, mRoomFarY, y);
    const float scale = mRoomNearScale + t * (mRoomFarScale - mRoomNearScale);
    // Not below the near scale, then not above the far one: a room that shrinks with distance
    // names its far rows (the smaller scale) first.
    if (scale < mRoomNearScale)
        return mRoomNearScale;
    return std::min(scale, mRoomFarScale);
}

void tScene::SetTextBoundsXY(int x, int y)
{
    mTextBounds = TRect(x, y, int(mScreenSize.x) - x, int(mScreenSize.y) - y);
}

void tScene::SetSaySpec(const tTextSpec& spec)
{
    mSaySpec = spec;
    mChoices.SetSaySpec(mSaySpec);
}

void tScene::ModifySaySpec(dfLua& lua, int index)
{
    ModifyTextSpec(mSaySpec, lua, index);
    mChoices.SetSaySpec(mSaySpec);
}

void tScene::Draw()
{
    if (mCameraActor) {
        const tVector2<float> actor = mCameraActor->GetPosition();
        const tVector2<float> offset = actor - mCamera;
        tVector2<float> camera = mCamera;
        if (offset.x < mCameraMargin.x)
            camera.x = actor.x - mCameraMargin.x;
        else if (offset.x > mScreenSize.x - mCameraMargin.x)
            camera.x = actor.x + mCameraMargin.x - mScreenSize.x;
        if (offset.y < mCameraMargin.y)
            camera.y = actor.y - mCameraMargin.y;
        else if (offset.y > mScreenSize.y - mCameraMargin.y)
            camera.y = actor.y + mCameraMargin.y - mScreenSize.y;
        SetCameraPosition(camera);
    }
    // By index over the actors present now: an effect's script may spawn actors.
    const size_t count = mActors.size();
    for (size_t i = 0; i < count; ++i)
        if (tGirl* actor = mActors[i].get())
            actor->UpdateImage();

    const TDrawSpec origin(TVec2(0, 0), 1, 1, 0);
    if (mWorldHolder)
        mWorldHolder->Draw(origin, -1);
    if (mScreenHolder)
        mScreenHolder->Draw(origin, -1);
    TRenderer::GetInstance()->SetBlendMode(TRenderStates::kBlendNormal);

    if (CheatSwitch(1))
        mGround.Draw(tVector2<float>(0, 0) - mCamera);
    if (CheatSwitch(2)) {
        DrawPath(mCamera);
        DrawProbe();
    }

    for (size_t i = 0; i < count; ++i)
        if (tGirl* actor = mActors[i].get(); actor && DrawsPartyHere(*actor))
            actor->DrawParty();
    if (!IsPaused())
        UpdateFade();
    if (!mFadeOverHud)
        DrawFade();
    for (size_t i = 0; i < count; ++i)
        if (tGirl* actor = mActors[i].get())
            actor->Draw();
    if (mFloatText && InFollowClicksMode() && GetMouseWindow())
        DrawTextInBox(*mFloatText, mFloatTextBox);
    mChoices.Draw();
}

void tScene::DrawOverHud()
{
    if (g_HUDEnabled && mOverHudHolder)
        mOverHudHolder->Draw(TDrawSpec(TVec2(0, 0), 1, 1, 0), -1);
    if (mFadeOverHud)
        DrawFade();
    const size_t count = mActors.size();
    for (size_t i = 0; i < count; ++i) {
        tGirl* actor = mActors[i].get();
        if (!actor || actor->GetDepthMode() != DEPTH_OVER_HUD)
            continue;
        if (actor->HasParty())
            actor->DrawParty();
        actor->DrawTextA();
    }
}

void tScene::DrawProbe() const
{
    // From the mouse to the ground point a click there would walk to.
    const TColor32 yellow(255, 255, 0, 255);
    const tVector2<float> from = mProbePoint - mCamera, to = mProbeGround - mCamera;
    TTransformedLitVert line[2] = {ScreenVertex(from.x, from.y, yellow), ScreenVertex(to.x, to.y, yellow)};
    TRenderer* renderer = TRenderer::GetInstance();
    renderer->SetTexture(nullptr);
    TVertexSet set(line, 2);
    renderer->DrawVertices(TRenderStates::kLineStrip, set);
}

void tScene::DrawFade()
{
    if (mFadeColor.alpha == 0)
        return;
    const TColor32 colour(mFadeColor);
    // The scene's place on the screen, in the coordinates of the window drawing it (a sub-game
    // window already stands where its sub-scene is).
    TRect viewport;
    TRenderer* renderer = TRenderer::GetInstance();
    renderer->GetViewport(&viewport);
    const float left = mScreenPosition.x - float(viewport.left), top = mScreenPosition.y - float(viewport.top);
    const float right = left + mScreenSize.x, bottom = top + mScreenSize.y;
    TTransformedLitVert quad[4] = {ScreenVertex(left, top, colour), ScreenVertex(left, bottom, colour),
                                   ScreenVertex(right, top, colour), ScreenVertex(right, bottom, colour)};
    renderer->SetTexture(nullptr);
    TVertexSet set(quad, 4);
    renderer->DrawVertices(TRenderStates::kTriangleStrip, set);
}
