#include "core/lua/parser.h"

#include <cmath>
#include <cstdio>

#include "core/lua/closure.h"
#include "core/lua/code.h"
#include "core/lua/str_table.h"

namespace luai {

using namespace code;

namespace {

constexpr int kMaxParserLevel = 200;
constexpr int UNARY_PRIORITY = 8;

struct Priority {
  uint8_t left;
  uint8_t right;
};
const Priority priority[] = {
    {6, 6}, {6, 6}, {7, 7}, {7, 7},  // + - * /
    {8, 8}, {8, 8}, {8, 8}, {8, 8},  // & | << >>
    {10, 9}, {5, 4},                 // ^ ..
    {3, 3}, {3, 3}, {3, 3}, {3, 3}, {3, 3}, {3, 3},  // comparisons
    {2, 2}, {1, 1}                   // and or
};

struct LHSAssign {
  LHSAssign* prev;
  ExpDesc v;
};

struct ConsControl {
  ExpDesc v;
  ExpDesc* t;
  int nh = 0;
  int na = 0;
  int tostore = 0;
};

class Parser {
 public:
  explicit Parser(LexState* ls) : ls_(ls) {}

  void mainFunction(FuncState* fs) {
    openFunc(fs);
    ls_->next();
    chunk();
    check(TK_EOS);
    closeFunc();
  }

 private:
  LexState* ls_;

  FuncState* fs() { return ls_->fs; }

  [[noreturn]] void errorExpected(int token) {
    std::string msg = "`" + token2str(token) + "' expected";
    ls_->syntaxError(msg.c_str());
  }
  void check(int c) {
    if (ls_->t.token != c) errorExpected(c);
  }
  void checkNext(int c) {
    check(c);
    ls_->next();
  }
  bool testNext(int c) {
    if (ls_->t.token == c) {
      ls_->next();
      return true;
    }
    return false;
  }
  void checkCondition(bool c, const char* msg) {
    if (!c) ls_->syntaxError(msg);
  }
  void checkMatch(int what, int who, int where) {
    if (!testNext(what)) {
      if (where == ls_->linenumber) {
        errorExpected(what);
      } else {
        char buf[160];
        std::snprintf(buf, sizeof buf, "`%s' expected (to close `%s' at line %d)", token2str(what).c_str(),
                      token2str(who).c_str(), where);
        ls_->syntaxError(buf);
      }
    }
  }
  TString* strCheckName() {
    check(TK_NAME);
    TString* ts = ls_->t.seminfo.ts;
    ls_->next();
    return ts;
  }
  static void initExp(ExpDesc* e, ExpKind k, int i) {
    e->f = e->t = NO_JUMP;
    e->k = k;
    e->info = i;
  }
  void codeString(ExpDesc* e, TString* s) { initExp(e, VK, stringK(fs(), s)); }
  void checkName(ExpDesc* e) { codeString(e, strCheckName()); }

  void enterLevel() {
    if (++ls_->nestlevel > kMaxParserLevel) ls_->syntaxError("too many syntax levels");
  }
  void leaveLevel() { ls_->nestlevel--; }

  // Local variables
  int registerLocalVar(TString* varname) {
    Proto* f = fs()->f;
    f->locvars.push_back({varname, 0, 0});
    return static_cast<int>(f->locvars.size()) - 1;
  }
  void newLocalVar(TString* name, int n) {
    FuncState* f = fs();
    ls_->checkLimit(f->nactvar + n + 1, MAXVARS, "local variables");
    f->actvar[f->nactvar + n] = registerLocalVar(name);
  }
  void newLocalVarStr(const char* name, int n) { newLocalVar(ls_->newString(name, std::strlen(name)), n); }
  LocVar& getLocVar(FuncState* f, int i) { return f->f->locvars[static_cast<size_t>(f->actvar[i])]; }
  void adjustLocalVars(int nvars) {
    FuncState* f = fs();
    f->nactvar += nvars;
    for (; nvars; nvars--) getLocVar(f, f->nactvar - nvars).startpc = f->pc;
  }
  void removeVars(int tolevel) {
    FuncState* f = fs();
    while (f->nactvar > tolevel) getLocVar(f, --f->nactvar).endpc = f->pc;
  }

