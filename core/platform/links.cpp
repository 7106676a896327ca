#include "core/platform/render_link.h"
#include "core/platform/sound_link.h"
#include "core/platform/window_system_link.h"

namespace {

template <class Link>
struct TInstalled
{
    Link fallback;
    Link* current = nullptr;
    Link& Get() { return current ? *current : fallback; }
};

TInstalled<TSoundLink>& Sound()
{
    static TInstalled<TSoundLink> s;
    return s;
}
TInstalled<TRenderLink>& Render()
{
    static TInstalled<TRenderLink> s;
    return s;
}
TInstalled<TWindowSystemLink>& WindowSystem()
{
    static TInstalled<TWindowSystemLink> s;
    return s;
}

}  // namespace

TSoundLink& GetSoundLink()
{
    return Sound().Get();
}
void SetSoundLink(TSoundLink* link)
{
    Sound().current = link;
}
TRenderLink& GetRenderLink()
{
    return Render().Get();
}
void SetRenderLink(TRenderLink* link)
{
    Render().current = link;
}
TWindowSystemLink& GetWindowSystemLink()
{
    return WindowSystem().Get();
}
void SetWindowSystemLink(TWindowSystemLink* link)
{
    WindowSystem().current = link;
}
