#include "core/lua/opcodes.h"

namespace luai {

namespace {

enum Kind { kReg, kNum, kStr, kOther };

Kind kindOf(const Proto* f, int x) {
  if (!ISK(x)) return kReg;
  const TValue& c = f->k[static_cast<size_t>(x - MAXSTACK)];
  if (c.tt == LUA_TNUMBER) return kNum;
  if (c.tt == LUA_TSTRING) return kStr;
  return kOther;
}

// The form for operands of kinds b and c, or -1 to keep the general one.
int specialFor(OpCode op, Kind b, Kind c) {
  const bool rr = b == kReg && c == kReg, rn = b == kReg && c == kNum, nr = b == kNum && c == kReg;
  switch (op) {
    case OP_ADD: return rr ? XOP_ADD_RR : rn ? XOP_ADD_RN : -1;
    case OP_SUB: return rr ? XOP_SUB_RR : rn ? XOP_SUB_RN : -1;
    case OP_MUL: return rr ? XOP_MUL_RR : rn ? XOP_MUL_RN : -1;
    case OP_DIV: return rr ? XOP_DIV_RR : rn ? XOP_DIV_RN : -1;
    case OP_GETTABLE: return c == kStr ? XOP_GETTABLE_RS : c == kReg ? XOP_GETTABLE_RR : -1;
    case OP_SETTABLE: return b == kStr ? XOP_SETTABLE_S : -1;
    case OP_SELF: return c == kStr ? XOP_SELF_S : -1;
    case OP_EQ: return rn ? XOP_EQ_RN : -1;
    case OP_LT: return rr ? XOP_LT_RR : rn ? XOP_LT_RN : nr ? XOP_LT_NR : -1;
    case OP_LE: return rr ? XOP_LE_RR : rn ? XOP_LE_RN : nr ? XOP_LE_NR : -1;
    default: return -1;
  }
}

}  // namespace

void specializeCode(Proto* f) {
  f->slotHints.assign(f->code.size(), 0);
  for (Instruction& in : f->code) {
    const OpCode op = GET_OP(in);
    const OpMode& m = opmodes[op];
    if (m.format != iABC) continue;
    auto kind = [&](uint8_t mode, int x) { return mode == ArgK || mode == ArgR ? kindOf(f, x) : kOther; };
    const int special = specialFor(op, kind(m.bmode, GETARG_B(in)), kind(m.cmode, GETARG_C(in)));
    if (special >= 0) SET_OP(in, special);
  }
  for (Proto* sub : f->p) specializeCode(sub);
}

std::vector<Instruction> baseCode(const Proto* f) {
  std::vector<Instruction> code = f->code;
  for (Instruction& in : code) SET_OP(in, GET_OP(in));
  return code;
}

}  // namespace luai
