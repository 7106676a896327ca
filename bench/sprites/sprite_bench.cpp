// Sprite drawing benchmark: N textured, alpha-blended, rotating sprites at 800 × 600 under the
// offscreen video driver, for N = 500, 2000 and 8000 (or the counts given as arguments).
// Prints the engine's frames per second, its CPU time per frame outside GL (the same frames
// drawn through a display handler that sends nothing to the GPU), the floor's frames per second
// (the same quads from one prepared vertex buffer in one GL call), LÖVE 11's frames per second
// for the same scene, and the engine's rate over each. Then a screen of wrapped rich text.
//   bench_sprites [-t seconds] [-n] [-u] [N...]
// -n leaves out the LÖVE run; -u sends every sprite to GL on its own (no batching).

#include "bench/common/fresh_renderer.h"
#include "bench/common/null_display_handler.h"
#include "core/files/asset.h"
#include "core/files/file.h"
#include "platform/sdl/gl_context.h"
#include "render/gl/gl_display_handler.h"
#include "render/gl/gl_texture_data.h"
#include "render/renderer/renderer.h"
#include "render/sprite/sprite.h"
#include "render/texture/texture.h"
#include "tools/animpack/anim_pack.h"

#include "floor_scene.h"
#include "love_peer.h"
#include "text_scene.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <vector>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

double ThreadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double WallSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// A soft-edged disc: alpha falls off towards the rim, so blending does real work.
std::vector<uint32_t> DiscPixels()
{
    std::vector<uint32_t> pixels(32 * 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const double d = std::hypot(x - 15.5, y - 15.5) / 16.0;
            const auto a = static_cast<uint32_t>(d >= 1 ? 0 : 255 * (1 - d * d));
            pixels[size_t(y) * 32 + size_t(x)] = a << 24 | 0x00FFC060u;
        }
    return pixels;
}

struct TSceneSprite
{
    std::shared_ptr<TSprite> sprite;
    float x, y, r, dr;
};

// The same sequence as the peer's main.lua.
struct TSceneRandom
{
    double seed = 12345;
    double Next()
    {
        seed = std::fmod(16807 * seed, 2147483647.0);
        return seed / 2147483647.0;
    }
};

std::vector<TSceneSprite> BuildScene(const std::shared_ptr<TSprite>& root, const std::shared_ptr<TTexture>& texture,
                                     int count)
{
    std::vector<TSceneSprite> scene;
    TSceneRandom rnd;
    for (int i = 0; i < count; ++i) {
        TSceneSprite s;
        s.x = static_cast<float>(rnd.Next() * kWidth);
        s.y = static_cast<float>(rnd.Next() * kHeight);
        s.r = static_cast<float>(rnd.Next() * 6.2831853);
        s.dr = static_cast<float>((rnd.Next() - 0.5) * 0.1);
        s.sprite = TSprite::Create(0, texture);
        s.sprite->mSpec.alpha = static_cast<float>(0.5 + rnd.Next() * 0.5);
        root->AddChild(s.sprite);
        scene.push_back(s);
    }
    return scene;
}

void Animate(std::vector<TSceneSprite>& scene)
{
    for (TSceneSprite& s : scene) {
        s.r += s.dr;
        TMat3 m;
        m[2] = TVec3(s.x, s.y, 1);
        m.Rotate(s.r);
        s.sprite->mSpec.matrix = m;
    }
}

void DrawFrame(const std::shared_ptr<TSprite>& root, TGLContext* context)
{
    TRenderer* renderer = TRenderer::GetInstance();
    if (!renderer->BeginDraw(false))
        return;
    if (renderer->Begin2d()) {
        renderer->FillRect(TURect(0, 0, kWidth, kHeight), TColor(0, 0, 0, 1));
        root->Draw(TDrawSpec(), -1);
        renderer->End2d();
    }
    renderer->EndDraw(true);
    if (context)
        context->Swap();
}

struct TRunResult
{
    double fps = 0;
    double cpuMsPerFrame = 0;
};

