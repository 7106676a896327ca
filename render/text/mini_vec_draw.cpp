#include "render/text/mini_vec_draw.h"

#include "core/math/rect.h"
#include "render/renderer/renderer.h"
#include "render/text/mvec_format.h"
#include "render/text/text_services.h"
#include "render/texture/texture.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace {

// Spans go to the renderer in runs this long; the display handler gathers the runs into one draw.
constexpr size_t kBatchVertices = 4096;
// Past this many cached spans (8 bytes each) the cache starts over rather than growing for good.
constexpr size_t kMaxCachedSpans = size_t(1) << 21;

TZvMiniVecDraw* gLiveDrawers = nullptr;

int RampOf(int slot)
{
    if (slot == TZvMiniVecDraw::kOutlineSlot)
        return 0;
    if (slot == TZvMiniVecDraw::kBoldSlot)
        return 1;
    if (slot == TZvMiniVecDraw::kFillSlot)
        return 3;
    return 2;
}

uint32_t Bits(float f)
{
    return std::bit_cast<uint32_t>(f);
}

}  // namespace

void ForgetCachedStreams(const unsigned char* begin, const unsigned char* end)
{
    for (TZvMiniVecDraw* d = gLiveDrawers; d; d = d->mNextLive)
        d->ForgetStreams(begin, end);
}

TZvMiniVecDraw::TZvMiniVecDraw()
{
    for (int r = 0; r < 4; ++r) {
        mCoverage[r].assign(kColumns + 2, 0);
        mTouchedLow[r] = kColumns + 2;
        mTouchedHigh[r] = -1;
    }
    mBatch.reserve(kBatchVertices);
    mNextLive = gLiveDrawers;
    if (gLiveDrawers)
        gLiveDrawers->mPrevLive = this;
    gLiveDrawers = this;
}

TZvMiniVecDraw::~TZvMiniVecDraw()
{
    Stop();
    if (mPrevLive)
        mPrevLive->mNextLive = mNextLive;
    else
        gLiveDrawers = mNextLive;
    if (mNextLive)
        mNextLive->mPrevLive = mPrevLive;
}

void TZvMiniVecDraw::SetColor(int slot, const TColor& color, float alpha)
{
    if (slot < 0 || slot > 255)
        return;
    const TColor32 c(color);
    const float factor = std::clamp(alpha, 0.0f, 1.0f);
    const unsigned a = static_cast<unsigned>(c.Alpha() * factor) & 0xFF;
    TColor32* ramp = mRamps[RampOf(slot)];
    for (int i = 0; i < kRampSteps; ++i) {
        const unsigned stepAlpha = i < 16 ? a * (16 * i + 16) / 256 : a * 255 / 256;
        ramp[i] = TColor32(c.Red(), c.Green(), c.Blue(), static_cast<unsigned char>(stepAlpha));
    }
}

TColor32 TZvMiniVecDraw::GetRampColor(int slot, int step) const
{
    return mRamps[RampOf(slot)][std::clamp(step, 0, kRampSteps - 1)];
}

bool TZvMiniVecDraw::Start(float x, float y, std::shared_ptr<TTexture> target)
{
    mOriginX = static_cast<int>(x);
    mOriginY = static_cast<int>(y);
    mSubX = static_cast<int>(4 * x) % 4;
    mSubY = static_cast<int>(4 * y) % 4;
    if (!target) {
        if (!mToScreen || HasPixels())
            Stop();
        mToScreen = true;
        TRenderer::GetInstance()->SetTexture(nullptr);
        return true;
    }
    if (target != mTexture)
        GetPixelAccess(target);
    return true;
}

