// bench_scene: the demo's garden from the build's assembled data folder. Reports its load
// cold (the run's first: pictures decoded, scripts compiled, image forms looked up) and warm
// (the same scene loaded again, as a change back to it does: the scene unloads first, so its
// pictures are read again, while compiled scripts and remembered forms stay), and one frame
// with all its actors (Mira walking round the pond, the gardener pottering, the gate, the
// door): the update, and its CPU time outside GL (update and drawing through a display handler
// that sends nothing to the GPU) beside the same frame drawn with GL.
//   bench_scene [frames]

#include "bench/common/fresh_renderer.h"
#include "bench/common/null_display_handler.h"
#include "core/files/asset.h"
#include "core/files/file.h"
#include "core/time/task.h"
#include "core/time/time_source.h"
#include "game/world/actor/girl.h"
#include "game/world/common/game_clock.h"
#include "game/world/scene/scene.h"
#include "game/world/scenelist/scene_list.h"
#include "platform/sdl/gl_context.h"
#include "render/anim/sprite_task_host.h"
#include "render/gl/gl_display_handler.h"
#include "render/renderer/renderer.h"
#include "sound/sources/ogg_data_source.h"
#include "sound/sources/speex_data_source.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr uint32_t kFrameMs = 16;

uint32_t gNow = 1000;
TTaskList gSpriteTasks;

double ThreadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) * 1e-6;
}

double WallMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void Update(tScene& scene)
{
    gNow += kFrameMs;
    gSpriteTasks.DoAll(TTask::kIdleContext);
    scene.Update();
    scene.UpdateMouseCursor();
}

void Draw(tScene& scene, TGLContext* context)
{
    TRenderer* renderer = TRenderer::GetInstance();
    if (!renderer->BeginDraw(false))
        return;
    if (renderer->Begin2d()) {
        scene.Draw();
        scene.DrawOverHud();
        renderer->End2d();
    }
    renderer->EndDraw(true);
    if (context)
        context->Swap();
}

struct TTiming
{
    double wallMs = 0;  // per frame
    double cpuMs = 0;
};

TTiming Time(int frames, const std::function<void()>& frame)
{
    const double wall0 = WallMs(), cpu0 = ThreadCpuMs();
    for (int i = 0; i < frames; ++i)
        frame();
    return {(WallMs() - wall0) / frames, (ThreadCpuMs() - cpu0) / frames};
}

int gWalks = 0;

// Mira crosses the pond's side of the lawn and back, so that she walks in every frame.
void KeepMiraWalking(tScene& scene)
{
    tGirl* mira = scene.GetActorByName("NELKA");
    if (!mira || !mira->AtTarget() || mira->GetMode() != MODE_FOLLOWCLICKS)
        return;
    ++gWalks;
    const tVector2<float> camera = scene.GetCameraPosition();
    const tVector2<float> target = mira->GetPosition().y < 480 ? tVector2<float>(790, 560) : tVector2<float>(830, 395);
    scene.OnMouseDown(TPoint(int(target.x - camera.x), int(target.y - camera.y)));
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    const int frames = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : 2000;

    TFile::mResourceDir = TV_ASSETS_RESOURCE_DIR;
    TFile::ScanForResources();
    std::unique_ptr<TGLContext> context = TGLContext::Create(kWidth, kHeight);
    if (!context || !context->MakeCurrent()) {
        std::fprintf(stderr, "bench_scene: no OpenGL context\n");
        return 1;
    }
    TAssetManager manager;
    TAssetManager::SetInstance(&manager);
    FreshRenderer(&TGLDisplayHandler::Create, kWidth, kHeight);
    TOggDataSource::Register();
    TSpeexDataSource::Register();
    SetTimeSource([] { return gNow; });
    SetSpriteTaskList(&gSpriteTasks);
    GameClockStart();
    InitializeSceneNames();
    TheScene() = new tScene;
    tScene& scene = *TheScene();

    double wall0 = WallMs();
    if (!scene.LoadSceneByName("garden", false)) {
        std::fprintf(stderr, "bench_scene: the garden did not load\n");
        return 1;
    }
    const double cold = WallMs() - wall0;
    std::vector<double> warm;
    for (int i = 0; i < 10; ++i) {
        wall0 = WallMs();
        scene.LoadSceneByName("garden", false);
        warm.push_back(WallMs() - wall0);
    }
    std::sort(warm.begin(), warm.end());

    // The fade in, then Mira is the player's.
    for (int i = 0; i < 120; ++i) {
        Update(scene);
        Draw(scene, context.get());
    }
    auto frame = [&](TGLContext* swapped) {
        KeepMiraWalking(scene);
        Update(scene);
        Draw(scene, swapped);
    };
    const TTiming gl = Time(frames, [&] { frame(context.get()); });
    FreshRenderer(MakeNullDisplayHandler, kWidth, kHeight);
    const TTiming outside = Time(frames, [&] { frame(nullptr); });
    const TTiming update = Time(frames, [&] {
        KeepMiraWalking(scene);
        Update(scene);
    });
    int actors = 0;
    for (const auto& actor : scene.GetActors())
        actors += actor != nullptr;

    std::printf("garden (%d x %d, %d actors), %s video driver\n", scene.GetSceneBounds().right,
                scene.GetSceneBounds().bottom, actors, getenv("SDL_VIDEODRIVER"));
    std::printf("load cold %8.2f ms\n", cold);
    std::printf("load warm %8.2f ms (median of %zu; best %.2f)\n", warm[warm.size() / 2], warm.size(), warm.front());
    std::printf("one frame, timed over %d (Mira sent on %d walks in all):\n", frames, gWalks);
    std::printf("  with GL            %8.3f ms wall, %8.3f ms cpu\n", gl.wallMs, gl.cpuMs);
    std::printf("  cpu outside GL     %8.3f ms\n", outside.cpuMs);
    std::printf("  of it the update   %8.3f ms\n", update.cpuMs);

    delete TheScene();
    TheScene() = nullptr;
    gSpriteTasks.DestroyAll();
    SetSpriteTaskList(nullptr);
    TRenderer::ShutDown();
    TAssetManager::SetInstance(nullptr);
    SetTimeSource(nullptr);
    return 0;
}
