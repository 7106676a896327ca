#include "particle_test_support.h"

#include "common/gl_test_context.h"
#include "core/files/file.h"
#include "particles/machine/lua_particle_system.h"
#include "particles/machine/particle_functions.h"
#include "render/gl/gl_display_handler.h"
#include "render/renderer/renderer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

// The GL driver keeps allocations of its own for the life of the process.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:swrast_dri.so\nleak:libEGL_mesa.so\nleak:libGLX_mesa.so\nleak:libLLVM\nleak:libglapi.so\n"
           "leak:libgallium\n";
}

namespace {

std::string Number(float v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(v));
    return text;
}

}  // namespace

std::string StreamText(const std::vector<PInstruction>& stream)
{
    std::ostringstream out;
    for (const PInstruction& ins : stream) {
        if (out.tellp() > 0)
            out << " ";
        const TParticleFunction* f = ins.mFunction.get();
        if (f->IsKindOf(FGetParticleParam::ClassId())) {
            const auto* get = static_cast<const FGetParticleParam*>(f);
            out << "Get(" << get->mBase << "," << get->mSize << ")";
            continue;
        }
        if (f->IsKindOf(FPush<float>::ClassId()))
            out << "Push(" << Number(static_cast<const FPush<float>*>(f)->mValue[0]) << ")";
        else if (f->IsKindOf(FPush<TVec2>::ClassId()))
            out << "Push2";
        else if (f->IsKindOf(FPush<TVec3>::ClassId()))
            out << "Push3";
        else if (f->IsKindOf(FPush<TVec4>::ClassId()))
            out << "Push4";
        else
            out << f->GetTypeName();
        if (ins.mArgCount > 0) {
            out << "/" << int(ins.mArgCount) << "[";
            for (int i = 0; i < ins.mArgCount; ++i)
                out << (i ? "," : "") << int(ins.GetArgSizes()[i]);
            out << "]";
        }
    }
    return out.str();
}

TFailureRecorder::TFailureRecorder() : mPrevious(TLuaParticleSystem::mFailureHandler)
{
    TLuaParticleSystem::mFailureHandler = this;
}

TFailureRecorder::~TFailureRecorder()
{
    TLuaParticleSystem::mFailureHandler = mPrevious;
}

void TFailureRecorder::Failure(const char* message, int line, const char* file)
{
    mMessages.push_back(message);
    mLines.push_back(line);
    mFiles.push_back(file);
}

TCapturingDisplayHandler* TCapturingDisplayHandler::sLast = nullptr;

TDisplayHandler* TCapturingDisplayHandler::Make()
{
    return new TCapturingDisplayHandler;
}

TCapturingDisplayHandler::~TCapturingDisplayHandler()
{
    if (sLast == this)
        sLast = nullptr;
}

void TCapturingDisplayHandler::DrawVertices(TRenderStates::EDrawType type, const TVertexSet& set)
{
    TCapturedDraw draw;
    draw.primitive = type;
    draw.vertices.assign(set.GetVertices(), set.GetVertices() + set.GetCount());
    mDraws.push_back(std::move(draw));
}

void TCapturingDisplayHandler::DrawIndexedVertices(TRenderStates::EDrawType type, const TVertexSet& set,
                                                   unsigned short* indices, int count)
{
    TCapturedDraw draw;
    draw.indexed = true;
    draw.primitive = type;
    draw.vertices.assign(set.GetVertices(), set.GetVertices() + set.GetCount());
    draw.indices.assign(indices, indices + count);
    mDraws.push_back(std::move(draw));
}

void TCapturingDisplayHandler::GetViewport(int* l, int* t, int* r, int* b)
{
    *l = 0;
    *t = 0;
    *r = 800;
    *b = 600;
}

TCapturingRenderer::TCapturingRenderer()
{
    TRenderer::ShutDown();
    TRenderer::SetDisplayHandlerFactory(&TCapturingDisplayHandler::Make);
    TRenderer* renderer = TRenderer::GetInstance();
    renderer->BeginDraw(false);
    renderer->Begin2d();
}

TCapturingRenderer::~TCapturingRenderer()
{
    TRenderer* renderer = TRenderer::GetInstance();
    renderer->End2d();
    renderer->EndDraw(false);
    TRenderer::ShutDown();
    TRenderer::SetDisplayHandlerFactory(&TGLDisplayHandler::Create);
}

bool EnsureParticleGLContext()
{
    return EnsureTestGLContext(256, 128);
}

TParticleTempAssets::TParticleTempAssets()
{
    char pattern[] = "/tmp/tv_particles_XXXXXX";
    const char* made = mkdtemp(pattern);
    mRoot = made ? made : "/tmp";
    std::filesystem::create_directories(mRoot + "/assets");
    TFile::mResourceMap.clear();
    TFile::mResourceDir = mRoot.c_str();
}

TParticleTempAssets::~TParticleTempAssets()
{
    TFile::mResourceMap.clear();
    TFile::mResourceDir = str();
    std::error_code ignored;
    std::filesystem::remove_all(mRoot, ignored);
}

std::string TParticleTempAssets::Folder(const std::string& name) const
{
    const std::string path = mRoot + "/assets/" + name;
    std::filesystem::create_directories(path);
    return path;
}

void TParticleTempAssets::Write(const std::string& name, const std::string& text) const
{
    const std::filesystem::path path = mRoot + "/assets/" + name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << text;
    Scan();
}

void TParticleTempAssets::Scan() const
{
    TFile::mResourceMap.clear();
    TFile::ScanFolderForResources("assets", "");
}
