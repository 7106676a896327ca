#pragma once
// Code generator: expression descriptors, registers, jumps and constants of a function being compiled.

#include <unordered_map>

#include "core/lua/lexer.h"
#include "core/lua/opcodes.h"

namespace luai {

constexpr int NO_JUMP = -1;
constexpr int MAXVARS = 200;
constexpr int MAXUPVALUES = 32;
constexpr int MAXPARAMS = 100;

enum ExpKind {
  VVOID, VNIL, VTRUE, VFALSE,
  VK,         // info = constant index
  VKNUM,      // nval = numeric literal not yet in the constant list
  VLOCAL,     // info = register
  VUPVAL,     // info = upvalue index
  VGLOBAL,    // info = constant index of the name
  VINDEXED,   // info = table register, aux = key (register or constant)
  VJMP,       // info = pc of the jump
  VRELOCABLE, // info = pc of the instruction whose A can be set
  VNONRELOC,  // info = result register
  VCALL       // info = pc of the call
};

struct ExpDesc {
  ExpKind k = VVOID;
  int info = 0;
  int aux = 0;
  lua_Number nval = 0;
  int t = NO_JUMP;  // jumps taken when true
  int f = NO_JUMP;  // jumps taken when false
};

enum BinOpr {
  OPR_ADD, OPR_SUB, OPR_MULT, OPR_DIV, OPR_BAND, OPR_BOR, OPR_SHL, OPR_SHR, OPR_POW,
  OPR_CONCAT, OPR_NE, OPR_EQ, OPR_LT, OPR_LE, OPR_GT, OPR_GE, OPR_AND, OPR_OR, OPR_NOBINOPR
};
enum UnOpr { OPR_MINUS, OPR_NOT, OPR_NOUNOPR };

struct BlockCnt {
  BlockCnt* previous = nullptr;
  int breaklist = NO_JUMP;
  int continuelist = NO_JUMP;
  int nactvar = 0;
  bool upval = false;
  bool isbreakable = false;
};

struct UpvalDesc {
  ExpKind k;
  int info;
};

struct ConstKey {
  int tt;
  uint64_t bits;
  bool operator==(const ConstKey& o) const { return tt == o.tt && bits == o.bits; }
};
struct ConstKeyHash {
  size_t operator()(const ConstKey& k) const { return std::hash<uint64_t>()(k.bits) ^ static_cast<size_t>(k.tt); }
};

struct FuncState {
  Proto* f = nullptr;
  FuncState* prev = nullptr;
  LexState* ls = nullptr;
  lua_State* L = nullptr;
  BlockCnt* bl = nullptr;
  int pc = 0;
  int lasttarget = -1;
  int jpc = NO_JUMP;
  int freereg = 0;
  int nactvar = 0;
  std::unordered_map<ConstKey, int, ConstKeyHash> kcache;
  UpvalDesc upvalues[MAXUPVALUES];
  int actvar[MAXVARS];
};

namespace code {
int emit(FuncState* fs, Instruction i, int line);
int codeABC(FuncState* fs, OpCode o, int a, int b, int c);
int codeABx(FuncState* fs, OpCode o, int a, int bx);
inline int codeAsBx(FuncState* fs, OpCode o, int a, int sbx) { return codeABx(fs, o, a, sbx + MAXARG_sBx); }
void fixLine(FuncState* fs, int line);
void nil(FuncState* fs, int from, int n);
void reserveRegs(FuncState* fs, int n);
void checkStack(FuncState* fs, int n);
int stringK(FuncState* fs, TString* s);
int numberK(FuncState* fs, lua_Number r);
int wstringK(FuncState* fs, TString* s);
void dischargeVars(FuncState* fs, ExpDesc* e);
int exp2anyreg(FuncState* fs, ExpDesc* e);
void exp2nextreg(FuncState* fs, ExpDesc* e);
void exp2val(FuncState* fs, ExpDesc* e);
int exp2RK(FuncState* fs, ExpDesc* e);
void self(FuncState* fs, ExpDesc* e, ExpDesc* key);
void indexed(FuncState* fs, ExpDesc* t, ExpDesc* k);
void goIfTrue(FuncState* fs, ExpDesc* e);
void goIfFalse(FuncState* fs, ExpDesc* e);
void storeVar(FuncState* fs, ExpDesc* var, ExpDesc* e);
void setCallReturns(FuncState* fs, ExpDesc* e, int nresults);
int jump(FuncState* fs);
void patchList(FuncState* fs, int list, int target);
void patchToHere(FuncState* fs, int list);
void concat(FuncState* fs, int* l1, int l2);
int getLabel(FuncState* fs);
void prefix(FuncState* fs, UnOpr op, ExpDesc* v);
void infix(FuncState* fs, BinOpr op, ExpDesc* v);
void posfix(FuncState* fs, BinOpr op, ExpDesc* v1, ExpDesc* v2);
void freeExp(FuncState* fs, ExpDesc* e);
inline Instruction& getCode(FuncState* fs, ExpDesc* e) { return fs->f->code[static_cast<size_t>(e->info)]; }
inline bool hasJumps(const ExpDesc* e) { return e->t != e->f; }
}  // namespace code

}  // namespace luai
