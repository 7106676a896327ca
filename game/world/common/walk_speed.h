#pragma once
// The player's walking pace as a multiplier of the actors' speed (1 + 2 x the walk-speed
// setting). The settings that hold it live above the world, so they install where it comes
// from; with nothing installed the pace is 1.
//   SetRangedWalkSpeedSource([] { return TSettings::GetInstance()->GetRangedWalkSpeed(); });

float RangedWalkSpeed();
// Null restores the pace of 1.
void SetRangedWalkSpeedSource(float (*source)());
