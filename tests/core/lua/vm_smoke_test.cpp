#include <gtest/gtest.h>

#include "core/lua/vm_test_util.h"

namespace {

class VmSmoke : public ::testing::Test {
 protected:
  void SetUp() override { L = vmtest::OpenState(); }
  void TearDown() override { lua_close(L); }
  lua_State* L = nullptr;
};

TEST_F(VmSmoke, ArithmeticAndLocals) {
  EXPECT_EQ(vmtest::Eval(L, "return 1 + 2 * 3"), "7");
  EXPECT_EQ(vmtest::Eval(L, "local a, b = 10, 4 return a - b / 2"), "8");
  EXPECT_EQ(vmtest::Eval(L, "return -2 * -3"), "6");
  EXPECT_EQ(vmtest::Eval(L, "return '10' + 5"), "15");
  EXPECT_EQ(vmtest::Eval(L, "return 'a' .. 1 .. 'b'"), "a1b");
}

}  // namespace
