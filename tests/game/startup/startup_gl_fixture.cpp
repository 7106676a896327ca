#include "startup_gl_fixture.h"

#include "platform/sdl/gl_context.h"

#include <dlfcn.h>
#include <link.h>

namespace {

// The GL driver keeps allocations for the life of the process; keeping every library loaded
// until exit lets the leak checker see them as still reachable.
void PinLoadedLibraries()
{
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            if (info->dlpi_name && info->dlpi_name[0])
                dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
}

}  // namespace

bool EnsureStartupGLContext()
{
    static std::unique_ptr<TGLContext> context;
    if (!context) {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        context = TGLContext::Create(128, 64);
        if (!context)
            return false;
        PinLoadedLibraries();
    }
    return context->MakeCurrent();
}
