#include "game/interface/cursor/cursor_manager.h"

#include <cmath>

#include "core/files/file.h"
#include "core/platform/platform.h"
#include "core/time/task.h"
#include "game/interface/windows/df_button.h"
#include "game/script/best_ref.h"
#include "game/script/df_log.h"
#include "game/world/scenelist/scene_list.h"
#include "render/anim/animated_texture.h"

namespace {

TPoint RoundedHotspot(const tCursorDef& def)
{
    return TPoint(int(std::lround(def.hotX)), int(std::lround(def.hotY)));
}

// An animation of several frames, or null: a still picture is no animation.
std::shared_ptr<TAnimatedTexture> FramesOf(const str& anim)
{
    if (anim.empty() || (!TFile::Exists(anim + ".xml") && !TFile::Exists(anim + ".anm")))
        return nullptr;
    std::shared_ptr<TAnimatedTexture> frames = BestAnimatedRef(anim);
    return frames && frames->GetNumFrames() > 1 ? frames : nullptr;
}

}  // namespace

tCursorManager::tCursorManager() = default;

tCursorManager::~tCursorManager()
{
    StopFrames();
}

void tCursorManager::AddCursorDef(const str& name, const str& anim, const str& image, const tVector2<float>& hotspot)
{
    tEntry entry;
    entry.def.anim = anim;
    entry.def.cursor = image;
    entry.def.hotX = hotspot.x;
    entry.def.hotY = hotspot.y;
    mDefs[name] = std::move(entry);
}

void tCursorManager::AddCursorDefIfMissing(const str& name, const tCursorDef& def)
{
    if (!HasCursorDef(name))
        AddCursorDef(name, def.anim, def.cursor, tVector2<float>(def.hotX, def.hotY));
}

bool tCursorManager::HasCursorDef(const str& name) const
{
    return mDefs.count(name) != 0;
}

void tCursorManager::ActivateCursor(const str& name)
{
    if (name == mActive)
        return;
    mActive = name;
    auto it = mDefs.find(name);
    if (it == mDefs.end()) {
        LOGIT("Failed to ActivateCursor(%s)\n", name.c_str());
        return;
    }
    ActivateCursorDef(it->second);
}

void tCursorManager::ActivateCursorDef(tEntry& entry)
{
    if (!entry.resolved) {
        entry.resolved = true;
        entry.frames = FramesOf(entry.def.anim);
        if (!entry.frames)
            entry.anim = BestRef(entry.def.anim, "");
        entry.image = BestRef(entry.def.cursor, "?simple");
    }
    const TPoint hotspot = RoundedHotspot(entry.def);
    if (entry.frames) {
        StartFrames(entry.frames, hotspot);
        return;
    }
    StopFrames();
    SetCursor(entry.image, hotspot, false);
    SetCursor(entry.anim, hotspot, true);
}

bool tCursorManager::IsAnimating() const
{
    return mFrames != nullptr;
}

void tCursorManager::SetCursorSetter(tCursorSetter setter)
{
    mSetter = std::move(setter);
}

void tCursorManager::SetTaskList(TTaskList* list)
{
    StopFrames();
    mTaskList = list;
}

void tCursorManager::ReleaseTextures()
{
    StopFrames();
    for (auto& [name, entry] : mDefs) {
        entry.resolved = false;
        entry.anim = entry.image = nullptr;
        entry.frames = nullptr;
    }
}

void tCursorManager::SetCursor(std::shared_ptr<TTexture> texture, TPoint hotspot, bool animated)
{
    if (mSetter) {
        mSetter(std::move(texture), hotspot, animated);
        return;
    }
    if (TPlatform* platform = TPlatform::GetInstance())
        platform->SetCursor(std::move(texture), hotspot, animated);
}

void tCursorManager::StartFrames(const std::shared_ptr<TAnimatedTexture>& frames, TPoint hotspot)
{
    StopFrames();
    mFrames = frames;
    mFramesHotspot = hotspot;
    mFrames->SetCurrentFrame(0);
    SetCursor(mFrames, hotspot, false);
    TTaskList* list = mTaskList;
    if (!list)
        if (TPlatform* platform = TPlatform::GetInstance())
            list = platform->GetTaskList();
    if (!list)
        return;
    mFrameTask.SetDelay(kFrameDelay, true, true, false);
    list->AdoptTask(&mFrameTask);
    mAdoptedBy = list;
}

void tCursorManager::StopFrames()
{
    if (mAdoptedBy)
        mAdoptedBy->OrphanTask(&mFrameTask);
    mAdoptedBy = nullptr;
    mFrames = nullptr;
}

void tCursorManager::StepFrame()
{
    if (!mFrames)
        return;
    mFrames->SetCurrentFrame((mFrames->GetCurrentFrame() + 1) % mFrames->GetNumFrames());
    SetCursor(mFrames, mFramesHotspot, false);
}

bool tCursorManager::tFrameTask::Animate()
{
    mOwner.StepFrame();
    // The manager owns the task: it stays in its list until the manager orphans it.
    return true;
}

tCursorManager& CursorManager()
{
    static tCursorManager manager;
    return manager;
}

void InstallCursorManager()
{
    tSceneListReaders readers;
    readers.addCursor = [](const str& name, const str& anim, const str& image, float x, float y) {
        CursorManager().AddCursorDef(name, anim, image, tVector2<float>(x, y));
    };
    SetSceneListReaders(std::move(readers));
    ButtonCursorActivator() = [](const str& name) { CursorManager().ActivateCursor(name); };
}
