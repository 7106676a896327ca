// What the walk-mesh and path overlays ask the renderer to draw.

#include "game/world/overlay/mesh_overlay.h"

#include <gtest/gtest.h>

#include "game/world/mesh_fixture.h"
#include "game/world/path/path_search.h"
#include "recording_display_handler.h"
#include "render/renderer/renderer.h"

namespace {

using V = tVector2<float>;

// Keeps the vertices and rectangles as well as the call names.
class TCapturingHandler : public TRecordingDisplayHandler
{
public:
    static TDisplayHandler* Make() { return new TCapturingHandler; }
    void DrawVertices(TRenderStates::EDrawType type, const TVertexSet& set) override
    {
        TRecordingDisplayHandler::DrawVertices(type, set);
        mTypes.push_back(type);
        mVertices.assign(set.GetVertices(), set.GetVertices() + set.GetCount());
    }
    void FillRect(int l, int t, int r, int b, const TColor& colour, std::shared_ptr<TTexture> target) override
    {
        TRecordingDisplayHandler::FillRect(l, t, r, b, colour, target);
        mRects.push_back({l, t, r, b});
        mColours.push_back(colour);
    }
    std::vector<int> mTypes;
    std::vector<TTransformedLitVert> mVertices;
    std::vector<std::vector<int>> mRects;
    std::vector<TColor> mColours;
};

class MeshOverlay : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TRenderer::ShutDown();
        TRenderer::SetDisplayHandlerFactory(&TCapturingHandler::Make);
        r = TRenderer::GetInstance();
        h = static_cast<TCapturingHandler*>(TRecordingDisplayHandler::sLast);
        h->mViewports = {{0, 0, 800, 600}};
        ASSERT_TRUE(r->BeginDraw(false));
        ASSERT_TRUE(r->Begin2d());
    }
    void TearDown() override
    {
        r->End2d();
        r->EndDraw(false);
        TRenderer::ShutDown();
        TRenderer::SetDisplayHandlerFactory(nullptr);
    }
    TRenderer* r = nullptr;
    TCapturingHandler* h = nullptr;
};

TEST_F(MeshOverlay, TrianglesByStateAndLabelledVerticesOnScreen)
{
    tMesh mesh = LoadMesh("vertex 5 5 a\nvertex -50 -50 off\nvertex 799 599 corner\n"
                          "tri 0,0 10,0 0,10 label=door\ntri 10,0 10,10 0,10\n");
    mesh.SetPolyState("door", false);
    mesh.Draw(V(100, 200));
    ASSERT_EQ(h->mTypes, std::vector<int>{TRenderStates::kTriangleList});
    ASSERT_EQ(h->mVertices.size(), 6u);
    EXPECT_EQ(h->mVertices[1].position.x, 110);
    EXPECT_EQ(h->mVertices[1].position.y, 200);
    EXPECT_EQ(uint32_t(h->mVertices[0].diffuse), uint32_t(TColor32(0, 0, 255, 128)));
    EXPECT_EQ(uint32_t(h->mVertices[3].diffuse), uint32_t(TColor32(255, 0, 255, 128)));
    // In name order: "a" at (105, 205), "corner" wholly off the screen, "off" brought on.
    const std::vector<std::vector<int>> rects = {{104, 204, 107, 207}, {49, 149, 52, 152}};
    EXPECT_EQ(h->mRects, rects);
    ASSERT_FALSE(h->mColours.empty());
    EXPECT_EQ(h->mColours[0], TColor(0, 1, 0, 1));

    h->mRects.clear();
    mesh.Draw(V(0, 0));
    // "corner" cut at the screen's edge, "off" wholly off it.
    const std::vector<std::vector<int>> unshifted = {{4, 4, 7, 7}, {798, 598, 800, 600}};
    EXPECT_EQ(h->mRects, unshifted);
}

TEST_F(MeshOverlay, PathAsALineStripAndItsTarget)
{
    const tMesh mesh = LoadMesh("tri 0,0 100,0 0,100\n");
    V next;
    ASSERT_TRUE(ComputePathToTargetB(mesh, V(10, 10), V(40, 20), 0, &next));
    DrawPath(V(5, 5));
    ASSERT_EQ(h->mTypes, std::vector<int>{TRenderStates::kLineStrip});
    ASSERT_EQ(h->mVertices.size(), 2u);
    EXPECT_EQ(h->mVertices[0].position.x, 35);
    EXPECT_EQ(h->mVertices[1].position.y, 5);
    EXPECT_EQ(uint32_t(h->mVertices[0].diffuse), uint32_t(TColor32(255, 0, 0, 255)));
    const std::vector<std::vector<int>> target = {{34, 14, 36, 16}};
    EXPECT_EQ(h->mRects, target);
}

}  // namespace
