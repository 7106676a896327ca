#pragma once
// A generated picture: a canvas size and the shapes drawn on it, in order.
//
// Description (one command per line; "size" first; colours #RRGGBB or #RRGGBBAA):
//   size 128 48                        canvas width and height (1 to 2048)
//   fill #00000000                     every pixel becomes the colour (no blending)
//   rect X Y W H COLOUR                filled rectangle
//   frame X Y W H T COLOUR             outline T pixels thick, inside the rectangle
//   roundrect X Y W H R COLOUR         filled, corners of radius R
//   roundframe X Y W H R T COLOUR      outline of a rounded rectangle
//   circle CX CY R COLOUR              filled disc
//   ring CX CY R T COLOUR              outline of a disc
//   gradient X Y W H FROM TO [vertical|horizontal]
//                                      filled with FROM at the top (left) blending to TO
// Shapes blend over what is below them by their alpha; edges are smoothed.
// For animation frames any number may be written "a~b~c": drawn as frame I of N it takes the
// value at I/N along evenly spaced keys, so "0~10~0" rises and falls back for a clean loop.

#include <cstdint>
#include <string>
#include <vector>

struct TRgba
{
    double r = 0, g = 0, b = 0, a = 0;  // 0 to 1, not premultiplied
};

enum class EShape
{
    kFill,
    kRect,
    kFrame,
    kRoundRect,
    kRoundFrame,
    kCircle,
    kRing,
    kGradient,
};

struct TShape
{
    EShape kind = EShape::kRect;
    double x = 0, y = 0, w = 0, h = 0;  // circles: x, y the centre
    double radius = 0;
    double thickness = 0;
    TRgba colour;
    TRgba colourTo;  // gradients
    bool horizontal = false;
};

struct TImageDescription
{
    int width = 0;
    int height = 0;
    std::vector<TShape> shapes;
};

constexpr int kMaxImageGenSide = 2048;

// Parses `text` for frame `frame` of `frameCount` (0 of 1 for a still picture). False with
// "<source>:<line>: <what>" in *error on the first fault.
bool ParseImageDescription(const std::string& sourceName, const std::string& text, int frame, int frameCount,
                           TImageDescription* out, std::string* error);
