#pragma once
// One glide step of a point toward a target: at most maxStep long, and a shorter remaining
// distance is covered exactly, so the last step lands on the target.

// False (nothing moved) when the point is already on the target.
bool StepToward(float& x, float& y, float targetX, float targetY, float maxStep);
