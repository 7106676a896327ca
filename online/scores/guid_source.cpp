#include "online/scores/guid_source.h"

#include "core/system/identifiers.h"

namespace {
TGuidSource gSource = nullptr;
}  // namespace

str NewScoreGuid()
{
    return gSource ? gSource() : zvGenerateGUIDStr();
}

void SetGuidSource(TGuidSource source)
{
    gSource = source;
}