  int indexUpvalue(FuncState* f, TString* name, ExpDesc* v) {
    Proto* p = f->f;
    for (int i = 0; i < p->nups; i++)
      if (f->upvalues[i].k == v->k && f->upvalues[i].info == v->info) return i;
    ls_->checkLimit(p->nups + 1, MAXUPVALUES, "upvalues");
    p->upvalues.push_back(name);
    f->upvalues[p->nups] = {v->k, v->info};
    return p->nups++;
  }
  static int searchVar(FuncState* f, TString* n) {
    for (int i = f->nactvar - 1; i >= 0; i--)
      if (n == f->f->locvars[static_cast<size_t>(f->actvar[i])].varname) return i;
    return -1;
  }
  static void markUpval(FuncState* f, int level) {
    BlockCnt* bl = f->bl;
    while (bl && bl->nactvar > level) bl = bl->previous;
    if (bl) bl->upval = true;
  }
  void singleVarAux(FuncState* f, TString* n, ExpDesc* var, bool base) {
    if (f == nullptr) {
      initExp(var, VGLOBAL, NO_REG);
      return;
    }
    int v = searchVar(f, n);
    if (v >= 0) {
      initExp(var, VLOCAL, v);
      if (!base) markUpval(f, v);
      return;
    }
    singleVarAux(f->prev, n, var, false);
    if (var->k == VGLOBAL) {
      if (base) var->info = stringK(f, n);
    } else {
      var->info = indexUpvalue(f, n, var);
      var->k = VUPVAL;
    }
  }
  TString* singleVar(ExpDesc* var, bool base) {
    TString* varname = strCheckName();
    singleVarAux(fs(), varname, var, base);
    return varname;
  }

  void adjustAssign(int nvars, int nexps, ExpDesc* e) {
    FuncState* f = fs();
    int extra = nvars - nexps;
    if (e->k == VCALL) {
      extra++;
      if (extra <= 0) extra = 0;
      else reserveRegs(f, extra - 1);
      setCallReturns(f, e, extra);
    } else {
      if (e->k != VVOID) exp2nextreg(f, e);
      if (extra > 0) {
        int reg = f->freereg;
        reserveRegs(f, extra);
        nil(f, reg, extra);
      }
    }
  }

  // Blocks
  void enterBlock(BlockCnt* bl, bool isbreakable) {
    bl->breaklist = NO_JUMP;
    bl->continuelist = NO_JUMP;
    bl->isbreakable = isbreakable;
    bl->nactvar = fs()->nactvar;
    bl->upval = false;
    bl->previous = fs()->bl;
    fs()->bl = bl;
  }
  void leaveBlock() {
    FuncState* f = fs();
    BlockCnt* bl = f->bl;
    f->bl = bl->previous;
    removeVars(bl->nactvar);
    if (bl->upval) codeABC(f, OP_CLOSE, bl->nactvar, 0, 0);
    f->freereg = f->nactvar;
    patchToHere(f, bl->breaklist);
  }

  // Functions
  void openFunc(FuncState* f) {
    Proto* p = newProto(ls_->L);
    f->f = p;
    f->prev = ls_->fs;
    f->ls = ls_;
    f->L = ls_->L;
    ls_->fs = f;
    p->source = ls_->source;
    p->maxstacksize = 2;
  }
  void closeFunc() {
    FuncState* f = fs();
    codeABC(f, OP_RETURN, 0, 1, 0);
    removeVars(0);
    ls_->fs = f->prev;
  }
  void pushClosure(FuncState* func, ExpDesc* v) {
    FuncState* f = fs();
    Proto* p = f->f;
    if (p->p.size() >= static_cast<size_t>(MAXARG_Bx)) ls_->syntaxError("too many functions");
    p->p.push_back(func->f);
    initExp(v, VRELOCABLE, codeABx(f, OP_CLOSURE, 0, static_cast<int>(p->p.size()) - 1));
    for (int i = 0; i < func->f->nups; i++) {
      OpCode o = (func->upvalues[i].k == VLOCAL) ? OP_MOVE : OP_GETUPVAL;
      codeABC(f, o, 0, func->upvalues[i].info, 0);
    }
  }

  // Grammar
  static bool blockFollow(int token) {
    switch (token) {
      case TK_ELSE: case TK_ELSEIF: case TK_END: case TK_UNTIL: case TK_EOS: return true;
      default: return false;
    }
  }

  void block() {
    BlockCnt bl;
    enterBlock(&bl, false);
    chunk();
    leaveBlock();
  }

