// Reads the input as a binary ".anm" animation description; one that loads must give frames
// whose lookups stay in range.

#include <cstddef>
#include <cstdint>

#include "core/files/file.h"
#include "render/anim/animated_texture.h"
#include "render/gl/gl_display_handler.h"
#include "render/renderer/renderer.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // An animation's frames are textures, and textures belong to the renderer's device; no
    // GL call is made until a frame is uploaded, which parsing never does.
    TRenderer::SetDisplayHandlerFactory(&TGLDisplayHandler::Create);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TFile::AddMemoryFile("fuzz/input.anm", data, static_cast<unsigned>(size));
    TAnimatedTexture anim("fuzz/input");
    if (anim.ParseFromANM("fuzz/input.anm")) {
        const int frames = anim.GetNumFrames();
        for (int i = -1; i <= frames; ++i) {
            anim.SetCurrentFrame(i);
            anim.GetFrameRect(i);
            anim.GetBoundingBox(i);
            anim.GetRegistrationPoint(i);
            if ((anim.GetFrame(i) != nullptr) != (i >= 0 && i < frames))
                __builtin_trap();
        }
        if (frames > 0)
            anim.GetFrameByName(anim.GetFrame(0)->name);
    }
    TFile::AddMemoryFile("fuzz/input.anm", nullptr, 0);
    return 0;
}
