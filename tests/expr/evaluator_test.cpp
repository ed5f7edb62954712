// Expression evaluator: arithmetic that wraps, the lenient and strict treatment of undefined
// names, label and parameter leaves, cycles and deep trees, and the text form for messages.
// Trees are built by hand here, as the line parser would build them.

#include "expr/evaluator.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "driver/assembler.h"

namespace zendra {
namespace {

using K = ExprKind;

class EvaluatorTest : public ::testing::Test {
 protected:
  std::ostringstream out;
  Assembler as{RunSettings{}, out};

  ExprNode* leaf(ExprKind kind, int32_t value, Notation notation = Notation::None) {
    ExprNode* n = as.nodes.make();
    n->kind = kind;
    n->value = value;
    n->notation = notation;
    n->hasOperand = true;
    return n;
  }
  ExprNode* num(int32_t value, Notation notation = Notation::Decimal) {
    return leaf(K::Number, value, notation);
  }
  ExprNode* hex(uint32_t value) { return num(static_cast<int32_t>(value), Notation::Hex); }
  ExprNode* pc() { return leaf(K::ProgramCounter, 0); }
  ExprNode* label(std::string_view name) {
    ExprNode* n = leaf(K::Label, 0);
    uint32_t id = as.internName(name);
    n->setLabel(id, as.spellingOf(name, id));
    return n;
  }
  // An operator copies its left operand's prefix flags, so a prefix covers the whole expression.
  ExprNode* op(ExprKind kind, ExprNode* left, ExprNode* right) {
    OperatorNode* n = as.nodes.makeOperator();
    n->kind = kind;
    n->hasOperand = true;
    n->forceWord = left->forceWord;
    n->lowByte = left->lowByte;
    n->highByte = left->highByte;
    n->leftChild = left;
    n->rightChild = right;
    return n;
  }
  static ExprNode* low(ExprNode* n) {
    n->lowByte = true;
    return n;
  }
  static ExprNode* high(ExprNode* n) {
    n->highByte = true;
    return n;
  }
  static ExprNode* word(ExprNode* n) {
    n->forceWord = true;
    return n;
  }