bool TZvMiniVecDraw::GetPixelAccess(std::shared_ptr<TTexture> texture)
{
    if (texture && texture == mTexture && mLocked)
        return HasPixels();
    if (texture != mTexture && (mTexture || HasPixels() || mToScreen))
        Stop();
    mTexture = texture;
    mPixels = TPixelSurface();
    if (!texture)
        return false;
    TColor32* pixels = nullptr;
    unsigned int pitch = 0;
    if (!texture->Lock(&pixels, &pitch))
        return false;
    // Locked from here on, so Stop unlocks it even when it gave no pixels.
    mLocked = true;
    if (!pixels)
        return false;
    mPixels.pixels = pixels;
    mPixels.width = static_cast<int>(texture->GetWidth());
    mPixels.height = static_cast<int>(texture->GetHeight());
    mPixels.pitch = static_cast<int>(pitch);
    return true;
}

bool TZvMiniVecDraw::StartSurface(float x, float y, TPixelSurface* surface)
{
    const bool same = surface && !mTexture && !mToScreen && mPixels.pixels == surface->pixels;
    if (!same && (mTexture || HasPixels() || mToScreen))
        Stop();
    mOriginX = static_cast<int>(x);
    mOriginY = static_cast<int>(y);
    mSubX = static_cast<int>(4 * x) % 4;
    mSubY = static_cast<int>(4 * y) % 4;
    if (surface)
        mPixels = *surface;
    return true;
}

void TZvMiniVecDraw::Stop()
{
    Flush();
    if (mLocked && mTexture) {
        mTexture->Unlock();
        InvalidateScreenForText();
    }
    mLocked = false;
    mTexture.reset();
    mPixels = TPixelSurface();
    mToScreen = false;
}

void TZvMiniVecDraw::Flush()
{
    if (!mBatch.empty() && mToScreen) {
        TVertexSet set(mBatch.data(), static_cast<unsigned int>(mBatch.size()));
        TRenderer::GetInstance()->DrawVertices(TRenderer::kLineList, set);
    }
    mBatch.clear();
}

void TZvMiniVecDraw::Calibrate()
{
    mAdjustLeft = mAdjustRight = mAdjustY = 0.5f;
}

void TZvMiniVecDraw::DrawBox(TZvMiniVecDraw* drawer, int x1, int y1, int x2, int y2, int x, int y)
{
    if (!drawer)
        return;
    auto put = [](unsigned char* p, int v) {
        const int16_t s = static_cast<int16_t>(std::clamp(v * 128, -32768, 32767));
        p[0] = static_cast<unsigned char>(s & 0xFF);
        p[1] = static_cast<unsigned char>((s >> 8) & 0xFF);
    };
    unsigned char stream[2 + 5 * 5 + 1];
    unsigned char* p = stream;
    *p++ = mvec::kFillA;
    *p++ = 1;
    const int corners[5][2] = {{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}, {x1, y1}};
    for (int i = 0; i < 5; ++i) {
        *p++ = i == 0 ? mvec::kMove : mvec::kLine;
        put(p, corners[i][0]);
        put(p + 2, corners[i][1]);
        p += 4;
    }
    *p = mvec::kEnd;
    // The stream lives on the stack: its address says nothing about its content, so boxes are
    // never cached.
    drawer->DrawShape(stream, x, y, false);
}

void TZvMiniVecDraw::Draw(const unsigned char* commands, int x, int y)
{
    DrawShape(commands, x, y, true);
}

size_t TZvMiniVecDraw::TCacheKeyHash::operator()(const TCacheKey& k) const
{
    size_t h = std::hash<const void*>()(k.stream);
    const uint32_t parts[] = {uint32_t(k.subX), uint32_t(k.subY), k.scaleX, k.scaleY,          k.stroke0,
                              k.stroke1,        k.cosine,         k.sine,   uint32_t(k.italic)};
    for (uint32_t v : parts)
        h = h * 1000003u ^ v;
    return h;
}

TZvMiniVecDraw::TCacheKey TZvMiniVecDraw::MakeKey(const unsigned char* commands, int subX, int subY) const
{
    return TCacheKey{commands,         subX,       subY,       Bits(mScaleX), Bits(mScaleY), Bits(mStroke[0]),
                     Bits(mStroke[1]), Bits(mCos), Bits(mSin), mItalic};
}

