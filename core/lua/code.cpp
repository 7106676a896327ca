#include "core/lua/code.h"

#include <cmath>

#include "core/lua/str_table.h"

namespace luai::code {

namespace {

int getJump(FuncState* fs, int pc) {
  int offset = GETARG_sBx(fs->f->code[static_cast<size_t>(pc)]);
  return offset == NO_JUMP ? NO_JUMP : pc + 1 + offset;
}

void fixJump(FuncState* fs, int pc, int dest) {
  Instruction& jmp = fs->f->code[static_cast<size_t>(pc)];
  int offset = dest - (pc + 1);
  if (offset > MAXARG_sBx || offset < -MAXARG_sBx) fs->ls->syntaxError("control structure too long");
  SETARG_sBx(jmp, offset);
}

Instruction& jumpControl(FuncState* fs, int pc) {
  if (pc >= 1 && opmodes[GET_OP(fs->f->code[static_cast<size_t>(pc - 1)])].isTest)
    return fs->f->code[static_cast<size_t>(pc - 1)];
  return fs->f->code[static_cast<size_t>(pc)];
}

// Whether some jump of the list does not carry the expression's value (cond: jumps when true?).
bool needValue(FuncState* fs, int list, int cond) {
  for (; list != NO_JUMP; list = getJump(fs, list)) {
    Instruction i = jumpControl(fs, list);
    if (GET_OP(i) != OP_TEST || GETARG_C(i) != cond) return true;
  }
  return false;
}

// Jumps whose test carries the value go to vtarget copying it to reg; the others go to dtarget.
void patchListAux(FuncState* fs, int list, int vtarget, int reg, int dtarget, int cond) {
  while (list != NO_JUMP) {
    int next = getJump(fs, list);
    Instruction& i = jumpControl(fs, list);
    if (GET_OP(i) == OP_TEST && cond >= 0 && GETARG_C(i) == cond && reg != NO_REG) {
      SETARG_A(i, reg);
      fixJump(fs, list, vtarget);
    } else {
      if (GET_OP(i) == OP_TEST) SETARG_A(i, GETARG_B(i));
      fixJump(fs, list, dtarget);
    }
    list = next;
  }
}

void dischargeJpc(FuncState* fs) {
  patchListAux(fs, fs->jpc, fs->pc, NO_REG, fs->pc, -1);
  fs->jpc = NO_JUMP;
}

void freeReg(FuncState* fs, int reg) {
  if (!ISK(reg) && reg >= fs->nactvar) fs->freereg--;
}

int addK(FuncState* fs, ConstKey key, const TValue& v) {
  auto it = fs->kcache.find(key);
  if (it != fs->kcache.end()) return it->second;
  Proto* f = fs->f;
  int idx = static_cast<int>(f->k.size());
  if (idx >= MAXARG_Bx) fs->ls->syntaxError("constant table overflow");
  f->k.push_back(v);
  fs->kcache.emplace(key, idx);
  return idx;
}

int nilK(FuncState* fs) {
  TValue v;
  setnil(&v);
  return addK(fs, {LUA_TNIL, 0}, v);
}

void discharge2reg(FuncState* fs, ExpDesc* e, int reg) {
  dischargeVars(fs, e);
  switch (e->k) {
    case VNIL: nil(fs, reg, 1); break;
    case VFALSE:
    case VTRUE: codeABC(fs, OP_LOADBOOL, reg, e->k == VTRUE, 0); break;
    case VK: codeABx(fs, OP_LOADK, reg, e->info); break;
    case VKNUM: codeABx(fs, OP_LOADK, reg, numberK(fs, e->nval)); break;
    case VRELOCABLE: SETARG_A(getCode(fs, e), reg); break;
    case VNONRELOC:
      if (reg != e->info) codeABC(fs, OP_MOVE, reg, e->info, 0);
      break;
    default: return;  // VVOID or VJMP: nothing to do
  }
  e->info = reg;
  e->k = VNONRELOC;
}

void discharge2anyreg(FuncState* fs, ExpDesc* e) {
  if (e->k != VNONRELOC) {
    reserveRegs(fs, 1);
    discharge2reg(fs, e, fs->freereg - 1);
  }
}

int codeLabel(FuncState* fs, int a, int b, int jump) {
  getLabel(fs);
  return codeABC(fs, OP_LOADBOOL, a, b, jump);
}

void exp2reg(FuncState* fs, ExpDesc* e, int reg) {
  discharge2reg(fs, e, reg);
  if (e->k == VJMP) concat(fs, &e->t, e->info);
  if (hasJumps(e)) {
    int p_f = NO_JUMP, p_t = NO_JUMP;
    if (needValue(fs, e->t, 1) || needValue(fs, e->f, 0)) {
      int fj = (e->k == VJMP) ? NO_JUMP : jump(fs);
      p_f = codeLabel(fs, reg, 0, 1);
      p_t = codeLabel(fs, reg, 1, 0);
      patchToHere(fs, fj);
    }
    int final = getLabel(fs);
    patchListAux(fs, e->f, final, reg, p_f, 0);
    patchListAux(fs, e->t, final, reg, p_t, 1);
  }
  e->f = e->t = NO_JUMP;
  e->info = reg;
  e->k = VNONRELOC;
}

void invertJump(FuncState* fs, ExpDesc* e) {
  Instruction& pc = jumpControl(fs, e->info);
  SETARG_A(pc, !GETARG_A(pc));
}

int condJump(FuncState* fs, OpCode op, int a, int b, int c) {
  codeABC(fs, op, a, b, c);
  return jump(fs);
}

int jumpOnCond(FuncState* fs, ExpDesc* e, int cond) {
  if (e->k == VRELOCABLE) {
    Instruction ie = getCode(fs, e);
    if (GET_OP(ie) == OP_NOT) {
      fs->pc--;  // drop the NOT and test its operand the other way round
      fs->f->code.pop_back();
      fs->f->lineinfo.pop_back();
      return condJump(fs, OP_TEST, GETARG_B(ie), GETARG_B(ie), !cond);
    }
  }
  discharge2anyreg(fs, e);
  freeExp(fs, e);
  return condJump(fs, OP_TEST, e->info, e->info, cond);
}

void codeNot(FuncState* fs, ExpDesc* e) {
  dischargeVars(fs, e);
  switch (e->k) {
    case VNIL:
    case VFALSE: e->k = VTRUE; break;
    case VK:
    case VKNUM:
    case VTRUE: e->k = VFALSE; break;
    case VJMP: invertJump(fs, e); break;
    case VRELOCABLE:
    case VNONRELOC:
      discharge2anyreg(fs, e);
      freeExp(fs, e);
      e->info = codeABC(fs, OP_NOT, 0, e->info, 0);
      e->k = VRELOCABLE;
      break;
    default: break;
  }
  int temp = e->f;
  e->f = e->t;
  e->t = temp;
}

}  // namespace

int emit(FuncState* fs, Instruction i, int line) {
  dischargeJpc(fs);
  fs->f->code.push_back(i);
  fs->f->lineinfo.push_back(line);
  return fs->pc++;
}

int codeABC(FuncState* fs, OpCode o, int a, int b, int c) { return emit(fs, CREATE_ABC(o, a, b, c), fs->ls->lastline); }

int codeABx(FuncState* fs, OpCode o, int a, int bx) { return emit(fs, CREATE_ABx(o, a, bx), fs->ls->lastline); }

void fixLine(FuncState* fs, int line) { fs->f->lineinfo[static_cast<size_t>(fs->pc - 1)] = line; }

void nil(FuncState* fs, int from, int n) {
  if (fs->pc > fs->lasttarget) {
    if (fs->pc == 0) {
      if (from >= fs->nactvar) return;  // registers of a fresh frame are already nil
    } else {
      Instruction& prev = fs->f->code[static_cast<size_t>(fs->pc - 1)];
      if (GET_OP(prev) == OP_LOADNIL && GETARG_A(prev) <= from && from <= GETARG_B(prev) + 1) {
        if (from + n - 1 > GETARG_B(prev)) SETARG_B(prev, from + n - 1);
        return;
      }
    }
  }
  codeABC(fs, OP_LOADNIL, from, from + n - 1, 0);
}

void checkStack(FuncState* fs, int n) {
  int newstack = fs->freereg + n;
  if (newstack > fs->f->maxstacksize) {
    if (newstack >= MAXSTACK) fs->ls->syntaxError("function or expression too complex");
    fs->f->maxstacksize = static_cast<uint8_t>(newstack);
  }
}

void reserveRegs(FuncState* fs, int n) {
  checkStack(fs, n);
  fs->freereg += n;
}

void freeExp(FuncState* fs, ExpDesc* e) {
  if (e->k == VNONRELOC) freeReg(fs, e->info);
}

int stringK(FuncState* fs, TString* s) {
  TValue v;
  setstr(&v, s);
  return addK(fs, {LUA_TSTRING, reinterpret_cast<uintptr_t>(s)}, v);
}

int wstringK(FuncState* fs, TString* s) {
  TValue v;
  setwstr(&v, s);
  return addK(fs, {LUA_TWSTRING, reinterpret_cast<uintptr_t>(s)}, v);
}

int numberK(FuncState* fs, lua_Number r) {
  TValue v;
  setnum(&v, r);
  uint64_t bits;
  std::memcpy(&bits, &r, sizeof bits);
  return addK(fs, {LUA_TNUMBER, bits}, v);
}

int jump(FuncState* fs) {
  int jpc = fs->jpc;
  fs->jpc = NO_JUMP;
  int j = codeAsBx(fs, OP_JMP, 0, NO_JUMP);
  concat(fs, &j, jpc);
  return j;
}

int getLabel(FuncState* fs) {
  fs->lasttarget = fs->pc;
  return fs->pc;
}

void patchList(FuncState* fs, int list, int target) {
  if (target == fs->pc)
    patchToHere(fs, list);
  else
    patchListAux(fs, list, target, NO_REG, target, -1);
}

void patchToHere(FuncState* fs, int list) {
  getLabel(fs);
  concat(fs, &fs->jpc, list);
}

void concat(FuncState* fs, int* l1, int l2) {
  if (l2 == NO_JUMP) return;
  if (*l1 == NO_JUMP) {
    *l1 = l2;
    return;
  }
  int list = *l1;
  int next;
  while ((next = getJump(fs, list)) != NO_JUMP) list = next;
  fixJump(fs, list, l2);
}

void setCallReturns(FuncState* fs, ExpDesc* e, int nresults) {
  if (e->k == VCALL) {
    SETARG_C(getCode(fs, e), nresults + 1);
    if (nresults == 1) {
      e->k = VNONRELOC;
      e->info = GETARG_A(getCode(fs, e));
    }
  }
}

void dischargeVars(FuncState* fs, ExpDesc* e) {
  switch (e->k) {
    case VLOCAL: e->k = VNONRELOC; break;
    case VUPVAL:
      e->info = codeABC(fs, OP_GETUPVAL, 0, e->info, 0);
      e->k = VRELOCABLE;
      break;
    case VGLOBAL:
      e->info = codeABx(fs, OP_GETGLOBAL, 0, e->info);
      e->k = VRELOCABLE;
      break;
    case VINDEXED:
      freeReg(fs, e->aux);
      freeReg(fs, e->info);
      e->info = codeABC(fs, OP_GETTABLE, 0, e->info, e->aux);
      e->k = VRELOCABLE;
      break;
    case VCALL: setCallReturns(fs, e, 1); break;
    default: break;
  }
}

void exp2nextreg(FuncState* fs, ExpDesc* e) {
  dischargeVars(fs, e);
  freeExp(fs, e);
  reserveRegs(fs, 1);
  exp2reg(fs, e, fs->freereg - 1);
}

int exp2anyreg(FuncState* fs, ExpDesc* e) {
  dischargeVars(fs, e);
  if (e->k == VNONRELOC) {
    if (!hasJumps(e)) return e->info;
    if (e->info >= fs->nactvar) {
      exp2reg(fs, e, e->info);
      return e->info;
    }
  }
  exp2nextreg(fs, e);
  return e->info;
}

void exp2val(FuncState* fs, ExpDesc* e) {
  if (hasJumps(e))
    exp2anyreg(fs, e);
  else
    dischargeVars(fs, e);
}

int exp2RK(FuncState* fs, ExpDesc* e) {
  exp2val(fs, e);
  switch (e->k) {
    case VNIL:
    case VKNUM:
    case VK: {
      // booleans are never constants: precompiled chunks have no tag for them
      int idx;
      if (e->k == VK) idx = e->info;
      else if (e->k == VKNUM) idx = numberK(fs, e->nval);
      else idx = nilK(fs);
      e->k = VK;
      e->info = idx;
      if (idx <= MAXINDEXRK) return idx + MAXSTACK;
      break;
    }
    default: break;
  }
  return exp2anyreg(fs, e);
}

void storeVar(FuncState* fs, ExpDesc* var, ExpDesc* ex) {
  switch (var->k) {
    case VLOCAL:
      freeExp(fs, ex);
      exp2reg(fs, ex, var->info);
      return;
    case VUPVAL: {
      int e = exp2anyreg(fs, ex);
      codeABC(fs, OP_SETUPVAL, e, var->info, 0);
      break;
    }
    case VGLOBAL: {
      int e = exp2anyreg(fs, ex);
      codeABx(fs, OP_SETGLOBAL, e, var->info);
      break;
    }
    case VINDEXED: {
      int e = exp2RK(fs, ex);
      codeABC(fs, OP_SETTABLE, var->info, var->aux, e);
      break;
    }
    default: break;
  }
  freeExp(fs, ex);
}

void self(FuncState* fs, ExpDesc* e, ExpDesc* key) {
  exp2anyreg(fs, e);
  freeExp(fs, e);
  int func = fs->freereg;
  reserveRegs(fs, 2);
  codeABC(fs, OP_SELF, func, e->info, exp2RK(fs, key));
  freeExp(fs, key);
  e->info = func;
  e->k = VNONRELOC;
}

void indexed(FuncState* fs, ExpDesc* t, ExpDesc* k) {
  t->aux = exp2RK(fs, k);
  t->k = VINDEXED;
}

void goIfTrue(FuncState* fs, ExpDesc* e) {
  int pj;
  dischargeVars(fs, e);
  switch (e->k) {
    case VK:
    case VKNUM:
    case VTRUE: pj = NO_JUMP; break;
    case VFALSE: pj = jump(fs); break;
    case VJMP:
      invertJump(fs, e);
      pj = e->info;
      break;
    default: pj = jumpOnCond(fs, e, 0); break;
  }
  concat(fs, &e->f, pj);
  patchToHere(fs, e->t);
  e->t = NO_JUMP;
}

void goIfFalse(FuncState* fs, ExpDesc* e) {
  int pj;
  dischargeVars(fs, e);
  switch (e->k) {
    case VNIL:
    case VFALSE: pj = NO_JUMP; break;
    case VTRUE: pj = jump(fs); break;
    case VJMP: pj = e->info; break;
    default: pj = jumpOnCond(fs, e, 1); break;
  }
  concat(fs, &e->t, pj);
  patchToHere(fs, e->f);
  e->f = NO_JUMP;
}

void prefix(FuncState* fs, UnOpr op, ExpDesc* e) {
  if (op == OPR_MINUS) {
    if (e->k == VKNUM && !hasJumps(e)) {
      e->nval = -e->nval;
      return;
    }
    exp2anyreg(fs, e);
    freeExp(fs, e);
    e->info = codeABC(fs, OP_UNM, 0, e->info, 0);
    e->k = VRELOCABLE;
  } else {
    codeNot(fs, e);
  }
}

void infix(FuncState* fs, BinOpr op, ExpDesc* v) {
  switch (op) {
    case OPR_AND: goIfTrue(fs, v); break;
    case OPR_OR: goIfFalse(fs, v); break;
    case OPR_CONCAT: exp2nextreg(fs, v); break;
    default: exp2RK(fs, v); break;
  }
}

static OpCode arithOp(BinOpr op) {
  switch (op) {
    case OPR_ADD: return OP_ADD;
    case OPR_SUB: return OP_SUB;
    case OPR_MULT: return OP_MUL;
    case OPR_DIV: return OP_DIV;
    case OPR_BAND: return OP_BAND;
    case OPR_BOR: return OP_BOR;
    case OPR_SHL: return OP_SHL;
    case OPR_SHR: return OP_SHR;
    default: return OP_POW;
  }
}

void posfix(FuncState* fs, BinOpr op, ExpDesc* e1, ExpDesc* e2) {
  switch (op) {
    case OPR_AND:
      dischargeVars(fs, e2);
      concat(fs, &e2->f, e1->f);
      *e1 = *e2;
      break;
    case OPR_OR:
      dischargeVars(fs, e2);
      concat(fs, &e2->t, e1->t);
      *e1 = *e2;
      break;
    case OPR_CONCAT:
      exp2val(fs, e2);
      if (e2->k == VRELOCABLE && GET_OP(getCode(fs, e2)) == OP_CONCAT) {
        freeExp(fs, e1);
        SETARG_B(getCode(fs, e2), e1->info);
        e1->k = VRELOCABLE;
        e1->info = e2->info;
      } else {
        exp2nextreg(fs, e2);
        freeExp(fs, e2);
        freeExp(fs, e1);
        e1->info = codeABC(fs, OP_CONCAT, 0, e1->info, e2->info);
        e1->k = VRELOCABLE;
      }
      break;
    case OPR_EQ:
    case OPR_NE:
    case OPR_LT:
    case OPR_LE:
    case OPR_GT:
    case OPR_GE: {
      int o2 = exp2RK(fs, e2);
      int o1 = exp2RK(fs, e1);
      freeExp(fs, e2);
      freeExp(fs, e1);
      switch (op) {
        case OPR_EQ: e1->info = condJump(fs, OP_EQ, 1, o1, o2); break;
        case OPR_NE: e1->info = condJump(fs, OP_EQ, 0, o1, o2); break;
        case OPR_LT: e1->info = condJump(fs, OP_LT, 1, o1, o2); break;
        case OPR_LE: e1->info = condJump(fs, OP_LE, 1, o1, o2); break;
        case OPR_GT: e1->info = condJump(fs, OP_LT, 1, o2, o1); break;
        default: e1->info = condJump(fs, OP_LE, 1, o2, o1); break;
      }
      e1->k = VJMP;
      break;
    }
    default: {
      int o2 = exp2RK(fs, e2);
      int o1 = exp2RK(fs, e1);
      freeExp(fs, e2);
      freeExp(fs, e1);
      e1->info = codeABC(fs, arithOp(op), 0, o1, o2);
      e1->k = VRELOCABLE;
      break;
    }
  }
}

}  // namespace luai::code
