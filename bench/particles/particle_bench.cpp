// Particle benchmark: one scripted effect of N particles (N = 1,000, 10,000 and 50,000, or the
// counts given as arguments) with position, velocity, fade, rotation and scale, updated in 16 ms
// steps and drawn at 800 x 600 under the offscreen video driver, against the same effect in LÖVE
// 11's particle system. Lives outlast the run and both pools start full, so both sides hold N
// live particles in every timed frame (checked and printed). For each N it prints the update alone
// and the whole frame (update, draw, present), as wall and as CPU time, mean and median per frame,
// and LÖVE's time over the engine's (above 1: the engine is faster). A row is marked fair when
// both sides held the same live count in every timed frame, for wall time ran the same number of
// lanes, and, for a whole-frame median, neither side's frame costs bunch up in a few frames (a
// driver that defers drawing). Medians of the update are steadier on a busy machine.
// -u: update only, nothing drawn on either side. -t1: the engine updates on one lane (the calling
// thread), as LÖVE does. -f FRAMES: timed frames (200).

#include "core/files/asset.h"
#include "core/files/file.h"
#include "particles/machine/lua_particle_system.h"
#include "particles/machine/particle_program.h"
#include "particles/machine/particle_workers.h"
#include "platform/sdl/gl_context.h"
#include "render/gl/gl_display_handler.h"
#include "render/renderer/renderer.h"
#include "tools/animpack/anim_pack.h"

#include "love_particle_peer.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kWarmup = 30;
constexpr double kStepSeconds = 0.016;

double WallMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// CPU time of the whole process: the worker lanes and the renderer's threads count too.
double CpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1000.0 + double(t.tv_nsec) / 1e6;
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

std::string Description(const TParticleRun& run)
{
    const double life = run.lifeSeconds;
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
pColor:Anim(fFade(pAge, Color(1, 1, 1, 1), %.3f, Color(1, 0.5, 0, 0)))
pScale:Anim(fFade(pAge, 0.5, %.3f, 1.5))
Anim(fExpire(fLess(%.3f, pAge)))
local gen = NewParticleGenerator()
CreateParticles(%d)
function Update(seconds) CreateParticles(gen(%d, seconds * 1000)) end
)LUA",
                  run.count, life, life, life, run.count, std::max(1, static_cast<int>(run.count / life)));
    return text;
}

TParticleSamples RunEngine(const TParticleRun& run, TGLContext* context)
{
    TLuaParticleSystem system;
    system.Init(Description(run).c_str());
    TRenderer* renderer = TRenderer::GetInstance();
    TParticleSamples samples;
    for (int frame = 0; frame < run.warmup + run.frames; ++frame) {
        const double w0 = WallMs(), c0 = CpuMs();
        system.Update(16);
        const double w1 = WallMs(), c1 = CpuMs();
        if (run.drawing) {
            if (renderer->BeginDraw(false)) {
                // Cleared as LÖVE clears, not by a drawn rectangle (a whole screen of blended
                // pixels more).
                glClearColor(0, 0, 0, 1);
                glClear(GL_COLOR_BUFFER_BIT);
                if (renderer->Begin2d()) {
                    system.Draw(TVec3(400, 300, 0));
                    renderer->End2d();
                }
                renderer->EndDraw(true);
            }
            context->Swap();
        }
        const double w2 = WallMs(), c2 = CpuMs();
        if (frame >= run.warmup) {
            samples.updateWall.push_back(w1 - w0);
            samples.updateCpu.push_back(c1 - c0);
            samples.frameWall.push_back(w2 - w0);
            samples.frameCpu.push_back(c2 - c0);
            samples.AddLive(system.GetParticleCount());
        }
    }
    return samples;
}

// Lanes the engine's update runs on for a pool of `count`.
unsigned EngineLanes(int count, bool oneLane)
{
    if (oneLane || static_cast<size_t>(count) < TParticleProgram::kParallelMinimum)
        return 1;
    return TParticleWorkers::Get().GetLaneCount();
}