  void chunk() {
    bool islast = false;
    enterLevel();
    while (!islast && !blockFollow(ls_->t.token)) {
      islast = statement();
      testNext(';');
      fs()->freereg = fs()->nactvar;
    }
    leaveLevel();
  }

  void field(ExpDesc* v) {
    ExpDesc key;
    exp2anyreg(fs(), v);
    ls_->next();  // skip the dot or colon
    checkName(&key);
    indexed(fs(), v, &key);
  }

  void yindex(ExpDesc* v) {
    ls_->next();  // skip '['
    expr(v);
    exp2val(fs(), v);
    checkNext(']');
  }

  void recField(ConsControl* cc) {
    FuncState* f = fs();
    int reg = f->freereg;
    ExpDesc key, val;
    if (ls_->t.token == TK_NAME) {
      ls_->checkLimit(cc->nh, MAXARG_Bx - 1, "items in a constructor");
      cc->nh++;
      checkName(&key);
    } else {
      yindex(&key);
    }
    checkNext('=');
    int rkkey = exp2RK(f, &key);
    expr(&val);
    codeABC(f, OP_SETTABLE, cc->t->info, rkkey, exp2RK(f, &val));
    f->freereg = reg;
  }

  void closeListField(ConsControl* cc) {
    if (cc->v.k == VVOID) return;
    exp2nextreg(fs(), &cc->v);
    cc->v.k = VVOID;
    if (cc->tostore == FIELDS_PER_FLUSH) {
      codeABx(fs(), OP_SETLIST, cc->t->info, cc->na - 1);
      cc->tostore = 0;
      fs()->freereg = cc->t->info + 1;
    }
  }

  void lastListField(ConsControl* cc) {
    if (cc->tostore == 0) return;
    if (cc->v.k == VCALL) {
      setCallReturns(fs(), &cc->v, LUA_MULTRET);
      codeABx(fs(), OP_SETLISTO, cc->t->info, cc->na - 1);
    } else {
      if (cc->v.k != VVOID) exp2nextreg(fs(), &cc->v);
      codeABx(fs(), OP_SETLIST, cc->t->info, cc->na - 1);
    }
    fs()->freereg = cc->t->info + 1;
  }

  void listField(ConsControl* cc) {
    expr(&cc->v);
    ls_->checkLimit(cc->na, MAXARG_Bx - 1, "items in a constructor");
    cc->na++;
    cc->tostore++;
  }

  void constructor(ExpDesc* t) {
    FuncState* f = fs();
    int line = ls_->linenumber;
    int pc = codeABC(f, OP_NEWTABLE, 0, 0, 0);
    ConsControl cc;
    cc.t = t;
    initExp(t, VRELOCABLE, pc);
    initExp(&cc.v, VVOID, 0);
    exp2nextreg(f, t);
    checkNext('{');
    do {
      closeListField(&cc);
      if (ls_->t.token == '}') break;
      switch (ls_->t.token) {
        case TK_NAME:
          ls_->lookaheadToken();
          if (ls_->lookahead.token != '=')
            listField(&cc);
          else
            recField(&cc);
          break;
        case '[': recField(&cc); break;
        default: listField(&cc); break;
      }
    } while (testNext(',') || testNext(';'));
    checkMatch('}', '{', line);
    lastListField(&cc);
    Instruction& ins = f->f->code[static_cast<size_t>(pc)];
    SETARG_B(ins, int2fb(static_cast<unsigned>(cc.na)));
    int lh = cc.nh ? log2i(static_cast<unsigned>(cc.nh + cc.nh / 3)) + 1 : 0;
    SETARG_C(ins, lh > 26 ? 26 : lh);
  }

  void parList() {
    FuncState* f = fs();
    Proto* p = f->f;
    int nparams = 0;
    bool dots = false;
    if (ls_->t.token != ')') {
      do {
        switch (ls_->t.token) {
          case TK_DOTS:
            ls_->next();
            dots = true;
            break;
          case TK_NAME: newLocalVar(strCheckName(), nparams++); break;
          default: ls_->syntaxError("<name> or `...' expected");
        }
      } while (!dots && testNext(','));
    }
    adjustLocalVars(nparams);
    p->numparams = static_cast<uint8_t>(f->nactvar);
    if (dots) {
      p->is_vararg = 1;
      newLocalVarStr("arg", 0);
      adjustLocalVars(1);
    }
    reserveRegs(f, f->nactvar);
  }

