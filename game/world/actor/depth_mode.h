#pragma once
// What an actor's depth mode does at once: the back-most and front-most modes fix the depth
// value; the modes that follow the ground are set each frame by movement.

// True for a known mode; sets *depthValue for the fixed ones. An unknown mode is logged (the
// caller stores it all the same).
bool ApplyDepthMode(int mode, int* depthValue);
