// vlua: runs a script file with the standard libraries, like the language's usual command.
//   vlua [script [args...]]     (no script or "-" reads the script from stdin)
// The script sees its arguments in the global table `arg`: arg[0] is the script, arg[1..n] the
// arguments, arg[-1] the interpreter, and arg.n the number of arguments.
#include <cstdio>
#include <cstring>

#include "lauxlib.h"
#include "lua.h"
#include "lualib.h"

namespace {

const char kProgName[] = "vlua";

void SetArgTable(lua_State* L, int argc, char** argv, int script) {
  lua_newtable(L);
  for (int i = 0; i < argc; i++) {
    lua_pushstring(L, argv[i]);
    lua_rawseti(L, -2, i - script);
  }
  lua_pushliteral(L, "n");
  lua_pushnumber(L, argc - script - 1);
  lua_rawset(L, -3);
  lua_setglobal(L, "arg");
}

int Report(lua_State* L, int status) {
  if (status == 0) return 0;
  const char* msg = lua_tostring(L, -1);
  std::fflush(stdout);
  std::fprintf(stderr, "%s: %s\n", kProgName, msg ? msg : "(error object is not a string)");
  std::fflush(stderr);
  lua_pop(L, 1);
  return 1;
}

struct MainArgs {
  int argc;
  char** argv;
  int status;
};

// Everything runs inside one protected C call, so hooks see the interpreter's own frame
// around the script, and an error while setting up is reported like one in the script.
int ProtectedMain(lua_State* L) {
  MainArgs* a = static_cast<MainArgs*>(lua_touserdata(L, 1));
  lua_pop(L, 1);
  luaL_openlibs(L);
  lua_settop(L, 0);
  int script = a->argc > 1 ? 1 : 0;
  const char* filename = nullptr;
  if (a->argc > 1 && std::strcmp(a->argv[1], "-") != 0) filename = a->argv[1];
  if (script > 0) SetArgTable(L, a->argc, a->argv, script);
  int status = luaL_loadfile(L, filename);
  if (status == 0) status = lua_pcall(L, 0, 0, 0);
  a->status = Report(L, status);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  lua_State* L = lua_open();
  if (L == nullptr) {
    std::fprintf(stderr, "%s: cannot create state: not enough memory\n", kProgName);
    return 1;
  }
  MainArgs args{argc, argv, 0};
  int rc = Report(L, lua_cpcall(L, ProtectedMain, &args));
  if (rc == 0) rc = args.status;
  std::fflush(stdout);
  lua_close(L);
  return rc;
}
