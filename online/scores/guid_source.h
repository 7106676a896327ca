#pragma once
// Where new score ids come from: 32 lower-case hexadecimal digits, unique per score.

#include "core/text/str.h"

using TGuidSource = str (*)();

str NewScoreGuid();
// Replaces the generator (tests use a predictable one); null restores the default.
void SetGuidSource(TGuidSource source);
