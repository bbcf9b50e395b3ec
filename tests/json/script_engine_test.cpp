#include "json/script_engine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "support/test_text.h"

namespace orvendel {
namespace {

using testing::hex;
using testing::utf8;

TEST(ScriptEngine, TextAnswers) {
  struct Row {
    const char* source;
    std::optional<std::string> want;
  } rows[] = {
      {"'abc'", "abc"},
      {"var a = 1; a + 1", "2"},  // the completion value of the last statement
      {"undefined", ""},
      {"var b = 2", ""},
      {"null", std::nullopt},
      {"1e21", "1e+21"},
      {"0.5", "0.5"},
      {"true", "true"},
      {"[1, 'x']", "1,x"},
      {"throw new Error('x')", std::nullopt},
      {"syntax error (", std::nullopt},
      {"({toString: function () { throw 1; }})", std::nullopt},
      {"'\\u4e2d'", utf8(u8"中")},
      {"'\\ud83d\\ude00'", utf8(u8"😀")},  // a surrogate pair comes out as one character
      {"'a\\ud83d'", utf8(u8"a\uFFFD")},  // a lone surrogate as U+FFFD
      {"'\\ude00\\ud83d'", utf8(u8"\uFFFD\uFFFD")},
  };
  ScriptEngine engine;
  ASSERT_TRUE(engine.usable());
  for (const Row& r : rows) {
    SCOPED_TRACE(r.source);
    const std::optional<std::string> got = engine.text(r.source);
    ASSERT_EQ(got.has_value(), r.want.has_value());
    if (got) {
      EXPECT_EQ(hex(*got), hex(*r.want));
    }
  }
}

TEST(ScriptEngine, NumberAndBooleanAnswers) {
  struct NumberRow {
    const char* source;
    std::optional<double> want;
  } numbers[] = {
      {"12", 12},
      {"'12'", 12},
      {"-0.5", -0.5},
      {"null", 0},
      {"true", 1},
      {"'abc'", std::nullopt},
      {"undefined", std::nullopt},
      {"throw 1", std::nullopt},
  };
  struct BooleanRow {
    const char* source;
    std::optional<bool> want;
  } booleans[] = {
      {"1 == 1", true},
      {"0", false},
      {"'x'", true},
      {"''", false},
      {"null", false},
      {"({})", true},
      {"throw 1", std::nullopt},
  };
  ScriptEngine engine;
  for (const NumberRow& r : numbers) {
    SCOPED_TRACE(r.source);
    EXPECT_EQ(engine.number(r.source), r.want);
  }
  for (const BooleanRow& r : booleans) {
    SCOPED_TRACE(r.source);
    EXPECT_EQ(engine.boolean(r.source), r.want);
  }
  const std::optional<double> nan = engine.number("0 / 0");  // a number as it is, NaN too
  ASSERT_TRUE(nan.has_value());
  EXPECT_TRUE(std::isnan(*nan));
}

TEST(ScriptEngine, OneGlobalScopeAcrossEvaluations) {
  ScriptEngine engine;
  EXPECT_TRUE(engine.run("var g = 5; function twice(x) { return 2 * x; }"));
  EXPECT_EQ(engine.text("twice(g)"), "10");
  EXPECT_FALSE(engine.run("undefined_name.x"));
  EXPECT_EQ(engine.text("g"), "5");  // an error changes nothing before it
  ScriptEngine other;
  EXPECT_EQ(other.text("typeof g"), "undefined");
}

TEST(ScriptEngine, StringsAreStoredNotRun) {
  ScriptEngine engine;
  const std::string value = utf8(u8"x = 1; '中😀'");
  ASSERT_TRUE(engine.set_global_string("s", value));
  EXPECT_EQ(engine.text("typeof x"), "undefined");
  EXPECT_EQ(engine.number("s.length"), 12);  // the emoji is two UTF-16 units
  EXPECT_EQ(hex(*engine.text("s")), hex(value));
}

TEST(ScriptEngine, RunningOutOfMemoryFailsThatEvaluationOnly) {
  constexpr std::size_t kLimit = std::size_t{8} << 20;
  ScriptEngine engine(kLimit);
  ASSERT_TRUE(engine.run("var keep = 'still here'"));
  const std::size_t before = engine.memory_in_use();
  EXPECT_FALSE(engine.run("var a = []; for (;;) a.push('item ' + a.length);"));
  EXPECT_LE(engine.memory_in_use(), kLimit);
  EXPECT_TRUE(engine.usable());
  EXPECT_EQ(engine.text("keep"), "still here");
  EXPECT_TRUE(engine.run("a = null"));
  EXPECT_LT(engine.memory_in_use(), before + (std::size_t{1} << 20));
  EXPECT_FALSE(engine.run("var s = 'x'; for (;;) s += s;"));
  EXPECT_FALSE(engine.set_global_string("big", std::string(kLimit, 'x')));
  EXPECT_EQ(engine.text("1 + 1"), "2");
}

TEST(ScriptEngine, DeepRecursionIsAnError) {
  ScriptEngine engine;
  EXPECT_FALSE(engine.run("(function f() { f(); })()"));
  EXPECT_EQ(engine.text("'ok'"), "ok");
}

TEST(ScriptEngine, AFatalErrorEndsTheEngineNotTheProcess) {
  ScriptEngine engine;
  ASSERT_TRUE(engine.run("var g = 1"));
  engine.raise_fatal_error();
  EXPECT_FALSE(engine.usable());
  EXPECT_EQ(engine.memory_in_use(), 0u);  // the heap was given back whole
  EXPECT_FALSE(engine.run("1"));
  EXPECT_EQ(engine.text("g"), std::nullopt);
  EXPECT_EQ(engine.number("1"), std::nullopt);
  EXPECT_EQ(engine.boolean("true"), std::nullopt);
  EXPECT_FALSE(engine.set_global_string("s", "x"));
  ScriptEngine next;
  EXPECT_EQ(next.text("'fine'"), "fine");
}

}  // namespace
}  // namespace orvendel
