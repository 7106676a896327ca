// Animation scripts and their coroutines are stopped like every host script when they hold the
// main thread while the program is asked to close.
#include "core/script/script_interrupt.h"
#include "render/anim/sprite_script.h"

#include <gtest/gtest.h>

namespace {

TEST(SpriteScriptInterrupt, StateAndCoroutineMadeBeforeArmingAreStopped)
{
    TSpriteScript* script = TSpriteScript::NewScript(nullptr, {});
    ASSERT_NE(script, nullptr);
    TSpriteScript* thread = script->NewThread();
    SetScriptInterruptCheck([] { return true; });
    ArmScriptInterrupt();
    testing::internal::CaptureStderr();
    EXPECT_NE(thread->DoLuaString("while true do end", -1, 0, "spinning thread"), 0);
    EXPECT_NE(script->DoLuaString("while true do end", -1, 0, "spinning state"), 0);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("script spinning thread stopped"), std::string::npos) << log;
    EXPECT_NE(log.find("script spinning state stopped"), std::string::npos) << log;
    DisarmScriptInterrupt();
    SetScriptInterruptCheck(nullptr);
    TSpriteScript::Dispose(thread);
    TSpriteScript::Dispose(script);
}

}  // namespace
