#include "core/lua/opcodes.h"

namespace luai {

namespace {

// kAnyOperand stands for a constant of another kind, which only a form open to any fits.
OperandKind kindOf(const Proto* f, int x) {
  if (!ISK(x)) return kRegOperand;
  const TValue& c = f->k[static_cast<size_t>(x - MAXSTACK)];
  if (c.tt == LUA_TNUMBER) return kNumOperand;
  if (c.tt == LUA_TSTRING) return kStrOperand;
  return kAnyOperand;
}

bool fits(OperandKind wanted, OperandKind actual) { return wanted == kAnyOperand || wanted == actual; }

// The form for operands of kinds b and c, or -1 to keep the general one.
int specialFor(OpCode op, OperandKind b, OperandKind c) {
  for (const SpecialForm& f : kSpecialForms)
    if (f.base == op && fits(f.b, b) && fits(f.c, c)) return f.op;
  return -1;
}

}  // namespace

void specializeCode(Proto* f) {
  f->slotHints.assign(f->code.size(), 0);
  for (Instruction& in : f->code) {
    const OpCode op = GET_OP(in);
    const OpMode& m = opmodes[op];
    if (m.format != iABC) continue;
    auto kind = [&](uint8_t mode, int x) { return mode == ArgK || mode == ArgR ? kindOf(f, x) : kAnyOperand; };
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
