#include "game/world/actor/anim_names.h"

#include "common/log_capture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::string Names(const tAnimNames& names)
{
    std::vector<std::string> all;
    for (const auto& n : names.GetNames())
        all.push_back(std::string(n.name.c_str()) + "=" + n.file.c_str() + " ");
    std::sort(all.begin(), all.end());
    std::string out;
    for (const std::string& s : all)
        out += s;
    return out;
}

TEST(AnimNames, LaterFilesTakeOverNamesAndUnregisteringLeavesThem)
{
    tAnimNames names;
    ASSERT_TRUE(names.Register("anims/a.xml", "speed = 2 function DoWalkSE() end function DoStand() end"));
    EXPECT_EQ(Names(names), "DoStand=anims/a.xml DoWalkSE=anims/a.xml ");
    ASSERT_TRUE(names.Register("anims/b.xml", "function DoStand() end"));
    ASSERT_NE(names.FileOf("DoStand"), nullptr);
    EXPECT_EQ(std::string(names.FileOf("DoStand")->c_str()), "anims/b.xml");
    names.Unregister("anims/a.xml");
    EXPECT_EQ(Names(names), "DoStand=anims/b.xml ");
    EXPECT_EQ(names.FileOf("DoWalkSE"), nullptr);
}

TEST(AnimNames, ScriptsRunInABareState)
{
    const struct
    {
        const char* script;
        bool runs;
        const char* names;
    } cases[] = {
        {"if print == nil and string == nil and scene == nil and vtable == nil then function DoBare() end end", true,
         "DoBare=f "},
        {"function DoA() end print('loud')", false, ""},
        {"function DoA( end", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        TLogCapture log;
        tAnimNames names;
        EXPECT_EQ(names.Register("f", c.script), c.runs);
        EXPECT_EQ(Names(names), c.names);
        if (!c.runs) {
            EXPECT_NE(log.Text().find("Animation script of f failed"), std::string::npos);
        }
    }
}

}  // namespace
