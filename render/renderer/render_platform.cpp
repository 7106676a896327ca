#include "render/renderer/render_platform.h"

#include "render/renderer/display_handler.h"
#include "render/renderer/renderer.h"

#include <chrono>

namespace {

TRenderPlatform gDefaultPlatform;
TRenderPlatform* gPlatform = nullptr;

}  // namespace

bool TRenderPlatform::BeginDraw(bool preserve)
{
    return TRenderer::GetInstance()->GetDisplayHandler()->BeginDraw(preserve);
}

void TRenderPlatform::EndDraw(bool swap)
{
    TRenderer::GetInstance()->GetDisplayHandler()->EndDraw(swap);
}

uint32_t TRenderPlatform::Timer()
{
    using namespace std::chrono;
    static const steady_clock::time_point start = steady_clock::now();
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now() - start).count());
}

bool TRenderPlatform::GetScreenWindowSize(int*, int*)
{
    return false;
}

TRenderPlatform& GetRenderPlatform()
{
    return gPlatform ? *gPlatform : gDefaultPlatform;
}

void SetRenderPlatform(TRenderPlatform* platform)
{
    gPlatform = platform;
}
