#pragma once
// The animation packer: frame images packed into one sheet, described in the XML form, the
// binary ".anm" form and a Lua animation script.
//   std::vector<TPackFrame> frames = ...;            // in playing order
//   TPackedAnimation packed;
//   if (PackAnimation(frames, options, &packed, &error)) WritePackedAnimation(packed, "out/", &error);

#include "render/anim/animated_texture.h"

#include <cstdint>
#include <string>
#include <vector>

// Largest sheet side the engine loads without the "slow" option.
constexpr int kMaxSheetSide = 1024;

struct TPackFrame
{
    std::string name;
    int width = 0;
    int height = 0;
    // 0xAARRGGBB, rows top-down.
    std::vector<uint32_t> pixels;
    // A picture with a place on the screen (an atlas piece): its registration point is minus
    // that place, so drawn at (0, 0) it lands where it belongs. Overrides the options' point.
    bool placed = false;
    int placeX = 0;
    int placeY = 0;
};

struct TPackOptions
{
    // Base name of every file written: <name>.png, .xml, .anm, .lua.
    std::string name;
    // Shown per frame by the default script.
    int delayMs = 60;
    // Registration point of every frame; the centre of the bottom edge when not given.
    bool hasRegistration = false;
    int regX = 0;
    int regY = 0;
    // Script text; empty makes DoAnim, which shows the frames once in order.
    std::string script;
};

struct TPackedAnimation
{
    TAnimDescription description;
    int sheetWidth = 0;
    int sheetHeight = 0;
    std::vector<uint32_t> sheet;
};

bool PackAnimation(const std::vector<TPackFrame>& frames, const TPackOptions& options, TPackedAnimation* out,
                   std::string* error);

// The two description forms as bytes.
std::string AnimationXml(const TAnimDescription& description);
std::vector<char> AnimationAnm(const TAnimDescription& description);

// Writes <name>.png, <name>.xml, <name>.anm and <name>.lua into `folder` (which ends in "/" or
// is empty): all four or none.
bool WritePackedAnimation(const TPackedAnimation& packed, const std::string& folder, std::string* error);

// PNG files of the frames and the sheet.
bool ReadPngFrame(const std::string& path, TPackFrame* frame, std::string* error);
bool WritePngImage(const std::string& path, int width, int height, const std::vector<uint32_t>& pixels,
                   std::string* error);
