#pragma once
// While it lives, drawing is clipped to the whole 800 × 600 screen instead of the window, for
// pictures and speech that reach past the edges of the window drawing them.
//   { tPreventClipping clip; text->Draw(box, 1, 0, 1, nullptr); }

class tPreventClipping
{
public:
    tPreventClipping();
    ~tPreventClipping();
    tPreventClipping(const tPreventClipping&) = delete;
    tPreventClipping& operator=(const tPreventClipping&) = delete;
};
