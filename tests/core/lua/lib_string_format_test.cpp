// string.format's own integer and fixed-point conversions must print what printf prints.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/lua/lib_support.h"
#include "lib_runner.h"

namespace {

using tv_lua_test::LibState;

// Values that round in every way: ties in binary, near-ties, signs, zeros, sizes from tiny to
// past 2^53, and what is not finite.
std::vector<double> Values() {
  std::vector<double> v = {0.0, -0.0, 0.5, 1.5, 2.5, -2.5, 0.125, 0.375, 2.675, 1.005, -0.001, 0.0049999,
                           0.005, 9.995, 99.995, 1e15, -9e15, 9007199254740991.0, 9007199254740992.0,
                           1.8446744073709552e19, 1e22, 1e-300, 5e-324, 3.14159, 123456789.987654321,
                           INFINITY, -INFINITY, NAN, 4294967296.5, -2147483648.25};
  uint64_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    return seed >> 11;
  };
  for (int i = 0; i < 1500; i++) {
    double mant = static_cast<double>(next()) / 9007199254740992.0;  // [0, 1)
    int exp10 = static_cast<int>(next() % 30) - 12;
    double x = mant * std::pow(10.0, exp10);
    v.push_back(next() % 2 ? -x : x);
  }
  for (int i = 0; i < 300; i++) v.push_back(static_cast<double>(next() % 100000) / 1024.0);  // exact ties
  return v;
}

TEST(LibStringFormat, NumbersPrintAsPrintfPrintsThem) {
  const std::vector<std::string> formats = {"%f", "%.0f", "%.1f", "%.2f", "%5.2f", "%.3f", "%10.4f",
                                            "%.9f", "%.10f", "%05.1f", "%d", "%5d", "%i", "%-5d", "%.3d"};
  std::vector<double> values = Values();
  LibState s;
  lua_State* L = s.get();
  lua_newtable(L);
  for (size_t i = 0; i < values.size(); i++) {
    lua_pushnumber(L, values[i]);
    lua_rawseti(L, -2, static_cast<int>(i + 1));
  }
  lua_setglobal(L, "vals");
  for (const std::string& f : formats) {
    bool integer = f.back() == 'd' || f.back() == 'i';
    std::string mine = s.Run("local t = {} for i = 1, table.getn(vals) do t[i] = string.format('" + f +
                             "', vals[i]) end return table.concat(t, '|')");
    std::string want;
    std::string cf = integer ? f.substr(0, f.size() - 1) + "ll" + f.back() : f;
    for (size_t i = 0; i < values.size(); i++) {
      char buf[600];
      if (integer) std::snprintf(buf, sizeof buf, cf.c_str(), tv_lua::NumberToInteger(values[i]));
      else std::snprintf(buf, sizeof buf, cf.c_str(), values[i]);
      want += (i ? "|" : "") + std::string(buf);
    }
    EXPECT_EQ(mine, want) << f;
  }
}

}  // namespace
