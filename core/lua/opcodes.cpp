#include "core/lua/opcodes.h"

namespace luai {

const char* const opnames[NUM_OPCODES] = {
    "MOVE", "LOADK", "LOADBOOL", "LOADNIL", "GETUPVAL", "GETGLOBAL", "GETTABLE", "SETGLOBAL",
    "SETUPVAL", "SETTABLE", "NEWTABLE", "SELF", "ADD", "SUB", "MUL", "DIV", "BAND", "BOR",
    "SHL", "SHR", "POW", "UNM", "NOT", "CONCAT", "JMP", "EQ", "LT", "LE", "TEST", "CALL",
    "TAILCALL", "RETURN", "FORLOOP", "TFORLOOP", "TFORPREP", "SETLIST", "SETLISTO", "CLOSE",
    "CLOSURE"};

#define M(f, a, t, b, c) {f, a, t, b, c}
const OpMode opmodes[NUM_OPCODES] = {
    M(iABC, 1, 0, ArgR, ArgN),   // MOVE
    M(iABx, 1, 0, ArgK, ArgN),   // LOADK
    M(iABC, 1, 0, ArgU, ArgU),   // LOADBOOL
    M(iABC, 1, 0, ArgR, ArgN),   // LOADNIL
    M(iABC, 1, 0, ArgU, ArgN),   // GETUPVAL
    M(iABx, 1, 0, ArgK, ArgN),   // GETGLOBAL
    M(iABC, 1, 0, ArgR, ArgK),   // GETTABLE
    M(iABx, 0, 0, ArgK, ArgN),   // SETGLOBAL
    M(iABC, 0, 0, ArgU, ArgN),   // SETUPVAL
    M(iABC, 0, 0, ArgK, ArgK),   // SETTABLE
    M(iABC, 1, 0, ArgU, ArgU),   // NEWTABLE
    M(iABC, 1, 0, ArgR, ArgK),   // SELF
    M(iABC, 1, 0, ArgK, ArgK),   // ADD
    M(iABC, 1, 0, ArgK, ArgK),   // SUB
    M(iABC, 1, 0, ArgK, ArgK),   // MUL
    M(iABC, 1, 0, ArgK, ArgK),   // DIV
    M(iABC, 1, 0, ArgK, ArgK),   // BAND
    M(iABC, 1, 0, ArgK, ArgK),   // BOR
    M(iABC, 1, 0, ArgK, ArgK),   // SHL
    M(iABC, 1, 0, ArgK, ArgK),   // SHR
    M(iABC, 1, 0, ArgK, ArgK),   // POW
    M(iABC, 1, 0, ArgR, ArgN),   // UNM
    M(iABC, 1, 0, ArgR, ArgN),   // NOT
    M(iABC, 1, 0, ArgR, ArgR),   // CONCAT
    M(iAsBx, 0, 0, ArgR, ArgN),  // JMP
    M(iABC, 0, 1, ArgK, ArgK),   // EQ
    M(iABC, 0, 1, ArgK, ArgK),   // LT
    M(iABC, 0, 1, ArgK, ArgK),   // LE
    M(iABC, 1, 1, ArgR, ArgU),   // TEST
    M(iABC, 0, 0, ArgU, ArgU),   // CALL
    M(iABC, 0, 0, ArgU, ArgU),   // TAILCALL
    M(iABC, 0, 0, ArgU, ArgN),   // RETURN
    M(iAsBx, 0, 0, ArgR, ArgN),  // FORLOOP
    M(iABC, 0, 1, ArgN, ArgU),   // TFORLOOP
    M(iAsBx, 0, 0, ArgR, ArgN),  // TFORPREP
    M(iABx, 0, 0, ArgU, ArgN),   // SETLIST
    M(iABx, 0, 0, ArgU, ArgN),   // SETLISTO
    M(iABC, 0, 0, ArgN, ArgN),   // CLOSE
    M(iABx, 1, 0, ArgU, ArgN),   // CLOSURE
};
#undef M

}  // namespace luai
