#pragma once
// Instruction layout and operation numbers.

#include <array>
#include <iterator>

#include "core/lua/object.h"

namespace luai {

// Layout, lowest bits first: operation 6, C 9, B 9, A 8; Bx spans B and C.
constexpr int SIZE_OP = 6, SIZE_A = 8, SIZE_B = 9, SIZE_C = 9, SIZE_Bx = SIZE_B + SIZE_C;
constexpr int POS_OP = 0, POS_C = POS_OP + SIZE_OP, POS_B = POS_C + SIZE_C, POS_Bx = POS_C, POS_A = POS_B + SIZE_B;
constexpr int MAXARG_A = (1 << SIZE_A) - 1;
constexpr int MAXARG_B = (1 << SIZE_B) - 1;
constexpr int MAXARG_C = (1 << SIZE_C) - 1;
constexpr int MAXARG_Bx = (1 << SIZE_Bx) - 1;
constexpr int MAXARG_sBx = MAXARG_Bx >> 1;
constexpr int NO_REG = MAXARG_A;

// Registers per function; B or C values from here on name constants.
constexpr int MAXSTACK = 250;
constexpr int MAXINDEXRK = MAXARG_C - MAXSTACK;
constexpr int FIELDS_PER_FLUSH = 32;

enum OpCode : int {
  OP_MOVE, OP_LOADK, OP_LOADBOOL, OP_LOADNIL, OP_GETUPVAL, OP_GETGLOBAL, OP_GETTABLE,
  OP_SETGLOBAL, OP_SETUPVAL, OP_SETTABLE, OP_NEWTABLE, OP_SELF, OP_ADD, OP_SUB, OP_MUL,
  OP_DIV, OP_BAND, OP_BOR, OP_SHL, OP_SHR, OP_POW, OP_UNM, OP_NOT, OP_CONCAT, OP_JMP,
  OP_EQ, OP_LT, OP_LE, OP_TEST, OP_CALL, OP_TAILCALL, OP_RETURN, OP_FORLOOP, OP_TFORLOOP,
  OP_TFORPREP, OP_SETLIST, OP_SETLISTO, OP_CLOSE, OP_CLOSURE,
  NUM_OPCODES
};
static_assert(NUM_OPCODES == 39);
static_assert(OP_POW == 20 && OP_CLOSURE == 38);

// Operations made from the ones above once a function is compiled or loaded, for the VM alone:
// each fixes the kinds of its operands (register, number constant, string constant), so the VM
// decides them once instead of at every run. GET_OP gives back the operation each came from,
// and a chunk is written out with those, so nothing outside the VM ever sees them.
enum VmOpCode : int {
  XOP_ADD_RR = NUM_OPCODES, XOP_ADD_RN, XOP_SUB_RR, XOP_SUB_RN, XOP_MUL_RR, XOP_MUL_RN, XOP_DIV_RR,
  XOP_DIV_RN, XOP_GETTABLE_RS, XOP_GETTABLE_RR, XOP_SETTABLE_S, XOP_SELF_S, XOP_EQ_RN, XOP_LT_RR,
  XOP_LT_RN, XOP_LT_NR, XOP_LE_RR, XOP_LE_RN, XOP_LE_NR,
  NUM_VM_OPCODES
};
static_assert(NUM_VM_OPCODES <= 64);

// What a form asks of an operand; kAnyOperand leaves it to the general form's own checks.
enum OperandKind : uint8_t { kAnyOperand, kRegOperand, kNumOperand, kStrOperand };
struct SpecialForm {
  uint8_t op, base;
  OperandKind b, c;
};
// The first form whose base and operand kinds fit an instruction is the one it gets.
inline constexpr SpecialForm kSpecialForms[] = {
    {XOP_ADD_RR, OP_ADD, kRegOperand, kRegOperand}, {XOP_ADD_RN, OP_ADD, kRegOperand, kNumOperand},
    {XOP_SUB_RR, OP_SUB, kRegOperand, kRegOperand}, {XOP_SUB_RN, OP_SUB, kRegOperand, kNumOperand},
    {XOP_MUL_RR, OP_MUL, kRegOperand, kRegOperand}, {XOP_MUL_RN, OP_MUL, kRegOperand, kNumOperand},
    {XOP_DIV_RR, OP_DIV, kRegOperand, kRegOperand}, {XOP_DIV_RN, OP_DIV, kRegOperand, kNumOperand},
    {XOP_GETTABLE_RS, OP_GETTABLE, kAnyOperand, kStrOperand},
    {XOP_GETTABLE_RR, OP_GETTABLE, kAnyOperand, kRegOperand},
    {XOP_SETTABLE_S, OP_SETTABLE, kStrOperand, kAnyOperand},
    {XOP_SELF_S, OP_SELF, kAnyOperand, kStrOperand},
    {XOP_EQ_RN, OP_EQ, kRegOperand, kNumOperand},
    {XOP_LT_RR, OP_LT, kRegOperand, kRegOperand}, {XOP_LT_RN, OP_LT, kRegOperand, kNumOperand},
    {XOP_LT_NR, OP_LT, kNumOperand, kRegOperand},
    {XOP_LE_RR, OP_LE, kRegOperand, kRegOperand}, {XOP_LE_RN, OP_LE, kRegOperand, kNumOperand},
    {XOP_LE_NR, OP_LE, kNumOperand, kRegOperand}};
static_assert(std::size(kSpecialForms) == size_t{NUM_VM_OPCODES} - size_t{NUM_OPCODES});

constexpr std::array<uint8_t, 64> makeBaseOps() {
  std::array<uint8_t, 64> t{};
  for (int o = 0; o < 64; o++) t[static_cast<size_t>(o)] = static_cast<uint8_t>(o);
  for (const SpecialForm& f : kSpecialForms) t[f.op] = f.base;
  return t;
}
inline constexpr std::array<uint8_t, 64> kBaseOp = makeBaseOps();

// The six bits as stored, for the VM's dispatch and the loader's check.
inline int RAW_OP(Instruction i) { return static_cast<int>(i & 0x3F); }
inline OpCode GET_OP(Instruction i) { return static_cast<OpCode>(kBaseOp[i & 0x3F]); }
inline int GETARG_A(Instruction i) { return static_cast<int>(i >> POS_A); }
inline int GETARG_B(Instruction i) { return static_cast<int>((i >> POS_B) & MAXARG_B); }
inline int GETARG_C(Instruction i) { return static_cast<int>((i >> POS_C) & MAXARG_C); }
inline int GETARG_Bx(Instruction i) { return static_cast<int>((i >> POS_Bx) & MAXARG_Bx); }
inline int GETARG_sBx(Instruction i) { return GETARG_Bx(i) - MAXARG_sBx; }
inline void SET_OP(Instruction& i, int o) { i = (i & ~Instruction(0x3F)) | Instruction(o); }
inline void SETARG_A(Instruction& i, int v) { i = (i & ~(Instruction(MAXARG_A) << POS_A)) | (Instruction(v) << POS_A); }
inline void SETARG_B(Instruction& i, int v) { i = (i & ~(Instruction(MAXARG_B) << POS_B)) | (Instruction(v) << POS_B); }
inline void SETARG_C(Instruction& i, int v) { i = (i & ~(Instruction(MAXARG_C) << POS_C)) | (Instruction(v) << POS_C); }
inline void SETARG_Bx(Instruction& i, int v) { i = (i & ~(Instruction(MAXARG_Bx) << POS_Bx)) | (Instruction(v) << POS_Bx); }
inline void SETARG_sBx(Instruction& i, int v) { SETARG_Bx(i, v + MAXARG_sBx); }
inline Instruction CREATE_ABC(int o, int a, int b, int c) {
  return Instruction(o) | (Instruction(a) << POS_A) | (Instruction(b) << POS_B) | (Instruction(c) << POS_C);
}
inline Instruction CREATE_ABx(int o, int a, int bx) { return Instruction(o) | (Instruction(a) << POS_A) | (Instruction(bx) << POS_Bx); }
inline bool ISK(int x) { return x >= MAXSTACK; }

enum OpFormat { iABC, iABx, iAsBx };
enum OpArgMode { ArgN, ArgR, ArgK, ArgU };  // unused, register or jump, register or constant, other
struct OpMode {
  uint8_t format;
  uint8_t setsA;
  uint8_t isTest;  // next instruction is a jump
  uint8_t bmode;
  uint8_t cmode;
};
extern const OpMode opmodes[NUM_OPCODES];
extern const char* const opnames[NUM_OPCODES];

// Gives the operations of `f` and its nested functions the VM's operand-kind forms.
void specializeCode(Proto* f);
// The code of `f` as compiled, for writing out.
std::vector<Instruction> baseCode(const Proto* f);

}  // namespace luai
