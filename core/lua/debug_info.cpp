#include "core/lua/debug_info.h"

#include <cstdio>
#include <string>

#include "core/lua/call.h"
#include "core/lua/closure.h"
#include "core/lua/opcodes.h"
#include "core/lua/str_table.h"
#include "core/lua/vm.h"

namespace luai {

int currentPC(lua_State*, CallInfo* ci) {
  if (!(ci->callstatus & CIST_LUA)) return -1;
  const Proto* p = lclvalue(ci->func)->p;
  return static_cast<int>(ci->savedpc - p->code.data()) - 1;
}

int currentLine(lua_State* L, CallInfo* ci) {
  int pc = currentPC(L, ci);
  if (pc < 0) return -1;
  return getLine(lclvalue(ci->func)->p, pc);
}

const char* pushVFString(lua_State* L, const char* fmt, va_list argp) {
  std::string out;
  for (;;) {
    const char* e = std::strchr(fmt, '%');
    if (e == nullptr) break;
    out.append(fmt, static_cast<size_t>(e - fmt));
    char buff[64];
    switch (e[1]) {
      case 's': {
        const char* s = va_arg(argp, const char*);
        out += s ? s : "(null)";
        break;
      }
      case 'c': out += static_cast<char>(va_arg(argp, int)); break;
      case 'd': std::snprintf(buff, sizeof buff, "%d", va_arg(argp, int)); out += buff; break;
      case 'f': num2str(static_cast<lua_Number>(va_arg(argp, double)), buff); out += buff; break;
      case 'p': std::snprintf(buff, sizeof buff, "%p", va_arg(argp, void*)); out += buff; break;
      case '%': out += '%'; break;
      case '\0': out += '%'; fmt = e + 1; goto done;
      default: out += '%'; out += e[1]; break;
    }
    fmt = e + 2;
  }
  out += fmt;
done:
  checkStack(L, 1);
  TString* ts = newLStr(L, out.data(), out.size());
  setstr(L->top, ts);
  L->top++;
  return ts->data();
}

const char* pushFString(lua_State* L, const char* fmt, ...) {
  va_list argp;
  va_start(argp, fmt);
  const char* s = pushVFString(L, fmt, argp);
  va_end(argp);
  return s;
}

void errorMsg(lua_State* L) {
  if (L->errfunc != 0) {
    TValue* errfunc = restorestack(L, L->errfunc);
    if (!ttisfunction(errfunc)) throwError(L, LUA_ERRERR);
    checkStack(L, 1);
    errfunc = restorestack(L, L->errfunc);
    L->top[0] = L->top[-1];
    L->top[-1] = *errfunc;
    L->top++;
    ptrdiff_t saved = L->errfunc;
    L->errfunc = 0;  // an error inside the handler is not handled again
    try {
      callFunc(L, L->top - 2, 1);
    } catch (const LuaError&) {
      L->errfunc = saved;
      throwError(L, LUA_ERRERR);
    }
    L->errfunc = saved;
  }
  throwError(L, LUA_ERRRUN);
}

static void addInfo(lua_State* L, const char* msg) {
  CallInfo* ci = L->ci;
  if (ci->callstatus & CIST_LUA) {
    char buff[LUA_IDSIZE];
    int line = currentLine(L, ci);
    const Proto* p = lclvalue(ci->func)->p;
    chunkid(buff, p->source ? p->source->data() : "?", LUA_IDSIZE);
    pushFString(L, "%s:%d: %s", buff, line, msg);
  }
}

void runError(lua_State* L, const char* fmt, ...) {
  va_list argp;
  va_start(argp, fmt);
  const char* msg = pushVFString(L, fmt, argp);
  va_end(argp);
  if (L->ci->callstatus & CIST_LUA) {
    addInfo(L, msg);
    L->top[-2] = L->top[-1];
    L->top--;
  }
  errorMsg(L);
}

// Name and kind of the value in register `reg` at the frame's current instruction.
static const char* getObjName(CallInfo* ci, int reg, const char** name, int depth = 0) {
  if (!(ci->callstatus & CIST_LUA) || depth > 10) return nullptr;
  const Proto* p = lclvalue(ci->func)->p;
  int pc = static_cast<int>(ci->savedpc - p->code.data()) - 1;
  if (pc < 0) return nullptr;
  *name = getLocalName(p, reg + 1, pc);
  if (*name) return "local";
  int found = -1;
  for (int j = pc - 1; j >= 0; j--) {
    Instruction in = p->code[static_cast<size_t>(j)];
    OpCode op = GET_OP(in);
    int a = GETARG_A(in);
    bool sets = false;
    switch (op) {
      case OP_LOADNIL: sets = a <= reg && reg <= GETARG_B(in); break;
      case OP_CALL:
      case OP_TAILCALL: sets = reg >= a; break;
      case OP_TFORLOOP: sets = reg >= a + 2; break;
      case OP_SELF: sets = reg == a || reg == a + 1; break;
      case OP_JMP: case OP_EQ: case OP_LT: case OP_LE: case OP_SETGLOBAL: case OP_SETUPVAL:
      case OP_SETTABLE: case OP_SETLIST: case OP_SETLISTO: case OP_CLOSE: case OP_RETURN:
        break;
      default: sets = opmodes[op].setsA && a == reg; break;
    }
    if (sets) {
      // skip the upvalue descriptions that follow a closure
      found = j;
      break;
    }
  }
  if (found < 0) return nullptr;
  Instruction in = p->code[static_cast<size_t>(found)];
  switch (GET_OP(in)) {
    case OP_GETGLOBAL: {
      int b = GETARG_Bx(in);
      if (b < static_cast<int>(p->k.size()) && ttisstring(&p->k[static_cast<size_t>(b)])) {
        *name = tsvalue(&p->k[static_cast<size_t>(b)])->data();
        return "global";
      }
      return nullptr;
    }
    case OP_MOVE: {
      int b = GETARG_B(in);
      if (b < GETARG_A(in)) {
        *name = getLocalName(p, b + 1, found);
        if (*name) return "local";
      }
      return nullptr;
    }
    case OP_GETTABLE:
    case OP_SELF: {
      int c = GETARG_C(in);
      if (ISK(c) && ttisstring(&p->k[static_cast<size_t>(c - MAXSTACK)])) {
        *name = tsvalue(&p->k[static_cast<size_t>(c - MAXSTACK)])->data();
        return GET_OP(in) == OP_GETTABLE ? "field" : "method";
      }
      return nullptr;
    }
    case OP_GETUPVAL: {
      int b = GETARG_B(in);
      if (b < static_cast<int>(p->upvalues.size()) && p->upvalues[static_cast<size_t>(b)]) {
        *name = p->upvalues[static_cast<size_t>(b)]->data();
        return "upvalue";
      }
      return nullptr;
    }
    default: return nullptr;
  }
}

static const char* varInfo(lua_State* L, const TValue* o, const char** name) {
  CallInfo* ci = L->ci;
  if (!(ci->callstatus & CIST_LUA)) return nullptr;
  if (o >= ci->base && o < ci->top) return getObjName(ci, static_cast<int>(o - ci->base), name);
  return nullptr;
}

void typeError(lua_State* L, const TValue* o, const char* op) {
  const char* name = nullptr;
  const char* kind = varInfo(L, o, &name);
  const char* t = typenames[o->tt];
  if (kind)
    runError(L, "attempt to %s %s `%s' (a %s value)", op, kind, name, t);
  else
    runError(L, "attempt to %s a %s value", op, t);
}

void concatError(lua_State* L, const TValue* p1, const TValue* p2) {
  if (ttisstring(p1) || ttisnumber(p1)) p1 = p2;
  typeError(L, p1, "concatenate");
}

void arithError(lua_State* L, const TValue* p1, const TValue* p2) {
  TValue temp;
  if (toNumber(p1, &temp) == nullptr) p2 = p1;
  typeError(L, p2, "perform arithmetic on");
}

void orderError(lua_State* L, const TValue* p1, const TValue* p2) {
  const char* t1 = typenames[p1->tt];
  const char* t2 = typenames[p2->tt];
  if (t1[2] == t2[2])
    runError(L, "attempt to compare two %s values", t1);
  else
    runError(L, "attempt to compare %s with %s", t1, t2);
}

// Name of the function running in `ci`, as its caller named it.
const char* funcNameFromCall(lua_State* L, CallInfo* ci, const char** name) {
  if (ci <= L->base_ci + 0 || (ci->callstatus & CIST_TAIL)) return nullptr;
  CallInfo* caller = ci - 1;
  if (!(caller->callstatus & CIST_LUA)) return nullptr;
  const Proto* p = lclvalue(caller->func)->p;
  int pc = static_cast<int>(caller->savedpc - p->code.data()) - 1;
  if (pc < 0 || pc >= static_cast<int>(p->code.size())) return nullptr;
  Instruction in = p->code[static_cast<size_t>(pc)];
  if (GET_OP(in) != OP_CALL && GET_OP(in) != OP_TAILCALL) return nullptr;
  return getObjName(caller, GETARG_A(in), name);
}

bool verifyCode(const Proto* pt) {
  int maxstack = pt->maxstacksize;
  int sizecode = static_cast<int>(pt->code.size());
  int sizek = static_cast<int>(pt->k.size());
  int nups = pt->nups;
  if (maxstack > MAXSTACK || maxstack < 2) return false;
  if (pt->numparams + (pt->is_vararg ? 1 : 0) > maxstack) return false;
  if (sizecode == 0 || GET_OP(pt->code[static_cast<size_t>(sizecode - 1)]) != OP_RETURN) return false;
  if (!pt->lineinfo.empty() && static_cast<int>(pt->lineinfo.size()) != sizecode) return false;
  if (!pt->upvalues.empty() && static_cast<int>(pt->upvalues.size()) != nups) return false;
  for (const TValue& kv : pt->k)
    if (kv.tt != LUA_TNIL && kv.tt != LUA_TBOOLEAN && kv.tt != LUA_TNUMBER && kv.tt != LUA_TSTRING &&
        kv.tt != LUA_TWSTRING)
      return false;
  for (const Proto* sub : pt->p)
    if (sub == nullptr) return false;
  auto isOpenCall = [&](int pc) {
    if (pc < 0) return false;
    Instruction in = pt->code[static_cast<size_t>(pc)];
    return (GET_OP(in) == OP_CALL || GET_OP(in) == OP_TAILCALL) && GETARG_C(in) == 0;
  };
  auto usesTop = [&](Instruction in) {
    switch (GET_OP(in)) {
      case OP_CALL: case OP_TAILCALL: case OP_RETURN: return GETARG_B(in) == 0;
      case OP_SETLISTO: return true;
      default: return false;
    }
  };
  auto checkRK = [&](int x) { return ISK(x) ? (x - MAXSTACK) < sizek : x < maxstack; };
  auto checkJump = [&](int pc, int offset) {
    int dest = pc + 1 + offset;
    if (dest < 0 || dest >= sizecode) return false;
    return !usesTop(pt->code[static_cast<size_t>(dest)]);
  };
  for (int pc = 0; pc < sizecode; pc++) {
    Instruction in = pt->code[static_cast<size_t>(pc)];
    if (RAW_OP(in) >= NUM_OPCODES) return false;
    int op = GET_OP(in);
    int a = GETARG_A(in), b = GETARG_B(in), c = GETARG_C(in);
    const OpMode& m = opmodes[op];
    if (m.setsA && a >= maxstack) return false;
    if (m.isTest) {
      if (pc + 1 >= sizecode || GET_OP(pt->code[static_cast<size_t>(pc + 1)]) != OP_JMP) return false;
    }
    if (m.format == iABC) {
      if (m.bmode == ArgR && b >= maxstack) return false;
      if (m.bmode == ArgK && !checkRK(b)) return false;
      if (m.cmode == ArgR && c >= maxstack) return false;
      if (m.cmode == ArgK && !checkRK(c)) return false;
    }
    if (usesTop(in) && !isOpenCall(pc - 1)) return false;
    if (isOpenCall(pc) && (pc + 1 >= sizecode || !usesTop(pt->code[static_cast<size_t>(pc + 1)]))) return false;
    switch (op) {
      case OP_LOADK: if (GETARG_Bx(in) >= sizek) return false; break;
      case OP_GETGLOBAL:
      case OP_SETGLOBAL:
        if (GETARG_Bx(in) >= sizek || !ttisstring(&pt->k[static_cast<size_t>(GETARG_Bx(in))])) return false;
        if (a >= maxstack) return false;
        break;
      case OP_LOADBOOL: if (c && pc + 1 >= sizecode) return false; break;
      case OP_LOADNIL: if (b < a) return false; break;
      case OP_GETUPVAL: case OP_SETUPVAL: if (b >= nups || a >= maxstack) return false; break;
      case OP_SETTABLE: if (a >= maxstack) return false; break;
      case OP_SELF: if (a + 1 >= maxstack) return false; break;
      case OP_CONCAT: if (b >= c) return false; break;
      case OP_JMP: if (!checkJump(pc, GETARG_sBx(in))) return false; break;
      case OP_TEST: if (a >= maxstack) return false; break;
      case OP_CALL:
        if (a >= maxstack || (b > 0 && a + b - 1 >= maxstack) || (c > 1 && a + c - 2 >= maxstack)) return false;
        break;
      case OP_TAILCALL:
        if (a >= maxstack || (b > 0 && a + b - 1 >= maxstack)) return false;
        if (pc + 1 >= sizecode || GET_OP(pt->code[static_cast<size_t>(pc + 1)]) != OP_RETURN) return false;
        break;
      case OP_RETURN: if (a >= maxstack || (b > 1 && a + b - 2 >= maxstack)) return false; break;
      case OP_FORLOOP:
        if (a + 2 >= maxstack || !checkJump(pc, GETARG_sBx(in))) return false;
        break;
      case OP_TFORPREP:
        if (a + 1 >= maxstack || !checkJump(pc, GETARG_sBx(in))) return false;
        break;
      case OP_TFORLOOP: if (a + c + 6 > maxstack) return false; break;
      case OP_SETLIST:
        if (a + (GETARG_Bx(in) & (FIELDS_PER_FLUSH - 1)) + 1 >= maxstack) return false;
        break;
      case OP_SETLISTO: if (a >= maxstack) return false; break;
      case OP_CLOSE: if (a >= maxstack) return false; break;
      case OP_CLOSURE: {
        int bx = GETARG_Bx(in);
        if (bx >= static_cast<int>(pt->p.size())) return false;
        int n = pt->p[static_cast<size_t>(bx)]->nups;
        if (pc + n >= sizecode) return false;
        for (int j = 1; j <= n; j++) {
          Instruction u = pt->code[static_cast<size_t>(pc + j)];
          if (GET_OP(u) == OP_GETUPVAL) {
            if (GETARG_B(u) >= nups) return false;
          } else if (GET_OP(u) == OP_MOVE) {
            if (GETARG_B(u) >= maxstack) return false;
          } else {
            return false;
          }
        }
        break;
      }
      default: break;
    }
  }
  for (const Proto* sub : pt->p)
    if (!verifyCode(sub)) return false;
  return true;
}

}  // namespace luai
