#include "common/gl_test_context.h"

#include "platform/sdl/gl_context.h"
#include "render/gl/gl_display_handler.h"
#include "render/renderer/renderer.h"

#include <cstdlib>
#include <dlfcn.h>
#include <link.h>
#include <memory>

namespace {

// Keeps every library loaded so far (the GL driver among them) loaded until exit: the driver
// keeps allocations for the life of the process, and the leak checker then sees them as still
// reachable instead of as nameless leaks from unloaded code.
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

bool EnsureTestGLContext(int width, int height)
{
    static std::unique_ptr<TGLContext> context;
    if (!context) {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        context = TGLContext::Create(width, height);
        if (!context)
            return false;
        PinLoadedLibraries();
    }
    TRenderer::SetDisplayHandlerFactory(&TGLDisplayHandler::Create);
    return context->MakeCurrent();
}