void PrintRows(const TParticleRun& run, const TParticleSamples& engine, const TParticleSamples& love,
               unsigned lanes)
{
    const bool full = [&] {
        for (const TParticleSamples* s : {&engine, &love})
            if (s->liveMin != run.count || s->liveMax != run.count)
                return false;
        return true;
    }();
    std::printf("N %d: live engine %d..%d, love %d..%d: %s; engine lanes %u, love 1\n", run.count, engine.liveMin,
                engine.liveMax, love.liveMin, love.liveMax,
                full ? "both held N in every timed frame" : "LIVE COUNTS DIFFER", lanes);
    struct TRow
    {
        const char* name;
        std::vector<double> TParticleSamples::*values;
        bool wall;
        bool drawn;
    };
    const TRow rows[] = {{"update wall", &TParticleSamples::updateWall, true, false},
                         {"update cpu", &TParticleSamples::updateCpu, false, false},
                         {"frame wall", &TParticleSamples::frameWall, true, true},
                         {"frame cpu", &TParticleSamples::frameCpu, false, true}};
    for (const TRow& row : rows) {
        if (row.drawn && !run.drawing)
            continue;
        // A driver that defers drawing makes most frames cheap and a few dear: medians then pick
        // the cheap ones, and only the means hold all the work.
        const bool bunched = row.drawn && std::max(Mean(engine.*row.values) / Median(engine.*row.values),
                                      Mean(love.*row.values) / Median(love.*row.values)) > 1.5;
        for (const bool median : {false, true}) {
            const char* fair = !full                  ? "no: live counts differ"
                               : row.wall && lanes > 1 ? "no: unequal lanes (see cpu)"
                               : median && bunched     ? "no: costs bunch up in a few frames (see mean)"
                                                       : "yes";
            const double e = median ? Median(engine.*row.values) : Mean(engine.*row.values);
            const double l = median ? Median(love.*row.values) : Mean(love.*row.values);
            std::printf("%8d  %-12s %-6s %11.3f %11.3f %9.2f  %s\n", run.count, row.name, median ? "median" : "mean", e,
                        l, e > 0 ? l / e : 0.0, fair);
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    std::vector<int> counts;
    int frames = 200;
    bool updateOnly = false;
    bool oneLane = false;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "-u")
            updateOnly = true;
        else if (std::string(argv[i]) == "-t1")
            oneLane = true;
        else if (std::string(argv[i]) == "-f" && i + 1 < argc)
            frames = std::atoi(argv[++i]);
        else if (std::atoi(argv[i]) > 0)
            counts.push_back(std::atoi(argv[i]));
    }
    if (counts.empty())
        counts = {1000, 10000, 50000};
    if (frames < 1)
        frames = 1;
    if (oneLane)
        TParticleProgram::SetLaneLimit(1);

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

    std::printf("particles at %d x %d, %s video driver, %d frames of 16 ms after %d warm-up frames%s\n", kWidth,
                kHeight, getenv("SDL_VIDEODRIVER"), frames, kWarmup, updateOnly ? ", update only" : "");
    std::printf("%8s  %-12s %-6s %11s %11s %9s  %s\n", "N", "ms/frame", "", "engine", "love", "love/eng", "fair");
    for (int count : counts) {
        TParticleRun run;
        run.count = count;
        run.frames = frames;
        run.warmup = kWarmup;
        run.lifeSeconds = (kWarmup + frames) * kStepSeconds + 1.0;
        run.drawing = !updateOnly;
        const TParticleSamples engine = RunEngine(run, context.get());
        std::string note;
        const TParticleSamples love = RunLoveParticlePeer(run, imagePath, &note);
        if (love.Empty()) {
            std::printf("%8d  update wall mean %11.3f (love: %s)\n", count, Mean(engine.updateWall), note.c_str());
        } else {
            PrintRows(run, engine, love, EngineLanes(count, oneLane));
        }
        std::fflush(stdout);
    }
    TRenderer::ShutDown();
    TAssetManager::SetInstance(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
    return 0;
}
