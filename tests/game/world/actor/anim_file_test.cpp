// Animation files registered by name from the demo game's data folder.

#include "game/world/actor/anim_names.h"

#include "common/log_capture.h"
#include "game/world/demo_assets_gl_test.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using AnimFile = DemoAssetsGLTest;

TEST_F(AnimFile, TheAnimationsScriptNamesItsAnimationsAndAMissingFileIsLogged)
{
    tAnimNames names;
    ASSERT_TRUE(RegisterAnimFile(names, "anims/spinner.xml"));
    ASSERT_NE(names.FileOf("DoAnim"), nullptr);
    EXPECT_EQ(std::string(names.FileOf("DoAnim")->c_str()), "anims/spinner.xml");
    EXPECT_EQ(names.GetNames().size(), 1u);

    TLogCapture log;
    EXPECT_FALSE(RegisterAnimFile(names, "anims/nothere.xml"));
    EXPECT_NE(log.Text().find("tGirl::RegisterAnimFile(anims/nothere.xml) failed"), std::string::npos);
    EXPECT_EQ(names.GetNames().size(), 1u);
}

}  // namespace