// Frames of `frame` for the run's time after its warm-up.
TRunResult Run(const std::function<void()>& frame, const TSceneParams& params)
{
    for (int i = 0; i < params.warmup; ++i)
        frame();
    const double wall0 = WallSeconds();
    const double cpu0 = ThreadCpuSeconds();
    int frames = 0;
    while (WallSeconds() - wall0 < params.seconds) {
        frame();
        ++frames;
    }
    TRunResult r;
    r.fps = frames / (WallSeconds() - wall0);
    r.cpuMsPerFrame = 1000.0 * (ThreadCpuSeconds() - cpu0) / frames;
    return r;
}

// Runs that are compared take turns in short slices, so that load from elsewhere on the
// machine falls on each alike.
std::vector<TRunResult> RunInTurns(const std::vector<std::function<void()>>& frames, const TSceneParams& params)
{
    constexpr double kSlice = 0.25;
    std::vector<double> wall(frames.size()), cpu(frames.size());
    std::vector<int> count(frames.size());
    for (const auto& frame : frames)
        for (int i = 0; i < params.warmup; ++i)
            frame();
    for (double done = 0; done < params.seconds; done += kSlice) {
        for (size_t k = 0; k < frames.size(); ++k) {
            const double wall0 = WallSeconds();
            const double cpu0 = ThreadCpuSeconds();
            do {
                frames[k]();
                ++count[k];
            } while (WallSeconds() - wall0 < kSlice);
            wall[k] += WallSeconds() - wall0;
            cpu[k] += ThreadCpuSeconds() - cpu0;
        }
    }
    std::vector<TRunResult> results(frames.size());
    for (size_t k = 0; k < frames.size(); ++k) {
        results[k].fps = count[k] / wall[k];
        results[k].cpuMsPerFrame = 1000.0 * cpu[k] / count[k];
    }
    return results;
}

TRunResult RunScene(const std::shared_ptr<TSprite>& root, std::vector<TSceneSprite>& scene, TGLContext* context,
                    const TSceneParams& params)
{
    return Run(
        [&] {
            Animate(scene);
            DrawFrame(root, context);
        },
        params);
}

std::vector<TFloorQuad> FloorQuads(const std::vector<TSceneSprite>& scene)
{
    std::vector<TFloorQuad> quads;
    for (const TSceneSprite& s : scene)
        quads.push_back(TFloorQuad{s.x, s.y, s.r, s.sprite->mSpec.alpha});
    return quads;
}