  void body(ExpDesc* e, bool needself, int line) {
    FuncState newfs;
    openFunc(&newfs);
    newfs.f->linedefined = line;
    checkNext('(');
    if (needself) {
      newLocalVarStr("self", 0);
      adjustLocalVars(1);
    }
    parList();
    checkNext(')');
    chunk();
    checkMatch(TK_END, TK_FUNCTION, line);
    closeFunc();
    pushClosure(&newfs, e);
  }

  int expList1(ExpDesc* v) {
    int n = 1;
    expr(v);
    while (testNext(',')) {
      exp2nextreg(fs(), v);
      expr(v);
      n++;
    }
    return n;
  }

  void funcArgs(ExpDesc* f) {
    FuncState* fst = fs();
    ExpDesc args;
    int line = ls_->linenumber;
    switch (ls_->t.token) {
      case '(':
        if (line != ls_->lastline) ls_->syntaxError("ambiguous syntax (function call x new statement)");
        ls_->next();
        if (ls_->t.token == ')') {
          args.k = VVOID;
        } else {
          expList1(&args);
          setCallReturns(fst, &args, LUA_MULTRET);
        }
        checkMatch(')', '(', line);
        break;
      case '{': constructor(&args); break;
      case TK_STRING:
        codeString(&args, ls_->t.seminfo.ts);
        ls_->next();
        break;
      default: ls_->syntaxError("function arguments expected");
    }
    int base = f->info;
    int nparams;
    if (args.k == VCALL) {
      nparams = LUA_MULTRET;
    } else {
      if (args.k != VVOID) exp2nextreg(fst, &args);
      nparams = fst->freereg - (base + 1);
    }
    initExp(f, VCALL, codeABC(fst, OP_CALL, base, nparams + 1, 2));
    fixLine(fst, line);
    fst->freereg = base + 1;
  }

  void prefixExp(ExpDesc* v) {
    switch (ls_->t.token) {
      case '(': {
        int line = ls_->linenumber;
        ls_->next();
        expr(v);
        checkMatch(')', '(', line);
        dischargeVars(fs(), v);
        return;
      }
      case TK_NAME: singleVar(v, true); return;
      default: ls_->syntaxError("unexpected symbol");
    }
  }

  void primaryExp(ExpDesc* v) {
    FuncState* f = fs();
    prefixExp(v);
    for (;;) {
      switch (ls_->t.token) {
        case '.': field(v); break;
        case '[': {
          ExpDesc key;
          exp2anyreg(f, v);
          yindex(&key);
          indexed(f, v, &key);
          break;
        }
        case ':': {
          ExpDesc key;
          ls_->next();
          checkName(&key);
          self(f, v, &key);
          funcArgs(v);
          break;
        }
        case '(':
        case TK_STRING:
        case '{':
          exp2nextreg(f, v);
          funcArgs(v);
          break;
        default: return;
      }
    }
  }

  void simpleExp(ExpDesc* v) {
    switch (ls_->t.token) {
      case TK_NUMBER:
        initExp(v, VKNUM, 0);
        v->nval = ls_->t.seminfo.r;
        break;
      case TK_STRING: codeString(v, ls_->t.seminfo.ts); break;
      case TK_WSTRING: initExp(v, VK, wstringK(fs(), ls_->t.seminfo.ts)); break;
      case TK_NIL: initExp(v, VNIL, 0); break;
      case TK_TRUE: initExp(v, VTRUE, 0); break;
      case TK_FALSE: initExp(v, VFALSE, 0); break;
      case '{': constructor(v); return;
      case TK_FUNCTION:
        ls_->next();
        body(v, false, ls_->linenumber);
        return;
      default: primaryExp(v); return;
    }
    ls_->next();
  }

  static UnOpr getUnOpr(int op) {
    switch (op) {
      case TK_NOT: return OPR_NOT;
      case '-': return OPR_MINUS;
      default: return OPR_NOUNOPR;
    }
  }

