#include "core/lua/dump.h"

#include "core/lua/opcodes.h"

using namespace luai;

namespace {

constexpr lua_Number kTestNumber = 3.14159265358979323846E7;

struct Dumper {
  lua_State* L;
  lua_Chunkwriter writer;
  void* data;

  // The writer's result is not looked at: a chunk is always written whole.
  void block(const void* b, size_t size) {
    if (size > 0) writer(L, b, size, data);
  }
  void byte(int y) {
    char c = static_cast<char>(y);
    block(&c, 1);
  }
  void integer(int x) { block(&x, sizeof x); }
  void sizeT(size_t x) { block(&x, sizeof x); }
  void number(lua_Number x) { block(&x, sizeof x); }
  void string(const TString* s) {
    if (s == nullptr) {
      sizeT(0);
    } else {
      sizeT(s->len + 1);
      block(s->data(), s->len + 1);
    }
  }
  void function(const Proto* f, const TString* parentSource) {
    string(f->source == parentSource ? nullptr : f->source);
    integer(f->linedefined);
    byte(f->nups);
    byte(f->numparams);
    byte(f->is_vararg);
    byte(f->maxstacksize);
    integer(static_cast<int>(f->lineinfo.size()));
    for (int l : f->lineinfo) integer(l);
    integer(static_cast<int>(f->locvars.size()));
    for (const LocVar& lv : f->locvars) {
      string(lv.varname);
      integer(lv.startpc);
      integer(lv.endpc);
    }
    integer(static_cast<int>(f->upvalues.size()));
    for (const TString* s : f->upvalues) string(s);
    integer(static_cast<int>(f->k.size()));
    for (const TValue& o : f->k) {
      byte(o.tt);
      switch (o.tt) {
        case LUA_TNUMBER: number(nvalue(&o)); break;
        case LUA_TSTRING: string(tsvalue(&o)); break;
        case LUA_TWSTRING: {
          const TString* w = tsvalue(&o);
          sizeT(w->len + 1);
          block(w->wdata(), (w->len + 1) * sizeof(uint16_t));
          break;
        }
        default: break;
      }
    }
    integer(static_cast<int>(f->p.size()));
    for (const Proto* p : f->p) function(p, f->source);
    integer(static_cast<int>(f->code.size()));
    const std::vector<Instruction> code = baseCode(f);
    block(code.data(), code.size() * sizeof(Instruction));
  }
  void header() {
    block("\033Lua", 4);
    byte(0x50);
    uint16_t probe = 1;
    byte(*reinterpret_cast<uint8_t*>(&probe));
    byte(sizeof(int));
    byte(sizeof(size_t));
    byte(sizeof(Instruction));
    byte(SIZE_OP);
    byte(SIZE_A);
    byte(SIZE_B);
    byte(SIZE_C);
    byte(sizeof(lua_Number));
    number(kTestNumber);
  }
};

}  // namespace

int luaU_dump(lua_State* L, const Proto* f, lua_Chunkwriter w, void* data) {
  Dumper d{L, w, data};
  d.header();
  d.function(f, nullptr);
  return 0;
}
