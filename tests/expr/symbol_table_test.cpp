// Symbol table and scopes: innermost-first lookup as scopes open, close and open again in the
// next pass; `.var` moves; labels in whole assemblies (double definitions, `ignore-case`, names
// from the command line); and sources with very many names or scopes.

#include "expr/symbol_table.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "driver/assembler.h"
#include "support/assemble.h"

namespace zendra {
namespace {

using testing::assemble;
using testing::assembleToHex;

// Runs a script of blank-separated steps against a table whose names are single letters:
//   def:x   define x in the current scope        open / close / reset   the scope operations
//   var:x   move the entry found for x to the global scope
//   x:N     expect lookup(x) to be the entry defined N-th (from 0); x:- expects none
std::string runScript(const std::string& script) {
  SymbolTable table;
  std::istringstream steps(script);
  std::string step;
  while (steps >> step) {
    SCOPED_TRACE(step);
    if (step == "open") {
      table.openScope(nullptr);
    } else if (step == "close") {
      if (!table.closeScope()) return "close failed";
    } else if (step == "reset") {
      table.resetScopes();
    } else if (step.rfind("def:", 0) == 0) {
      table.define(static_cast<uint32_t>(step[4] - 'a'));
    } else if (step.rfind("var:", 0) == 0) {
      SymbolEntry* entry = table.lookup(static_cast<uint32_t>(step[4] - 'a'));
      if (entry == nullptr) return step + " found nothing";
      table.moveToGlobal(entry);
    } else {
      SymbolEntry* entry = table.lookup(static_cast<uint32_t>(step[0] - 'a'));
      std::string found = entry == nullptr ? "-" : std::to_string(entry->order);
      if (found != step.substr(2)) return step + " found " + found;
    }
  }
  return "ok";
}

TEST(SymbolTable, FindsTheInnermostScopeFirst) {
  const char* scripts[] = {
      "def:x open x:0 def:x x:1 close x:0",                 // hiding and revealing
      "def:x open open x:0 def:y close y:- x:0 close",      // outer names through inner scopes
      "open def:x close x:- reset x:- open x:0 close x:-",  // the next pass numbers scopes alike
      "open def:x close open def:x close reset open x:0 close open x:1 close x:-",
      "def:x def:x x:0",       // equal names: the first defined
      "open def:x reset x:-",  // a reset closes open scopes
      "def:x open def:x open x:1 def:x x:2 close x:1 close x:0",
  };
  for (const char* script : scripts) {
    SCOPED_TRACE(script);
    EXPECT_EQ(runScript(script), "ok");
  }
}

TEST(SymbolTable, VariablesMoveToTheGlobalScope) {
  const char* scripts[] = {
      "open def:x var:x x:0 close x:0 reset open x:0 close x:0",
      "def:x open def:x var:x x:0 close x:0",  // an earlier global entry keeps coming first
      "open def:y open def:x var:x x:1 close def:x x:2 close x:1",
      "open def:x open def:x var:x x:0 close x:0 close x:1",
      "open def:x def:x var:x x:1 close x:0",  // a second entry of that scope shows through
  };
  for (const char* script : scripts) {
    SCOPED_TRACE(script);
    EXPECT_EQ(runScript(script), "ok");
  }
}

// The rule written out plainly: scan the stack from the top, take the first entry in definition
// order whose scope is that frame's. Random steps must agree with it after each one.
TEST(SymbolTable, AgreesWithAPlainScanOfTheScopeStack) {
  struct Model {
    std::vector<std::pair<uint32_t, uint32_t>> entries;  // name, scope
    std::vector<uint32_t> stack{1};
    uint32_t counter = 1;
    int lookup(uint32_t name) const {
      for (auto frame = stack.rbegin(); frame != stack.rend(); ++frame)
        for (size_t i = 0; i < entries.size(); ++i)
          if (entries[i] == std::make_pair(name, *frame)) return static_cast<int>(i);
      return -1;
    }
  };
  constexpr uint32_t kNames = 3;
  SymbolTable table;
  Model model;
  std::mt19937 random(1141);
  for (int step = 0; step < 5000; ++step) {
    uint32_t name = random() % kNames;
    switch (random() % 10) {
      case 0:
      case 1:
        table.openScope(nullptr);
        model.stack.push_back(++model.counter);
        break;
      case 2:
      case 3:
        ASSERT_EQ(table.closeScope(), model.stack.size() > 1);
        if (model.stack.size() > 1) model.stack.pop_back();
        break;
      case 4:
        if (random() % 3 != 0) break;
        table.resetScopes();
        model.stack = {1};
        model.counter = 1;
        break;
      case 5:
        if (int found = model.lookup(name); found >= 0) {
          table.moveToGlobal(table.lookup(name));
          model.entries[static_cast<size_t>(found)].second = 1;
        }
        break;
      default:
        table.define(name);
        model.entries.emplace_back(name, model.stack.back());
        break;
    }
    for (uint32_t n = 0; n < kNames; ++n) {
      const SymbolEntry* entry = table.lookup(n);
      ASSERT_EQ(entry == nullptr ? -1 : static_cast<int>(entry->order), model.lookup(n))
          << "name " << n << " after step " << step;
    }
  }
}

TEST(SymbolTable, ClosingTheGlobalScopeFails) {
  EXPECT_EQ(runScript("close"), "close failed");
  EXPECT_EQ(runScript("open close close"), "close failed");
  EXPECT_EQ(assembleToHex(" .bend\n"), "error 12");
}

TEST(SymbolTable, LabelsInWholeAssemblies) {
  std::string doubling = "a1 = 1\n";
  for (int i = 2; i <= 40; ++i) {
    std::string previous = "a" + std::to_string(i - 1);
    doubling += "a" + std::to_string(i) + " = " + previous + "+" + previous + "\n";
  }
  doubling += " .word a40, a16, a40+1\n";
  struct Case {
    const char* what;
    const char* source;
    const char* hex;
  };
  const Case cases[] = {
      {"an inner x hides the outer one until .bend",
       "x = 1\n .block\nx = 2\n .byte x\n .bend\n .byte x\n", "02 01"},
      {"in pass 2 the block's own x is known from its start",
       "x = 1\n .block\n .word x\nx = 2\n .bend\n", "02 00"},
      {"a label used before its definition", " .word later\nlater = $1234\n", "34 12"},
      {"`*` in a definition is the defining line's pc",
       "* = $1000\nhere = *\n nop\n .word here, *\n", "ea 00 10 01 10"},
      {"a definition's names are looked up where it is used",
       "x = 1\ny = x+1\n .byte y\n .block\nx = 10\n .byte y\n .bend\n .byte y\n", "02 0b 02"},
      {"each use sees the variable's current value",
       "v .var 1\ny = v+1\n .byte y\nv .var 5\n .byte y\n", "02 06"},
      {"a variable is global", "v .var 1\n .block\nv .var 2\n .bend\n .byte v\n", "02"},
      {"a variable made in a block outlives it", " .block\nv .var 3\n .bend\n .byte v\n", "03"},
      {"each macro expansion has its own label", "m .macro\nl nop\n jmp l\n .endm\n #m\n #m\n",
       "ea 4c 00 10 ea 4c 04 10"},
      {"a cycle of definitions", "a = b\nb = a+1\n .word a\n", "error 11"},
      {"a doubling chain", doubling.c_str(), "00 00 00 80 01 00"},
      {"the same name twice in a scope", "x = 1\nx = 2\n", "error 26"},
      {"an undefined label in pass 2", " lda undefined\n", "error 32"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(assembleToHex(c.source), c.hex);
  }
}

TEST(SymbolTable, MessagesCarryTheirArgument) {
  struct Case {
    const char* source;
    std::vector<std::string> args;
    const char* line;
  };
  const Case cases[] = {
      {"\n\nloop nop\nloop = 5\n",
       {},
       "t.asm(4) : error 26: double defined; \"loop\" previously defined at line 3\n"},
      {"Loop nop\nLOOP nop\n",
       {"--ignore-case"},
       "t.asm(2) : error 26: double defined; \"LOOP\" previously defined at line 1\n"},
      {"FAST = 2\n",
       {"-D", "FAST"},
       "t.asm(1) : error 26: double defined; \"FAST\" previously defined at line 0\n"},
      {" nop\n jmp Later\n", {}, "t.asm(2) : error 32: undefined label; 'Later'\n"},
      {"m .macro\n lda #\\2\n .endm\n #m 1\n", {}, "error 2: illegal parameter 2\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    testing::Assembly a = assemble(c.source, c.args);
    EXPECT_EQ(a.exitStatus, 1);
    EXPECT_NE(a.out.find(c.line), std::string::npos) << a.out;
  }
}

TEST(SymbolTable, NamesFromTheCommandLineAreGlobal) {
  struct Case {
    std::vector<std::string> args;
    const char* source;
    const char* hex;
  };
  const Case cases[] = {
      {{"-D", "TRACE"}, " .byte TRACE\n", "01"},
      {{"-D", "FAST=$10"}, " .byte FAST\n", "10"},
      {{"--define", "SIZE=2*8"}, " .byte SIZE\n", "10"},
      {{"-D", "A=B"}, "B = 7\n .byte A\n", "07"},
      // Only the first `=` splits; the value text `B=2` reads as far as it parses.
      {{"-D", "A=B=2"}, "B = 7\n .byte A\n .ifdef A\n .byte 1\n .endif\n", "07 01"},
      {{"-D", "X=1"}, " .block\nX = 2\n .byte X\n .bend\n .byte X\n", "02 01"},
      {{"-D", "TRACE", "--ignore-case"}, " .byte trace\n", "01"},
      // The made-up definition record never runs, so its `*` keeps the record's initial pc.
      {{"-D", "T=*"}, "* = $2000\n .word T\n", "00 10"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back());
    EXPECT_EQ(assembleToHex(c.source, c.args), c.hex);
  }
}

TEST(SymbolTable, LetterCaseCountsUnlessIgnored) {
  struct Case {
    const char* source;
    bool ignoreCase;
    const char* hex;
  };
  const Case cases[] = {
      {"Loop nop\n jmp LOOP\n", false, "error 32"},
      {"Loop nop\n jmp LOOP\n", true, "ea 4c 00 10"},
      // Names too long for a string's inline buffer, lowered through heap temporaries.
      {"FirstRatherLongLabel nop\nSecondRatherLongLabel nop\n jmp FIRSTRATHERLONGLABEL\n"
       " jmp secondratherlonglabel\n",
       true, "ea ea 4c 00 10 4c 01 10"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    std::vector<std::string> args;
    if (c.ignoreCase) args.push_back("--ignore-case");
    EXPECT_EQ(assembleToHex(c.source, args), c.hex);
  }

  std::ostringstream out;
  RunSettings settings;
  settings.caseSensitive = false;
  Assembler as(settings, out);
  uint32_t id = as.internName("SomeRatherLongLabelName");
  EXPECT_EQ(as.internName("SOMERATHERLONGLABELNAME"), id);
  EXPECT_EQ(as.names.name(id), "someratherlonglabelname");  // the symbol file shows this
}

// Sources with very many names, scopes or nesting levels: each must simply assemble.
TEST(SymbolTable, ManyNamesAndScopesAssemble) {
  struct Case {
    const char* what;
    std::string source;
    const char* hex;
  };
  std::string distinct, local, moved, nested;
  for (int i = 0; i < 200000; ++i) distinct += "l" + std::to_string(i) + "\n";
  distinct += " .word l0, l199999\n";
  local = "m .macro\nhere\nv .var here+1\n .endm\n";
  moved = "m .macro\nx\nx .var 1\n .endm\n";
  for (int i = 0; i < 100000; ++i) {
    local += " #m\n";
    moved += " #m\n";
  }
  local += " .word v\n";
  moved += " .word x\n";
  nested = "x = 1\n .block\nx = 2\n .bend\n";
  for (int i = 0; i < 100000; ++i) nested += " .block\n";
  for (int i = 0; i < 100000; ++i) nested += "v .var x\n";
  for (int i = 0; i < 100000; ++i) nested += " .bend\n";
  nested += " .byte v\n";
  const Case cases[] = {
      {"200,000 distinct labels", distinct, "00 10 00 10"},
      {"a label local to a macro called 100,000 times", local, "01 10"},
      {"a label made a variable in each of 100,000 expansions", moved, "01 00"},
      {"a shadowed name used 100,000 scopes deep", nested, "01"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(assembleToHex(c.source), c.hex);
  }
}

}  // namespace
}  // namespace zendra
