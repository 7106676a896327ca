#pragma once
// The renderer's enumerations. Their values cross to the display handler and into scripts.
// TRenderer derives from this, so they are named TRenderer::kBlendNormal and so on.

struct TRenderStates
{
    enum EBlendMode
    {
        kBlendNormal = 0,
        kBlendOpaque = 1,
        kBlendAdditiveAlpha = 2,
        kBlendSubtractive = 3,
        kBlendMultiplicative = 4,
    };

    enum EDrawType
    {
        kPointList = 1,
        kLineList = 2,
        kLineStrip = 3,
        kTriangleList = 4,
        kTriangleStrip = 5,
        kTriangleFan = 6,
    };

    enum ECullMode
    {
        kCullNone = 1,
        kCullCW = 2,
        kCullCCW = 3,
    };

    enum ERenderTargetMode
    {
        kRenderTargetNormal = 0,
        kRenderTargetKeepAlpha = 1,
        kRenderTargetFromTexture = 2,
        kRenderTargetFromTextureKeepAlpha = 3,
        kRenderTargetAlphaMask = 4,
    };
};
