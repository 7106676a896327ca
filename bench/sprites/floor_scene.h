#pragma once
// The floor under the sprite scene: the same quads, texture, colours and blending, prepared once
// in a vertex buffer and drawn in one call per frame with raw GL. No engine can be faster on the
// same driver, so engine/floor says how much of the frame the engine's own work costs. Like the
// engine on a single buffer, it lets at most three frames be in the making.

#include <cstdint>
#include <vector>

struct TFloorQuad
{
    float x, y, rotation, alpha;
};

class TFloorScene
{
public:
    // `texture` is a GL texture name whose image fills `u` × `v` of it; quads are 32 pixels square.
    TFloorScene(const std::vector<TFloorQuad>& quads, unsigned int texture, float u, float v, int width, int height);
    ~TFloorScene();
    TFloorScene(const TFloorScene&) = delete;
    TFloorScene& operator=(const TFloorScene&) = delete;

    void DrawFrame();

private:
    static constexpr int kFramesInFlight = 3;
    void* mFences[kFramesInFlight] = {};
    int mFenceIndex = 0;
    unsigned int mBuffer = 0;
    unsigned int mTexture = 0;
    int mVertexCount = 0;
    int mWidth = 0;
    int mHeight = 0;
};
