#pragma once
// While it lives, drawing is clipped to the whole 800 × 600 screen instead of the window, for
// windows whose pictures reach past their edges.

class tFullScreenClip
{
public:
    tFullScreenClip();
    ~tFullScreenClip();
    tFullScreenClip(const tFullScreenClip&) = delete;
    tFullScreenClip& operator=(const tFullScreenClip&) = delete;
};
