// Particle benchmark: one scripted effect of N particles (N = 1,000, 10,000 and 50,000, or the
// counts given as arguments) with position, velocity, fade, rotation and scale, updated in 16 ms
// steps and drawn at 800 x 600 under the offscreen video driver. Prints milliseconds per frame
// for updating and for drawing, the same for LÖVE 11's particle system, and the throughput
// ratios (LÖVE's time over the engine's: 1 is equal speed, 0.5 half of LÖVE's throughput).
// Each count gets a row of means over the frames and a row of medians (steadier on a busy
// machine). With -u only the engine updates (no drawing, no peer): for profiling the machine.
// With -t1 large pools are animated on the calling thread only.

#include "core/files/asset.h"
#include "core/files/file.h"
#include "particles/machine/lua_particle_system.h"
#include "particles/machine/particle_program.h"
#include "platform/sdl/gl_context.h"
#include "render/gl/gl_display_handler.h"
#include "render/renderer/renderer.h"
#include "tools/animpack/anim_pack.h"

#include "love_particle_peer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kWarmup = 30;

double Now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::vector<uint32_t> SparkPixels()
{
    std::vector<uint32_t> pixels(16 * 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const double d = std::hypot(x - 7.5, y - 7.5) / 8.0;
            const auto a = static_cast<uint32_t>(d >= 1 ? 0 : 255 * (1 - d * d));
            pixels[size_t(y) * 16 + size_t(x)] = a << 24 | 0x00FFFFFFu;
        }
    return pixels;
}

std::string Description(int count)
{
    char text[2048];
    std::snprintf(text, sizeof text, R"LUA(
SetTexture("spark.png")
RequireVelocity()
pAge = Allocate(1)
pAngle = Allocate(1)
pSpin = Allocate(1)
SetNumParticles(%d)
pVelocity:Init(f2dRadius(fRange(20, 60)))
pAngle:Init(fRange(0, 6.2831853))
pSpin:Init(fRange(-3, 3))
pPosition:Anim(pPosition + fTimeScale(pVelocity))
pAge:Anim(pAge + fTimeScale(1))
pAngle:Anim(pAngle + fTimeScale(pSpin))
pUp:Anim(f2dRotation(pAngle))
pColor:Anim(fFade(pAge, Color(1, 1, 1, 1), 2, Color(1, 0.5, 0, 0)))
pScale:Anim(fFade(pAge, 0.5, 2, 1.5))
Anim(fExpire(fLess(2, pAge)))
local gen = NewParticleGenerator()
CreateParticles(%d)
function Update(seconds) CreateParticles(gen(%d, seconds * 1000)) end
)LUA",
                  count, count, count / 2);
    return text;
}

struct TEngineResult
{
    double updateMs = 0;
    double drawMs = 0;
    double updateMedianMs = 0;
    double drawMedianMs = 0;
    int live = 0;
};

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