  static BinOpr getBinOpr(int op) {
    switch (op) {
      case '+': return OPR_ADD;
      case '-': return OPR_SUB;
      case '*': return OPR_MULT;
      case '/': return OPR_DIV;
      case '&': return OPR_BAND;
      case '|': return OPR_BOR;
      case TK_SHL: return OPR_SHL;
      case TK_SHR: return OPR_SHR;
      case '^': return OPR_POW;
      case TK_CONCAT: return OPR_CONCAT;
      case TK_NE: return OPR_NE;
      case TK_EQ: return OPR_EQ;
      case '<': return OPR_LT;
      case TK_LE: return OPR_LE;
      case '>': return OPR_GT;
      case TK_GE: return OPR_GE;
      case TK_AND: return OPR_AND;
      case TK_OR: return OPR_OR;
      default: return OPR_NOBINOPR;
    }
  }

  BinOpr subExpr(ExpDesc* v, int limit) {
    enterLevel();
    UnOpr uop = getUnOpr(ls_->t.token);
    if (uop != OPR_NOUNOPR) {
      ls_->next();
      subExpr(v, UNARY_PRIORITY);
      prefix(fs(), uop, v);
    } else {
      simpleExp(v);
    }
    BinOpr op = getBinOpr(ls_->t.token);
    while (op != OPR_NOBINOPR && priority[op].left > limit) {
      ExpDesc v2;
      ls_->next();
      infix(fs(), op, v);
      BinOpr nextop = subExpr(&v2, priority[op].right);
      posfix(fs(), op, v, &v2);
      op = nextop;
    }
    leaveLevel();
    return op;
  }

  void expr(ExpDesc* v) { subExpr(v, -1); }

  int cond() {
    ExpDesc v;
    expr(&v);
    if (v.k == VNIL) v.k = VFALSE;
    goIfTrue(fs(), &v);
    return v.f;
  }

  // Statements
  void checkConflict(LHSAssign* lh, ExpDesc* v) {
    FuncState* f = fs();
    int extra = f->freereg;
    bool conflict = false;
    for (; lh; lh = lh->prev) {
      if (lh->v.k == VINDEXED) {
        if (lh->v.info == v->info) {
          conflict = true;
          lh->v.info = extra;
        }
        if (lh->v.aux == v->info) {
          conflict = true;
          lh->v.aux = extra;
        }
      }
    }
    if (conflict) {
      codeABC(f, OP_MOVE, f->freereg, v->info, 0);
      reserveRegs(f, 1);
    }
  }

  void assignment(LHSAssign* lh, int nvars) {
    ExpDesc e;
    checkCondition(lh->v.k >= VLOCAL && lh->v.k <= VINDEXED, "syntax error");
    if (testNext(',')) {
      LHSAssign nv;
      nv.prev = lh;
      primaryExp(&nv.v);
      if (nv.v.k == VLOCAL) checkConflict(lh, &nv.v);
      assignment(&nv, nvars + 1);
    } else {
      checkNext('=');
      int nexps = expList1(&e);
      if (nexps != nvars) {
        adjustAssign(nvars, nexps, &e);
        if (nexps > nvars) fs()->freereg -= nexps - nvars;
      } else {
        setCallReturns(fs(), &e, 1);
        storeVar(fs(), &lh->v, &e);
        return;
      }
    }
    initExp(&e, VNONRELOC, fs()->freereg - 1);
    storeVar(fs(), &lh->v, &e);
  }

  // The optional loop number after `break' or `continue': the number of enclosing loops
  // to pass minus one.
  int loopLevel() {
    if (ls_->t.token != TK_NUMBER) return 0;
    lua_Number n = ls_->t.seminfo.r;
    if (n != std::floor(n)) ls_->syntaxError("loop block number must be integer");
    if (n < 1 || n > 100) ls_->syntaxError("loop block number out of range");
    ls_->next();
    return static_cast<int>(n) - 1;
  }

  // `break' and `continue', numbered or not. Upvalues of every block left are closed, whether
  // the jump leaves the loop or goes on to its next round.
  void loopExitStat(bool isContinue) {
    FuncState* f = fs();
    ls_->next();
    int level = loopLevel();
    BlockCnt* bl = f->bl;
    BlockCnt* target = nullptr;
    bool upval = false;
    for (int pass = 0; pass <= level && bl; pass++) {
      while (bl && !bl->isbreakable) {
        upval |= bl->upval;
        bl = bl->previous;
      }
      if (!bl) break;
      if (pass == level) target = bl;
      else bl = bl->previous;
    }
    if (!target) ls_->syntaxError(isContinue ? "no loop to continue" : "no loop to break");
    if (upval) codeABC(f, OP_CLOSE, target->nactvar, 0, 0);
    concat(f, isContinue ? &target->continuelist : &target->breaklist, jump(f));
  }

