// Math library. It also installs the global __pow, through which the '^' operator works.
#include <cmath>
#include <cstdlib>

#include "lauxlib.h"
#include "lualib.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

template <double (*F)(double)>
int Unary(lua_State* L) {
  lua_pushnumber(L, F(luaL_checknumber(L, 1)));
  return 1;
}

double Abs(double x) { return std::fabs(x); }
double Sin(double x) { return std::sin(x); }
double Cos(double x) { return std::cos(x); }
double Tan(double x) { return std::tan(x); }
double Asin(double x) { return std::asin(x); }
double Acos(double x) { return std::acos(x); }
double Atan(double x) { return std::atan(x); }
double Ceil(double x) { return std::ceil(x); }
double Floor(double x) { return std::floor(x); }
double Sqrt(double x) { return std::sqrt(x); }
double Log(double x) { return std::log(x); }
double Log10(double x) { return std::log10(x); }
double Exp(double x) { return std::exp(x); }
double Deg(double x) { return x * (180.0 / kPi); }
double Rad(double x) { return x * (kPi / 180.0); }

int MathAtan2(lua_State* L) {
  lua_pushnumber(L, std::atan2(luaL_checknumber(L, 1), luaL_checknumber(L, 2)));
  return 1;
}

int MathMod(lua_State* L) {
  lua_pushnumber(L, std::fmod(luaL_checknumber(L, 1), luaL_checknumber(L, 2)));
  return 1;
}

int MathPow(lua_State* L) {
  lua_pushnumber(L, std::pow(luaL_checknumber(L, 1), luaL_checknumber(L, 2)));
  return 1;
}

int MathFrexp(lua_State* L) {
  int e;
  lua_pushnumber(L, std::frexp(luaL_checknumber(L, 1), &e));
  lua_pushnumber(L, e);
  return 2;
}

int MathLdexp(lua_State* L) {
  lua_pushnumber(L, std::ldexp(luaL_checknumber(L, 1), luaL_checkint(L, 2)));
  return 1;
}

template <bool kWantMax>
int MinMax(lua_State* L) {
  int n = lua_gettop(L);
  double best = luaL_checknumber(L, 1);
  for (int i = 2; i <= n; i++) {
    double d = luaL_checknumber(L, i);
    if (kWantMax ? d > best : d < best) best = d;
  }
  lua_pushnumber(L, best);
  return 1;
}

int MathRandom(lua_State* L) {
  // rand() % RAND_MAX keeps r strictly below 1
  double r = static_cast<double>(std::rand() % RAND_MAX) / static_cast<double>(RAND_MAX);
  switch (lua_gettop(L)) {
    case 0:
      lua_pushnumber(L, r);
      break;
    case 1: {
      int u = luaL_checkint(L, 1);
      luaL_argcheck(L, 1 <= u, 1, "interval is empty");
      lua_pushnumber(L, std::floor(r * u) + 1);
      break;
    }
    case 2: {
      int l = luaL_checkint(L, 1);
      int u = luaL_checkint(L, 2);
      luaL_argcheck(L, l <= u, 2, "interval is empty");
      lua_pushnumber(L, std::floor(r * (static_cast<double>(u) - l + 1)) + l);
      break;
    }
    default:
      return luaL_error(L, "wrong number of arguments");
  }
  return 1;
}

int MathRandomSeed(lua_State* L) {
  std::srand(static_cast<unsigned>(luaL_checkint(L, 1)));
  return 0;
}

const luaL_reg kMathFuncs[] = {
    {"abs", Unary<Abs>},
    {"sin", Unary<Sin>},
    {"cos", Unary<Cos>},
    {"tan", Unary<Tan>},
    {"asin", Unary<Asin>},
    {"acos", Unary<Acos>},
    {"atan", Unary<Atan>},
    {"atan2", MathAtan2},
    {"ceil", Unary<Ceil>},
    {"floor", Unary<Floor>},
    {"mod", MathMod},
    {"frexp", MathFrexp},
    {"ldexp", MathLdexp},
    {"sqrt", Unary<Sqrt>},
    {"min", MinMax<false>},
    {"max", MinMax<true>},
    {"log", Unary<Log>},
    {"log10", Unary<Log10>},
    {"exp", Unary<Exp>},
    {"deg", Unary<Deg>},
    {"rad", Unary<Rad>},
    {"pow", MathPow},
    {"random", MathRandom},
    {"randomseed", MathRandomSeed},
    {nullptr, nullptr},
};

}  // namespace

LUALIB_API int luaopen_math(lua_State* L) {
  luaL_openlib(L, LUA_MATHLIBNAME, kMathFuncs, 0);
  lua_pushliteral(L, "pi");
  lua_pushnumber(L, kPi);
  lua_settable(L, -3);
  lua_pushliteral(L, "__pow");  // the very function math.pow, so the two compare equal
  lua_pushliteral(L, "pow");
  lua_rawget(L, -3);
  lua_settable(L, LUA_GLOBALSINDEX);
  return 1;
}
