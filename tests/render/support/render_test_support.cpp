#include "render_test_support.h"

#include "common/gl_test_context.h"
#include "core/files/asset.h"
#include "core/files/file.h"
#include "render/gl/gl_display_handler.h"
#include "render/renderer/render_platform.h"
#include "render/renderer/renderer.h"
#include "render/texture/texture.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace {

TAssetManager* gTestManager = nullptr;

}  // namespace

bool EnsureGLContext()
{
    return EnsureTestGLContext(kTestDisplayWidth, kTestDisplayHeight);
}

void UseGLDisplayHandler()
{
    TRenderer::SetDisplayHandlerFactory(&TGLDisplayHandler::Create);
}

void GLTest::SetUp()
{
    ASSERT_TRUE(EnsureGLContext()) << "no OpenGL context";
    SetRenderPlatform(nullptr);
    gTestManager = new TAssetManager;
    TAssetManager::SetInstance(gTestManager);
    TRenderer::ShutDown();
    TRenderer* renderer = TRenderer::GetInstance();
    ASSERT_NE(TGLDisplayHandler::GetInstance(), nullptr);
    TGLDisplayHandler::GetInstance()->SetDisplay(kTestDisplayWidth, kTestDisplayHeight, false, false, false, false);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    renderer->PushClippingRectangle(TURect(0, 0, kTestDisplayWidth, kTestDisplayHeight));
}

void GLTest::TearDown()
{
    TRenderer::ShutDown();
    SetRenderPlatform(nullptr);
    TAssetManager::SetInstance(nullptr);
    delete gTestManager;
    gTestManager = nullptr;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

uint32_t GLTest::ReadPixel(int x, int y)
{
    GLint fbo = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &fbo);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    uint32_t value = 0;
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(x, kTestDisplayHeight - 1 - y, 1, 1, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, &value);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(fbo));
    return value;
}

uint32_t TexturePixel(const std::shared_ptr<TTexture>& texture, int x, int y)
{
    TColor32* p = nullptr;
    unsigned pitch = 0;
    if (!texture || !texture->Lock(&p, &pitch))
        return 0xDEADBEEFu;
    return p[size_t(y) * pitch + x];
}

bool NearColor(uint32_t a, uint32_t b, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8) {
        const int ca = static_cast<int>((a >> shift) & 0xFF);
        const int cb = static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(ca - cb) > tolerance)
            return false;
    }
    return true;
}

TTempAssets::TTempAssets()
{
    char pattern[] = "/tmp/tv_render_XXXXXX";
    const char* made = mkdtemp(pattern);
    mRoot = made ? made : "/tmp";
    std::filesystem::create_directories(mRoot + "/assets");
    TFile::mResourceMap.clear();
    TFile::mResourceDir = mRoot.c_str();
}

TTempAssets::~TTempAssets()
{
    TFile::mResourceMap.clear();
    TFile::mResourceDir = str();
    std::error_code ignored;
    std::filesystem::remove_all(mRoot, ignored);
}

std::string TTempAssets::Path(const std::string& name) const
{
    const std::string path = mRoot + "/assets/" + name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    return path;
}

void TTempAssets::Scan() const
{
    TFile::mResourceMap.clear();
    TFile::ScanFolderForResources("assets", "");
}