  void whileStat(int line) {
    FuncState* f = fs();
    ls_->next();
    int whileinit = jump(f);
    int expinit = getLabel(f);
    ExpDesc v;
    expr(&v);
    if (v.k == VK || v.k == VKNUM) v.k = VTRUE;
    int lineexp = ls_->linenumber;
    goIfFalse(f, &v);
    concat(f, &v.f, f->jpc);
    f->jpc = NO_JUMP;
    // the condition is moved after the body so each iteration runs one jump less
    std::vector<Instruction> condcode(f->f->code.begin() + expinit, f->f->code.end());
    f->f->code.resize(static_cast<size_t>(expinit));
    f->f->lineinfo.resize(static_cast<size_t>(expinit));
    f->pc = expinit;
    BlockCnt bl;
    enterBlock(&bl, true);
    checkNext(TK_DO);
    block();
    patchToHere(f, whileinit);
    patchToHere(f, bl.continuelist);
    int offset = f->pc - expinit;
    if (v.t != NO_JUMP) v.t += offset;
    if (v.f != NO_JUMP) v.f += offset;
    for (Instruction ins : condcode) emit(f, ins, lineexp);
    checkMatch(TK_END, TK_WHILE, line);
    leaveBlock();
    patchList(f, v.t, expinit);
    patchToHere(f, v.f);
  }

  void repeatStat(int line) {
    FuncState* f = fs();
    int repeatinit = getLabel(f);
    BlockCnt bl;
    enterBlock(&bl, true);
    ls_->next();
    block();
    checkMatch(TK_UNTIL, TK_REPEAT, line);
    patchToHere(f, bl.continuelist);
    int flist = cond();
    patchList(f, flist, repeatinit);
    leaveBlock();
  }

  void exp1() {
    ExpDesc e;
    expr(&e);
    exp2nextreg(fs(), &e);
  }

  void forBody(int base, int line, int nvars, bool isnum) {
    FuncState* f = fs();
    adjustLocalVars(nvars);
    checkNext(TK_DO);
    int prepjump = isnum ? jump(f) : codeAsBx(f, OP_TFORPREP, base, NO_JUMP);
    BlockCnt bl;
    enterBlock(&bl, true);
    int prep = getLabel(f);
    block();
    patchToHere(f, prepjump);
    patchToHere(f, bl.continuelist);
    int endfor = isnum ? codeAsBx(f, OP_FORLOOP, base, NO_JUMP) : codeABC(f, OP_TFORLOOP, base, 0, nvars - 3);
    fixLine(f, line);
    patchList(f, isnum ? endfor : jump(f), prep);
    leaveBlock();
  }

  void forNum(TString* varname, int line) {
    FuncState* f = fs();
    int base = f->freereg;
    newLocalVar(varname, 0);
    newLocalVarStr("(for limit)", 1);
    newLocalVarStr("(for step)", 2);
    checkNext('=');
    exp1();
    checkNext(',');
    exp1();
    if (testNext(',')) {
      exp1();
    } else {
      codeABx(f, OP_LOADK, f->freereg, numberK(f, 1));
      reserveRegs(f, 1);
    }
    codeABC(f, OP_SUB, base, base, base + 2);
    forBody(base, line, 3, true);
  }

  void forList(TString* indexname) {
    FuncState* f = fs();
    ExpDesc e;
    int nvars = 0;
    int base = f->freereg;
    newLocalVarStr("(for generator)", nvars++);
    newLocalVarStr("(for state)", nvars++);
    newLocalVar(indexname, nvars++);
    while (testNext(',')) newLocalVar(strCheckName(), nvars++);
    checkNext(TK_IN);
    int line = ls_->linenumber;
    adjustAssign(nvars, expList1(&e), &e);
    code::checkStack(f, 3);
    forBody(base, line, nvars, false);
  }

  void forStat(int line) {
    BlockCnt bl;
    enterBlock(&bl, false);
    ls_->next();
    TString* varname = strCheckName();
    switch (ls_->t.token) {
      case '=': forNum(varname, line); break;
      case ',':
      case TK_IN: forList(varname); break;
      default: ls_->syntaxError("`=' or `in' expected");
    }
    checkMatch(TK_END, TK_FOR, line);
    leaveBlock();
  }

  int testThenBlock() {
    ls_->next();
    int flist = cond();
    checkNext(TK_THEN);
    block();
    return flist;
  }

