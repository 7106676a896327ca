// The world reads the player's walking pace through the hook the settings install.

#include "settings_fixture.h"

#include "game/world/common/walk_speed.h"

namespace {

using WalkSpeedSource = SettingsTest;

TEST_F(WalkSpeedSource, TheWorldSeesTheCurrentProfilesPaceWhileTheSettingsLive)
{
    TSettings* s = Make();
    s->CreateNewUser("ann");
    s->GetPrefs()->SetInt("walkspeed", 500, 0, false);
    EXPECT_FLOAT_EQ(RangedWalkSpeed(), 2.0f);
    TSettings::DeleteSettings();
    EXPECT_FLOAT_EQ(RangedWalkSpeed(), 1.0f);
}

}  // namespace
