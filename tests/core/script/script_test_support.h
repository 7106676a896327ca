#pragma once
// Shared set-up of the script host tests: a private asset folder for script files, a fake
// clock for tasks, and capture of the debug log.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include <lua.h>

#include "core/time/time_source.h"
#include "tests/core/files/file_test_fixture.h"

inline uint32_t gScriptTestNow = 1000;

class ScriptTest : public FileLayerTest
{
protected:
    void SetUp() override
    {
        FileLayerTest::SetUp();
        gScriptTestNow = 1000;
        SetTimeSource([] { return gScriptTestNow; });
    }

    void TearDown() override
    {
        SetTimeSource(nullptr);
        FileLayerTest::TearDown();
    }

    // Writes assets/<name> and makes the file layer see it. Script names are per test, since
    // compiled code is cached for the whole run.
    void PutScript(const std::string& name, const std::string& text)
    {
        Put("assets/" + name, text);
        TFile::ScanForResources();
    }

    // A name no other test uses.
    static std::string UniqueName(const char* stem)
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        return std::string("scripts/") + info->test_suite_name() + "_" + info->name() + "_" + stem + ".lua";
    }

    static void StartLog() { ::testing::internal::CaptureStderr(); }
    static std::string TakeLog() { return ::testing::internal::GetCapturedStderr(); }

    static double GlobalNumber(lua_State* L, const char* name)
    {
        lua_getglobal(L, name);
        double value = lua_tonumber(L, -1);
        lua_pop(L, 1);
        return value;
    }

    static std::string GlobalString(lua_State* L, const char* name)
    {
        lua_getglobal(L, name);
        const char* text = lua_tostring(L, -1);
        std::string value = text ? text : "<nil>";
        lua_pop(L, 1);
        return value;
    }
};