  void ifStat(int line) {
    FuncState* f = fs();
    int escapelist = NO_JUMP;
    int flist = testThenBlock();
    while (ls_->t.token == TK_ELSEIF) {
      concat(f, &escapelist, jump(f));
      patchToHere(f, flist);
      flist = testThenBlock();
    }
    if (ls_->t.token == TK_ELSE) {
      concat(f, &escapelist, jump(f));
      patchToHere(f, flist);
      ls_->next();
      block();
    } else {
      concat(f, &escapelist, flist);
    }
    patchToHere(f, escapelist);
    checkMatch(TK_END, TK_IF, line);
  }

  void localFunc() {
    FuncState* f = fs();
    ExpDesc v, b;
    newLocalVar(strCheckName(), 0);
    initExp(&v, VLOCAL, f->freereg);
    reserveRegs(f, 1);
    adjustLocalVars(1);
    body(&b, false, ls_->linenumber);
    storeVar(f, &v, &b);
    getLocVar(f, f->nactvar - 1).startpc = f->pc;
  }

  void localStat() {
    int nvars = 0;
    int nexps;
    ExpDesc e;
    do {
      newLocalVar(strCheckName(), nvars++);
    } while (testNext(','));
    if (testNext('=')) {
      nexps = expList1(&e);
    } else {
      e.k = VVOID;
      nexps = 0;
    }
    adjustAssign(nvars, nexps, &e);
    adjustLocalVars(nvars);
  }

  bool funcName(ExpDesc* v) {
    bool needself = false;
    singleVar(v, true);
    while (ls_->t.token == '.') field(v);
    if (ls_->t.token == ':') {
      needself = true;
      field(v);
    }
    return needself;
  }

  void funcStat(int line) {
    ExpDesc v, b;
    ls_->next();
    bool needself = funcName(&v);
    body(&b, needself, line);
    storeVar(fs(), &v, &b);
    fixLine(fs(), line);
  }

  void exprStat() {
    FuncState* f = fs();
    LHSAssign v;
    primaryExp(&v.v);
    if (v.v.k == VCALL) {
      setCallReturns(f, &v.v, 0);
    } else {
      v.prev = nullptr;
      assignment(&v, 1);
    }
  }

  void retStat() {
    FuncState* f = fs();
    ExpDesc e;
    int first, nret;
    ls_->next();
    if (blockFollow(ls_->t.token) || ls_->t.token == ';') {
      first = nret = 0;
    } else {
      nret = expList1(&e);
      if (e.k == VCALL) {
        setCallReturns(f, &e, LUA_MULTRET);
        if (nret == 1) SET_OP(getCode(f, &e), OP_TAILCALL);
        first = f->nactvar;
        nret = LUA_MULTRET;
      } else if (nret == 1) {
        first = exp2anyreg(f, &e);
      } else {
        exp2nextreg(f, &e);
        first = f->nactvar;
      }
    }
    codeABC(f, OP_RETURN, first, nret + 1, 0);
  }

  bool statement() {
    int line = ls_->linenumber;
    switch (ls_->t.token) {
      case TK_IF: ifStat(line); return false;
      case TK_WHILE: whileStat(line); return false;
      case TK_DO:
        ls_->next();
        block();
        checkMatch(TK_END, TK_DO, line);
        return false;
      case TK_FOR: forStat(line); return false;
      case TK_REPEAT: repeatStat(line); return false;
      case TK_FUNCTION: funcStat(line); return false;
      case TK_LOCAL:
        ls_->next();
        if (testNext(TK_FUNCTION))
          localFunc();
        else
          localStat();
        return false;
      case TK_RETURN: retStat(); return true;
      case TK_BREAK: loopExitStat(false); return true;
      case TK_CONTINUE: loopExitStat(true); return true;
      default: exprStat(); return false;
    }
  }
};

}  // namespace

Proto* parseChunk(lua_State* L, ZIO* z, const char* name) {
  LexState lexstate;
  FuncState funcstate;
  lexstate.L = L;
  lexstate.z = z;
  lexstate.lookahead.token = TK_EOS;
  lexstate.source = newStr(L, name);
  lexstate.fs = nullptr;
  startLexer(&lexstate);
  Parser parser(&lexstate);
  parser.mainFunction(&funcstate);
  specializeCode(funcstate.f);
  return funcstate.f;
}

}  // namespace luai