  // `name = root` as a definition statement in the current scope.
  SymbolEntry* define(std::string_view name, ExprNode* root, int32_t definitionPc = 0x1000) {
    StatementRecord* st = as.newStatement();
    st->operand = root;
    SymbolEntry* entry = as.symbols.define(as.internName(name));
    entry->definitionKind = DefinitionKind::Statement;
    entry->definition = st;
    entry->definitionPc = definitionPc;
    return entry;
  }
};

TEST_F(EvaluatorTest, ComputesStrictlyLeftToRightAndWraps) {
  struct Case {
    const char* source;
    ExprNode* tree;
    int32_t value;
  };
  const Case cases[] = {
      {"1+2*3", op(K::Multiply, op(K::Add, num(1), num(2)), num(3)), 9},
      {"2*(3+4)", op(K::Multiply, num(2), op(K::Add, num(3), num(4))), 14},
      {"10-2-3", op(K::Subtract, op(K::Subtract, num(10), num(2)), num(3)), 5},
      {"7/0", op(K::Divide, num(7), num(0)), 0},
      {"0-7/2", op(K::Divide, op(K::Subtract, num(0), num(7)), num(2)), -3},
      {"$80000000/(0-1)", op(K::Divide, hex(0x80000000), op(K::Subtract, num(0), num(1))),
       INT32_MIN},
      {"$ffffffff+1", op(K::Add, hex(0xffffffff), num(1)), 0},
      {"$7fffffff+1", op(K::Add, hex(0x7fffffff), num(1)), INT32_MIN},
      {"65536*65536", op(K::Multiply, num(65536), num(65536)), 0},
      {"%1", num(1, Notation::Binary), 1},
      {"$f0&$3c", op(K::And, hex(0xf0), hex(0x3c)), 0x30},
      {"$f0.$0f", op(K::Or, hex(0xf0), hex(0x0f)), 0xff},
      {"$ff:$0f", op(K::Xor, hex(0xff), hex(0x0f)), 0xf0},
      {"** 2 at $1234", op(K::Multiply, pc(), num(2)), 0x2468},
      {"*+1 at $1234", op(K::Add, pc(), num(1)), 0x1235},
      {"a string argument", leaf(K::String, 99), 0},
      {"a line index", leaf(K::LineIndex, 41), 41},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    for (bool strict : {false, true}) {
      int32_t value = -1;
      ASSERT_TRUE(evaluate(as, c.tree, strict, 0x1234, value));
      EXPECT_EQ(value, c.value);
    }
  }
}

TEST_F(EvaluatorTest, UndefinedNamesAreLenientInPassOneAndErrorsInPassTwo) {
  struct Case {
    const char* source;
    ExprNode* tree;
    int32_t lenientValue;
    bool unresolved;  // handed back: a byte prefix opts out of the rule
  };
  const Case cases[] = {
      {"undefined", label("undefined"), 65535, true},
      {"undefined+1", op(K::Add, label("undefined"), num(1)), 65535, true},
      {"1+undefined*4", op(K::Multiply, op(K::Add, num(1), label("undefined")), num(4)), 65535,
       true},
      {"!undefined", word(label("undefined")), 65535, true},
      {"<undefined", low(label("undefined")), 255, false},
      {">undefined", high(label("undefined")), 255, false},
      {"<undefined+1", op(K::Add, low(label("undefined")), num(1)), 0, false},
      {">undefined+1", op(K::Add, high(label("undefined")), num(1)), 0, false},
      {">undefined-$ff", op(K::Subtract, high(label("undefined")), hex(0xff)), 0xff, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    int32_t value = -1;
    bool unresolved = !c.unresolved;
    ASSERT_TRUE(evaluate(as, c.tree, false, 0, value, &unresolved));
    EXPECT_EQ(value, c.lenientValue);
    EXPECT_EQ(unresolved, c.unresolved);
    EXPECT_TRUE(containsUnresolved(as, c.tree));

    as.errorCodePending = ErrorCode::Ok;
    EXPECT_FALSE(evaluate(as, c.tree, true, 0, value, &unresolved));
    EXPECT_EQ(as.errorCodePending, ErrorCode::UndefinedLabel);
    EXPECT_EQ(as.errorText, "undefined");
  }
}

TEST_F(EvaluatorTest, LabelLeavesFollowTheirDefinition) {
  SymbolEntry* address = as.symbols.define(as.internName("code"));
  address->definitionKind = DefinitionKind::Address;
  address->definitionPc = 0xc000;
  as.symbols.define(as.internName("bare"));  // no definition at all
  SymbolEntry* variable = define("counter", num(1));
  variable->hasVariable = true;
  as.symbols.setVariableValue(*variable, 77);
  define("here", op(K::Add, pc(), num(1)), 0x2000);         // `*` is the defining line's pc
  define("lowpart", op(K::Add, low(hex(0x1234)), num(1)));  // the definition's prefix applies
  define("broken", label("nowhere"));
  define("empty", leaf(K::Empty, 0));
  define("unparsed", nullptr);

  struct Case {
    const char* name;
    bool ok;
    int32_t value;
    ErrorCode code;
  };
  const Case cases[] = {
      {"code", true, 0xc000, ErrorCode::Ok},
      {"counter", true, 77, ErrorCode::Ok},
      {"here", true, 0x2001, ErrorCode::Ok},
      {"lowpart", true, 0x35, ErrorCode::Ok},
      {"bare", false, 0, ErrorCode::MissingLabel},
      {"unparsed", false, 0, ErrorCode::MissingLabel},
      {"broken", false, 0, ErrorCode::MissingOperand},  // replaces the inner "undefined label"
      {"empty", false, 0, ErrorCode::MissingOperand},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    as.errorCodePending = ErrorCode::Ok;
    int32_t value = -1;
    bool ok = evaluate(as, label(c.name), true, 0x5000, value);
    ASSERT_EQ(ok, c.ok);
    if (ok) {
      EXPECT_EQ(value, c.value);
    }
    EXPECT_EQ(as.errorCodePending, c.code);
  }
}

TEST_F(EvaluatorTest, MacroParametersComeFromTheActiveArguments) {
  MacroArguments args(4);
  args[0].value = 0x1234;
  args[1].kind = K::String;
  args[1].text = "a";
  args[2].kind = K::String;
  args[2].text = "ab";
  args[3].value = 65535;
  args[3].unresolved = true;

  struct Case {
    ExprKind kind;
    int32_t index;
    bool withArgs;
    bool ok;
    int32_t value;
    const char* errorText;
  };
  const Case cases[] = {
      {K::ParamValue, 1, true, true, 0x1234, ""},
      {K::ParamValue, 2, true, true, 65, ""},  // one character: its PETSCII code
      {K::ParamValue, 3, true, false, 0, "3"},
      {K::ParamValue, 5, true, false, 0, "5"},
      {K::ParamValue, 0, true, false, 0, "0"},
      {K::ParamValue, 1, false, false, 0, "1"},
      {K::ParamText, 2, true, true, 0, ""},
      {K::ParamText, 1, true, false, 0, "1"},
      {K::ParamText, 1, false, false, 0, "1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.kind == K::ParamValue ? "\\" : "@") + std::to_string(c.index) +
                 (c.withArgs ? " with arguments" : " outside a macro"));
    as.macroArgs = c.withArgs ? &args : nullptr;
    as.errorCodePending = ErrorCode::Ok;
    int32_t value = -1;
    bool ok = evaluate(as, leaf(c.kind, c.index), true, 0, value);
    ASSERT_EQ(ok, c.ok);
    if (ok) {
      EXPECT_EQ(value, c.value);
    } else {
      EXPECT_EQ(as.errorCodePending, ErrorCode::IllegalParameter);
      EXPECT_EQ(as.errorText, c.errorText);
    }
  }

  // An argument that was unresolved at the call keeps the whole expression unresolved.
  as.macroArgs = &args;
  ExprNode* sum = op(K::Add, leaf(K::ParamValue, 4), num(1));
  int32_t value = 0;
  bool unresolved = false;
  ASSERT_TRUE(evaluate(as, sum, false, 0, value, &unresolved));
  EXPECT_EQ(value, 65535);
  EXPECT_TRUE(unresolved);
  EXPECT_TRUE(containsUnresolved(as, sum));
  EXPECT_FALSE(containsUnresolved(as, op(K::Add, leaf(K::ParamValue, 1), num(1))));
  EXPECT_TRUE(containsUnresolved(as, leaf(K::ParamValue, 9)));
}

TEST_F(EvaluatorTest, LabelCyclesFailAtEveryUseWithoutRecursingForever) {
  define("a", label("b"));
  define("b", op(K::Add, label("a"), num(1)));
  define("self", op(K::Add, num(1), label("self")));
  for (const char* name : {"a", "b", "self", "a"}) {
    SCOPED_TRACE(name);
    for (bool strict : {false, true}) {
      as.errorCodePending = ErrorCode::Ok;
      int32_t value = 0;
      EXPECT_FALSE(evaluate(as, label(name), strict, 0, value));
      EXPECT_EQ(as.errorCodePending, ErrorCode::MissingOperand);
    }
  }
}

TEST_F(EvaluatorTest, DoublingDefinitionsEvaluateEachLabelOncePerUse) {
  define("a1", num(1));
  for (int i = 2; i <= 40; ++i) {
    std::string previous = "a" + std::to_string(i - 1);
    std::string_view name = as.texts.store("a" + std::to_string(i));
    std::string_view ref = as.texts.store(previous);
    define(name, op(K::Add, label(ref), label(ref)));
  }
  int32_t value = 0;
  ASSERT_TRUE(evaluate(as, label("a31"), true, 0, value));
  EXPECT_EQ(value, 1 << 30);
  ASSERT_TRUE(evaluate(as, label("a40"), true, 0, value));
  EXPECT_EQ(value, 0);  // 2 to the 39th, wrapped
}

TEST_F(EvaluatorTest, MemosDoNotOutliveTheirEvaluation) {
  ExprNode* v = num(5);
  define("v", v);
  define("twice", op(K::Add, label("v"), label("v")));
  int32_t value = 0;
  ASSERT_TRUE(evaluate(as, label("twice"), true, 0, value));
  EXPECT_EQ(value, 10);
  v->value = 6;  // as if its definition now read differently
  ASSERT_TRUE(evaluate(as, label("twice"), true, 0, value));
  EXPECT_EQ(value, 12);

  // A memo from 2^32 evaluations ago must not match again when the epoch counter wraps.
  as.evalMemo.epoch = 0;
  ASSERT_TRUE(evaluate(as, label("twice"), true, 0, value));
  v->value = 7;
  as.evalMemo.epoch = UINT32_MAX;
  ASSERT_TRUE(evaluate(as, num(0), true, 0, value));
  ASSERT_TRUE(evaluate(as, label("twice"), true, 0, value));
  EXPECT_EQ(value, 14);
}

TEST_F(EvaluatorTest, LongChainsEvaluateAndRenderWithoutDeepRecursion) {
  // 1+1+...+1 is deep on its left side: one node per term.
  constexpr int kTerms = 100000;
  ExprNode* chain = num(1);
  for (int i = 1; i < kTerms; ++i) chain = op(K::Add, chain, num(1));
  int32_t value = 0;
  ASSERT_TRUE(evaluate(as, chain, true, 0, value));
  EXPECT_EQ(value, kTerms);
  std::string expected(kTerms - 2, '(');
  expected += "1 + 1";
  for (int i = 2; i < kTerms; ++i) expected += ") + 1";
  EXPECT_EQ(render(chain), expected);

  // Parentheses nest on the right; as deep as the parser allows, they still evaluate.
  ExprNode* nested = num(1);
  for (int i = 1; i < 1000; ++i) nested = op(K::Add, num(1), nested);
  ASSERT_TRUE(evaluate(as, nested, true, 0, value));
  EXPECT_EQ(value, 1000);
  std::string nestedText = "1 + 1";
  for (int i = 2; i < 1000; ++i) nestedText = "1 + (" + nestedText + ")";
  EXPECT_EQ(render(nested), nestedText);

  // Beyond the depth bound the evaluation fails cleanly.
  ExprNode* tooDeep = num(1);
  for (int i = 0; i < kMaxEvalDepth + 10; ++i) tooDeep = op(K::Add, num(1), tooDeep);
  as.errorCodePending = ErrorCode::Ok;
  EXPECT_FALSE(evaluate(as, tooDeep, true, 0, value));
  EXPECT_EQ(as.errorCodePending, ErrorCode::InvalidExpression);
  ASSERT_TRUE(evaluate(as, chain, true, 0, value));  // and the evaluator is usable afterwards
}

TEST_F(EvaluatorTest, RendersEveryNotationPrefixAndParenthesis) {
  ExprNode* noOperand = as.nodes.make();
  ExprNode* openSum = op(K::Add, num(1), as.nodes.make());
  struct Case {
    ExprNode* tree;
    const char* text;
  };
  const Case cases[] = {
      {op(K::Multiply, op(K::Add, num(1), num(2)), num(3)), "(1 + 2) * 3"},
      {op(K::Multiply, num(2), op(K::Add, num(3), num(4))), "2 * (3 + 4)"},
      {op(K::Add, op(K::Add, num(1), num(2)), op(K::Add, num(3), num(4))), "(1 + 2) + (3 + 4)"},
      {op(K::Subtract, num(1), op(K::Subtract, num(2), op(K::Subtract, num(3), num(4)))),
       "1 - (2 - (3 - 4))"},
      {op(K::Add, low(hex(0x1234)), num(1)), "<$1234 + 1"},
      {op(K::Add, pc(), num(1)), "* + 1"},
      {op(K::Multiply, pc(), pc()), "* * *"},
      {op(K::Divide, op(K::And, op(K::Or, op(K::Xor, num(1), num(2)), num(3)), num(4)), num(5)),
       "(((1 : 2) . 3) & 4) / 5"},
      {num(42), "42"},
      {hex(0x12), "$12"},
      {hex(0x100), "$100"},  // 256 is not above 256: still the two-digit form
      {hex(0x101), "$0101"},
      {word(hex(0x12)), "!$0012"},
      {num(5, Notation::Binary), "%000000101"},
      {num(256, Notation::Binary), "%100000000"},
      {num(257, Notation::Binary), "%00000000100000001"},
      {word(num(1, Notation::Binary)), "!%00000000000000001"},
      {num(65, Notation::Character), "'A'"},
      {high(label("table")), ">table"},
      {op(K::Add, high(label("table")), num(1)), ">table + 1"},
      {low(num(0, Notation::None)), "<"},
      {leaf(K::ParamValue, 1), "  "},
      {op(K::Add, num(1), leaf(K::ParamValue, 1)), "1 + (  )"},
      {op(K::Add, leaf(K::String, 0), num(2)), "(  ) + 2"},
      {openSum, "1 + "},
      {noOperand, ""},
      {leaf(K::Empty, 0), ""},
      {nullptr, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(render(c.tree), c.text);
  }
}

}  // namespace
}  // namespace zendra
