#include "core/lua/mem_limit.h"

#include <string>

#include "core/lua/call.h"
#include "core/lua/debug_info.h"
#include "core/lua/gc.h"
#include "core/lua/str_table.h"

namespace luai {

namespace {

std::string LimitText(size_t limit) {
  constexpr size_t kMB = size_t(1) << 20;
  return limit % kMB == 0 ? std::to_string(limit / kMB) + " MB" : std::to_string((limit + 1023) >> 10) + " KB";
}

// The nearest script function down the calls: its chunk name (a file name in full) and line.
bool RunningScript(lua_State* L, std::string* name, int* line) {
  for (CallInfo* ci = L->ci; ci > L->base_ci; ci--) {
    if (!(ci->callstatus & CIST_LUA)) continue;
    const Proto* p = lclvalue(ci->func)->p;
    const char* source = p->source ? p->source->data() : "?";
    if (*source == '@' || *source == '=') source++;
    *name = source;
    *line = currentLine(L, ci);
    return true;
  }
  return false;
}

}  // namespace

void memLimitReached(lua_State* L) {
  GlobalState* g = L->g;
  const std::string passed = "its memory passed the limit of " + LimitText(g->memlimit);
  std::string name;
  int line = 0;
  if (RunningScript(L, &name, &line))
    g->memerror = "script " + name + " stopped at line " + std::to_string(line) + ": " + passed;
  else
    g->memerror = "script stopped: " + passed;
  throwError(L, LUA_ERRMEM);
}

TString* memErrorText(lua_State* L) {
  GlobalState* g = L->g;
  std::string text;
  text.swap(g->memerror);
  if (text.empty()) return newStr(L, "not enough memory");
  // What the stopped script made is still counted until the next collection: its message
  // must not meet the bound again.
  struct Lifted {
    GlobalState* g;
    size_t limit;
    ~Lifted() { g->memlimit = limit; }
  } lifted{g, g->memlimit};
  g->memlimit = 0;
  return newLStr(L, text.data(), text.size());
}

}  // namespace luai

LUA_API void lua_setmemlimit(lua_State* L, size_t limit) {
  L->g->memlimit = limit;
  luai::setThreshold(L);
}

LUA_API size_t lua_getmemlimit(lua_State* L) { return L->g->memlimit; }