TEngineResult RunEngine(int count, int frames, TGLContext* context, bool drawing)
{
    TLuaParticleSystem system;
    system.Init(Description(count).c_str());
    TRenderer* renderer = TRenderer::GetInstance();
    double update = 0, draw = 0;
    std::vector<double> updates, draws;
    for (int frame = 0; frame < kWarmup + frames; ++frame) {
        const double t0 = Now();
        system.Update(16);
        const double t1 = Now();
        if (drawing && renderer->BeginDraw(false)) {
            if (renderer->Begin2d()) {
                renderer->FillRect(TURect(0, 0, kWidth, kHeight), TColor(0, 0, 0, 1));
                system.Draw(TVec3(400, 300, 0));
                renderer->End2d();
            }
            renderer->EndDraw(true);
        }
        if (drawing)
            context->Swap();
        const double t2 = Now();
        if (frame >= kWarmup) {
            update += t1 - t0;
            draw += t2 - t1;
            updates.push_back((t1 - t0) * 1000);
            draws.push_back((t2 - t1) * 1000);
        }
    }
    TEngineResult r;
    r.updateMs = update * 1000 / frames;
    r.drawMs = draw * 1000 / frames;
    r.updateMedianMs = Median(updates);
    r.drawMedianMs = Median(draws);
    r.live = system.GetParticleCount();
    return r;
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    std::vector<int> counts;
    int frames = 200;
    // -u: update only (no drawing, no peer), for profiling the machine.
    bool updateOnly = false;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "-u")
            updateOnly = true;
        else if (std::string(argv[i]) == "-t1")
            TParticleProgram::SetLaneLimit(1);
        else if (std::string(argv[i]) == "-f" && i + 1 < argc)
            frames = std::atoi(argv[++i]);
        else if (std::atoi(argv[i]) > 0)
            counts.push_back(std::atoi(argv[i]));
    }
    if (counts.empty())
        counts = {1000, 10000, 50000};
    if (frames < 1)
        frames = 1;

    char pattern[] = "/tmp/tv_particle_bench_XXXXXX";
    if (!mkdtemp(pattern))
        return 1;
    const std::string root = pattern;
    std::filesystem::create_directories(root + "/assets");
    const std::string imagePath = root + "/assets/spark.png";
    std::string error;
    if (!WritePngImage(imagePath, 16, 16, SparkPixels(), &error)) {
        std::fprintf(stderr, "bench_particles: %s\n", error.c_str());
        return 1;
    }
    TFile::mResourceDir = root.c_str();
    TFile::ScanFolderForResources("assets", "");

    std::unique_ptr<TGLContext> context = TGLContext::Create(kWidth, kHeight);
    if (!context || !context->MakeCurrent()) {
        std::fprintf(stderr, "bench_particles: no OpenGL context\n");
        return 1;
    }
    TRenderer::SetDisplayHandlerFactory(&TGLDisplayHandler::Create);
    TAssetManager manager;
    TAssetManager::SetInstance(&manager);
    TRenderer* renderer = TRenderer::GetInstance();
    if (TGLDisplayHandler::GetInstance())
        TGLDisplayHandler::GetInstance()->SetDisplay(kWidth, kHeight, false, false, false, false);
    renderer->PushClippingRectangle(TURect(0, 0, kWidth, kHeight));

    std::printf("particles at %d x %d, %s video driver, %d frames of 16 ms after %d warm-up frames\n", kWidth, kHeight,
                getenv("SDL_VIDEODRIVER"), frames, kWarmup);
    std::printf("%8s %8s %14s %12s %14s %12s %14s %14s\n", "N", "live", "engine upd ms", "love upd ms",
                "engine draw ms", "love draw ms", "update ratio", "draw ratio");
    for (int count : counts) {
        const TEngineResult engine = RunEngine(count, frames, context.get(), !updateOnly);
        if (updateOnly) {
            std::printf("%8d %8d %14.3f   median %8.3f\n", count, engine.live, engine.updateMs, engine.updateMedianMs);
            std::fflush(stdout);
            continue;
        }
        std::string note;
        const TLoveParticleResult love = RunLoveParticlePeer(count, frames, imagePath, &note);
        if (love.updateMs >= 0) {
            std::printf("%8d %8d %14.3f %12.3f %14.3f %12.3f %14.2f %14.2f\n", count, engine.live, engine.updateMs,
                        love.updateMs, engine.drawMs, love.drawMs, love.updateMs / engine.updateMs,
                        love.drawMs / engine.drawMs);
            if (love.updateMedianMs > 0)
                std::printf("%8s %8s %14.3f %12.3f %14.3f %12.3f %14.2f %14.2f\n", "median", "", engine.updateMedianMs,
                            love.updateMedianMs, engine.drawMedianMs, love.drawMedianMs,
                            love.updateMedianMs / engine.updateMedianMs, love.drawMedianMs / engine.drawMedianMs);
        } else {
            std::printf("%8d %8d %14.3f %12s %14.3f %12s %14s %14s  (%s)\n", count, engine.live, engine.updateMs, "-",
                        engine.drawMs, "-", "-", "-", note.c_str());
        }
        std::fflush(stdout);
    }
    TRenderer::ShutDown();
    TAssetManager::SetInstance(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
    return 0;
}