void RunTextScene(TGLContext* context, double seconds, bool batching)
{
    FreshRenderer(&TGLDisplayHandler::Create, kWidth, kHeight);
    TGLDisplayHandler::GetInstance()->SetBatching(batching);
    TSceneParams params;
    params.seconds = seconds;
    TRunResult gl, cpu;
    int lines = 0;
    {
        TTextScene text(kWidth, kHeight);
        lines = text.LineCount();
        auto frame = [&](TGLContext* swapped) {
            TRenderer* renderer = TRenderer::GetInstance();
            if (!renderer->BeginDraw(false))
                return;
            if (renderer->Begin2d()) {
                renderer->FillRect(TURect(0, 0, kWidth, kHeight), TColor(0.1f, 0.1f, 0.15f, 1));
                text.Draw();
                renderer->End2d();
            }
            renderer->EndDraw(true);
            if (swapped)
                swapped->Swap();
        };
        gl = Run([&] { frame(context); }, params);
        FreshRenderer(MakeNullDisplayHandler, kWidth, kHeight);
        params.seconds = std::min(seconds, 1.0);
        cpu = Run([&] { frame(nullptr); }, params);
    }
    TRenderer::ShutDown();
    std::printf("\nwrapped rich text filling %d x %d (%d lines, built-in font)\n", kWidth, kHeight, lines);
    std::printf("%12s %18s %16s\n", "engine fps", "engine cpu ms/frm", "cpu outside GL");
    std::printf("%12.1f %18.3f %16.3f\n", gl.fps, gl.cpuMsPerFrame, cpu.cpuMsPerFrame);
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    std::vector<int> counts;
    double seconds = 3.0;
    bool peer = true;
    bool batching = true;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "-t" && i + 1 < argc)
            seconds = std::atof(argv[++i]);
        else if (std::string(argv[i]) == "-n")
            peer = false;
        else if (std::string(argv[i]) == "-u")
            batching = false;
        else if (std::atoi(argv[i]) > 0)
            counts.push_back(std::atoi(argv[i]));
    }
    if (counts.empty())
        counts = {500, 2000, 8000};

    char pattern[] = "/tmp/tv_bench_XXXXXX";
    if (!mkdtemp(pattern))
        return 1;
    const std::string root = pattern;
    std::filesystem::create_directories(root + "/assets");
    const std::string imagePath = root + "/assets/sprite.png";
    std::string error;
    if (!WritePngImage(imagePath, 32, 32, DiscPixels(), &error)) {
        std::fprintf(stderr, "bench_sprites: %s\n", error.c_str());
        return 1;
    }
    TFile::mResourceDir = root.c_str();
    TFile::ScanFolderForResources("assets", "");

    std::unique_ptr<TGLContext> context = TGLContext::Create(kWidth, kHeight);
    if (!context || !context->MakeCurrent()) {
        std::fprintf(stderr, "bench_sprites: no OpenGL context\n");
        return 1;
    }
    TRenderer::SetDisplayHandlerFactory(&TGLDisplayHandler::Create);
    TAssetManager manager;
    TAssetManager::SetInstance(&manager);

    std::printf("sprites at %d x %d, %s video driver, %.1f s per run%s\n", kWidth, kHeight, getenv("SDL_VIDEODRIVER"),
                seconds, batching ? "" : ", one GL draw per sprite");
    std::printf("%8s %12s %18s %16s %11s %12s %12s %12s\n", "N", "engine fps", "engine cpu ms/frm", "cpu outside GL",
                "floor fps", "engine/floor", "love fps", "engine/love");
    for (int count : counts) {
        TSceneParams params;
        params.count = count;
        params.seconds = seconds;

        FreshRenderer(&TGLDisplayHandler::Create, kWidth, kHeight);
        TGLDisplayHandler::GetInstance()->SetBatching(batching);
        std::shared_ptr<TTexture> texture = TTexture::Get("sprite.png", TTexture::kGetAlpha);
        if (!texture) {
            std::fprintf(stderr, "bench_sprites: the sprite image did not load\n");
            return 1;
        }
        auto sceneRoot = TSprite::Create(0, nullptr);
        sceneRoot->mSpec.blendMode = TRenderer::kBlendNormal;
        std::vector<TSceneSprite> scene = BuildScene(sceneRoot, texture, count);
        const auto* data = static_cast<TGLTextureData*>(texture->GetTextureData());
        TRunResult gl, floor;
        {
            TFloorScene floorScene(FloorQuads(scene), data->GetTextureName(),
                                   float(data->mWidth) / float(data->mSurfaceWidth),
                                   float(data->mHeight) / float(data->mSurfaceHeight), kWidth, kHeight);
            const std::vector<TRunResult> both = RunInTurns({[&] {
                                                                 Animate(scene);
                                                                 DrawFrame(sceneRoot, context.get());
                                                             },
                                                             [&] {
                                                                 floorScene.DrawFrame();
                                                                 context->Swap();
                                                             }},
                                                            params);
            gl = both[0];
            floor = both[1];
        }

        FreshRenderer(MakeNullDisplayHandler, kWidth, kHeight);
        TSceneParams quick = params;
        quick.seconds = std::min(seconds, 1.0);
        const TRunResult cpu = RunScene(sceneRoot, scene, nullptr, quick);
        TRenderer::ShutDown();

        std::string note = "not run";
        const double love = peer ? RunLovePeer(params, imagePath, &note) : -1;
        if (love > 0)
            std::printf("%8d %12.1f %18.3f %16.3f %11.1f %12.2f %12.1f %12.2f\n", count, gl.fps, gl.cpuMsPerFrame,
                        cpu.cpuMsPerFrame, floor.fps, gl.fps / floor.fps, love, gl.fps / love);
        else
            std::printf("%8d %12.1f %18.3f %16.3f %11.1f %12.2f %12s %12s  (%s)\n", count, gl.fps, gl.cpuMsPerFrame,
                        cpu.cpuMsPerFrame, floor.fps, gl.fps / floor.fps, "-", "-", note.c_str());
        std::fflush(stdout);
        scene.clear();
        sceneRoot.reset();
        texture.reset();
        FreshRenderer(&TGLDisplayHandler::Create, kWidth, kHeight);
    }
    RunTextScene(context.get(), seconds, batching);
    TRenderer::ShutDown();
    TAssetManager::SetInstance(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
    return 0;
}