void TZvMiniVecDraw::DrawShape(const unsigned char* commands, int x, int y, bool cached)
{
    if (!commands)
        return;
    x += mSubX;
    y += mSubY;
    const int shapeX = x >> 2;
    const int shapeY = y >> 2;
    const int subX = x & 3;
    const int subY = y & 3;
    if (!cached) {
        std::vector<TSpan> spans;
        Rasterise(commands, subX, subY, &spans);
        Replay(spans, shapeX, shapeY);
        return;
    }
    const TCacheKey key = MakeKey(commands, subX, subY);
    auto found = mCache.find(key);
    if (found == mCache.end()) {
        if (mCachedSpans > kMaxCachedSpans)
            ClearCache();
        std::vector<TSpan> spans;
        Rasterise(commands, subX, subY, &spans);
        mCachedSpans += spans.size();
        found = mCache.emplace(key, std::move(spans)).first;
    }
    Replay(found->second, shapeX, shapeY);
}

void TZvMiniVecDraw::ForgetStreams(const unsigned char* begin, const unsigned char* end)
{
    for (auto it = mCache.begin(); it != mCache.end();) {
        if (std::less_equal<const unsigned char*>()(begin, it->first.stream) &&
            std::less<const unsigned char*>()(it->first.stream, end)) {
            mCachedSpans -= it->second.size();
            it = mCache.erase(it);
        } else {
            ++it;
        }
    }
}

void TZvMiniVecDraw::ClearCache()
{
    mCache.clear();
    mCachedSpans = 0;
}

void TZvMiniVecDraw::Replay(const std::vector<TSpan>& spans, int shapeX, int shapeY)
{
    const int baseX = mOriginX + shapeX;
    const int baseY = mOriginY + shapeY;
    for (const TSpan& s : spans) {
        const TColor32 color = mRamps[s.ramp & 3][s.level % kRampSteps];
        if (HasPixels())
            WritePixels(baseX + s.x0, baseX + s.x1, baseY + s.y, color);
        else if (mToScreen)
            AddLine(float(baseX + s.x0), float(baseX + s.x1), float(baseY + s.y), color);
    }
}

void TZvMiniVecDraw::AddLine(float x0, float x1, float y, TColor32 color)
{
    TPreScaledTransformedLitVert v{};
    v.position = TVec3(x0 + mAdjustLeft, y + mAdjustY, 0.1f);
    v.rhw = 1.0f;
    v.diffuse = color;
    mBatch.push_back(v);
    v.position.x = x1 + mAdjustRight;
    mBatch.push_back(v);
    if (mBatch.size() >= kBatchVertices)
        Flush();
}

void TZvMiniVecDraw::WritePixels(int x0, int x1, int y, TColor32 color)
{
    if (y < 0 || y >= mPixels.height || x0 >= mPixels.width)
        return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, mPixels.width);
    const unsigned sa = color.Alpha();
    TColor32* row = mPixels.pixels + static_cast<ptrdiff_t>(y) * mPixels.pitch;
    for (int x = x0; x < x1; ++x) {
        TColor32& d = row[x];
        if (mAlphaBlend) {
            if (sa == 0)
                continue;
            const unsigned da = d.Alpha();
            const unsigned sum = da + sa;
            auto mix = [&](unsigned dc, unsigned sc) { return static_cast<unsigned char>((dc * da + sc * sa) / sum); };
            d = TColor32(mix(d.Red(), color.Red()), mix(d.Green(), color.Green()), mix(d.Blue(), color.Blue()),
                         static_cast<unsigned char>(std::min(255u, sum)));
        } else if (mNoBlend) {
            d = color;
        } else {
            auto mix = [&](unsigned dc, unsigned sc) {
                return static_cast<unsigned char>((dc * (255 - sa) + sc * sa) / 255);
            };
            d = TColor32(mix(d.Red(), color.Red()), mix(d.Green(), color.Green()), mix(d.Blue(), color.Blue()),
                         d.Alpha());
        }
    }
}
