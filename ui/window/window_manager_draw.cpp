// One frame: the modal stack from its topmost screen-covering window up, then the overlay
// windows, only when invalidated, and at most once per 12 ms (200 ms in the background) unless
// the window tree changed: what a turn opened is on the screen before the next event is taken.

#include "core/platform/platform.h"
#include "render/renderer/renderer.h"
#include "ui/window/modal_window.h"
#include "ui/window/window_manager.h"
#include "ui/window/window_spider.h"

#include <algorithm>
#include <vector>

namespace {

constexpr uint32_t kForegroundFrameGap = 12;
constexpr uint32_t kBackgroundFrameGap = 200;

TURect Unsigned(const TRect& r)
{
    return TURect(uint32_t(std::max(0, r.left)), uint32_t(std::max(0, r.top)), uint32_t(std::max(0, r.right)),
                  uint32_t(std::max(0, r.bottom)));
}

}  // namespace

void TWindowManager::SetLayerTarget(std::shared_ptr<TTexture> target)
{
    mLayerTarget = std::move(target);
}

void TWindowManager::DrawStack()
{
    mDrawAborted = false;
    TPlatform* platform = TPlatform::GetInstance();
    const bool displayReady = platform ? platform->GetDisplayReady() : true;
    if (mDrawingSuspended || !mScreenInvalid || !displayReady)
        return;
    const uint32_t now = Now();
    if (!mTreeChanged && now - mLastDrawTime < (IsForeground() ? kForegroundFrameGap : kBackgroundFrameGap))
        return;
    mLastDrawTime = now;

    if (!mModalStack.empty() && mModalStack.back()) {
        TModalWindow* bottom = mModalStack.back();
        bottom->SetFlags(bottom->GetFlags() & ~TWindow::kDrawnInLayer);
        TWindowClearFlags clear(~TWindow::kDrawnInLayer, true);
        bottom->ForEachChild(clear);
    }
    TModalWindow* top = GetTopModalWindow();
    if (!top)
        return;
    if (platform)
        platform->GetTaskList()->DoAll(TTask::kDrawContext);
    top->DoModalProcess(TTask::kDrawContext);

    TRenderer* renderer = TRenderer::GetInstance();
    if (mLayerTarget) {
        if (renderer->BeginRenderTarget(mLayerTarget, TRenderer::kRenderTargetNormal)) {
            DrawLayer(kDrawLayer);
            renderer->EndRenderTarget();
        }
    }
    if (!renderer->BeginDraw(false))
        return;
    mScreenInvalid = false;
    mTreeChanged = false;
    mFrameDrawn = true;
    mUndrawn.clear();
    if (mLayerTarget) {
        if (mScreen)
            mScreen->DoDraw(kDrawNormal);
        DrawLayer(kDrawAfterLayer);
    } else {
        DrawLayer(kDrawNormal);
    }
    const std::vector<TWindow*> overlays(mOverlays.begin(), mOverlays.end());
    for (TWindow* overlay : overlays)
        overlay->DoDraw(kDrawNormal);
    DrawOutline();
    renderer->EndDraw(true);
}

void TWindowManager::OnTreeChange(TWindow* appeared)
{
    mScreenInvalid = true;
    mTreeChanged = true;
    if (appeared && mFrameDrawn)
        mUndrawn.insert(appeared);
}

bool TWindowManager::IsUndrawn(const TWindow* window) const
{
    if (mUndrawn.empty())
        return false;
    for (const TWindow* w = window; w; w = w->GetParent()) {
        if (mUndrawn.count(w))
            return true;
        if (w->GetFlags() & TWindow::kModalRoot)
            break;
    }
    return false;
}

void TWindowManager::DrawLayer(EDrawMode mode)
{
    if (mDrawAborted || mModalStack.empty())
        return;
    TModalWindow* top = mModalStack.front();
    if (mode == kDrawAfterLayer || mTopModalOnly) {
        if (top)
            top->DoDraw(mode);
        return;
    }
    // Nothing below a window that covers the whole screen needs drawing.
    auto start = std::prev(mModalStack.end());
    if (mScreen) {
        for (auto it = mModalStack.begin(); it != mModalStack.end(); ++it) {
            TModalWindow* m = *it;
            if (m && (m->GetFlags() & TWindow::kOpaque) && m->GetWindowWidth() == mScreen->GetWindowWidth() &&
                m->GetWindowHeight() == mScreen->GetWindowHeight()) {
                start = it;
                break;
            }
        }
    }
    std::vector<TModalWindow*> order;
    for (auto it = start;; --it) {
        order.push_back(*it);
        if (it == mModalStack.begin())
            break;
    }
    for (TModalWindow* modal : order) {
        if (!modal || (mode == kDrawLayer && modal == top))
            continue;
        modal->DoDraw(mode);
        if (mDrawAborted)
            break;
    }
}

void TWindowManager::DrawOutline()
{
    if (!mOutline || !mHovered)
        return;
    TRenderer* renderer = TRenderer::GetInstance();
    TRect screen;
    if (mScreen)
        mScreen->GetWindowRect(&screen);
    else
        renderer->GetViewport(&screen);
    renderer->PushViewport(screen);
    renderer->PushClippingRectangle(Unsigned(screen));
    TRect h;
    mHovered->GetWindowRect(&h);
    const TColor yellow(1, 1, 0, 1);
    const TRect edges[] = {TRect(h.left, h.top, h.right, h.top + 2), TRect(h.left, h.bottom - 2, h.right, h.bottom),
                           TRect(h.left, h.top, h.left + 2, h.bottom), TRect(h.right - 2, h.top, h.right, h.bottom)};
    for (const TRect& edge : edges)
        renderer->FillRect(Unsigned(edge), yellow);
    renderer->PopViewport();
    renderer->PopClippingRectangle();
}
