#pragma once
// The program's named mouse cursors. The scene list defines them at start-up, the scene and
// the buttons pick one by name, and an item in use adds its own. Each definition names a
// cursor image (".sw", the software cursor) and an animation (".hw"); the platform shows the
// image, and the animation where hardware cursors are on. An animation of several frames
// (an animated texture) has no hardware form here: its frames become the software cursor,
// one every kFrameDelay milliseconds.
//   CursorManager().AddCursorDef("cursor", "cursors/arrow.hw", "cursors/arrow.sw", {1, 1});
//   CursorManager().ActivateCursor("cursor");

#include <functional>
#include <map>
#include <memory>

#include "core/math/rect.h"
#include "core/text/str.h"
#include "core/time/anim_task.h"
#include "game/world/common/world_scene.h"
#include "game/world/geometry/vector2.h"

class TAnimatedTexture;
class TTaskList;
class TTexture;

class tCursorManager
{
public:
    static constexpr uint32_t kFrameDelay = 100;

    // Where cursors go: the platform's SetCursor by default.
    using tCursorSetter = std::function<void(std::shared_ptr<TTexture>, TPoint hotspot, bool animated)>;

    tCursorManager();
    ~tCursorManager();
    tCursorManager(const tCursorManager&) = delete;
    tCursorManager& operator=(const tCursorManager&) = delete;

    // Replaces a definition of the same name; its textures are resolved again on next use.
    void AddCursorDef(const str& name, const str& anim, const str& image, const tVector2<float>& hotspot);
    void AddCursorDefIfMissing(const str& name, const tCursorDef& def);
    bool HasCursorDef(const str& name) const;
    // Nothing when `name` is already active. An undefined name is logged and still becomes
    // the active name, so asking for it again stays quiet.
    void ActivateCursor(const str& name);
    const str& GetActiveCursor() const { return mActive; }
    // Whether the software cursor is stepping through an animation's frames.
    bool IsAnimating() const;

    void SetCursorSetter(tCursorSetter setter);
    // The list that runs the frame task; null is the platform's list.
    void SetTaskList(TTaskList* list);
    // Drops every resolved texture and stops the animation (before the renderer goes).
    void ReleaseTextures();

private:
    struct tEntry
    {
        tCursorDef def;
        bool resolved = false;
        std::shared_ptr<TTexture> anim;
        std::shared_ptr<TTexture> image;
        std::shared_ptr<TAnimatedTexture> frames;  // set when the animation has several frames
    };

    class tFrameTask : public TAnimTask
    {
    public:
        explicit tFrameTask(tCursorManager& owner) : mOwner(owner) {}
        bool Animate() override;

    private:
        tCursorManager& mOwner;
    };

    void ActivateCursorDef(tEntry& entry);
    void StartFrames(const std::shared_ptr<TAnimatedTexture>& frames, TPoint hotspot);
    void StopFrames();
    void StepFrame();
    void SetCursor(std::shared_ptr<TTexture> texture, TPoint hotspot, bool animated);

    str mActive;
    std::map<str, tEntry> mDefs;
    tCursorSetter mSetter;
    TTaskList* mTaskList = nullptr;
    TTaskList* mAdoptedBy = nullptr;
    tFrameTask mFrameTask{*this};
    std::shared_ptr<TAnimatedTexture> mFrames;
    TPoint mFramesHotspot{0, 0};
};

// The one manager of the program.
tCursorManager& CursorManager();

// Hands the scene list's cursors and the buttons' cursor requests to CursorManager().
void InstallCursorManager();
