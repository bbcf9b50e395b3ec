#include "json/support_script.h"

#include <gtest/gtest.h>

#include "json/script_engine.h"

namespace orvendel {
namespace {

struct Row {
  const char* source;
  const char* want;
};

void expect_answers(ScriptEngine& engine, const Row* begin, const Row* end) {
  for (const Row* r = begin; r != end; ++r) {
    SCOPED_TRACE(r->source);
    EXPECT_EQ(engine.text(r->source).value_or("<failed>"), r->want);
  }
}

TEST(SupportScript, OnAnEngineWithItsOwnJson) {
  ScriptEngine engine;
  ASSERT_TRUE(engine.run(support_script));
  const Row rows[] = {
      {"get__count({a: 1, b: 2, c: 3})", "3"},
      {"get__count({})", "0"},
      {"get__count([1, 2])", "2"},
      {"get__count('abc')", "3"},
      {"get__count(5)", "0"},
      {"get__count(null)", "0"},
      {"get__count(undefined)", "0"},
      // The engine's own JSON stays.
      {"/native code/.test(String(JSON.stringify))", "true"},
      {"/native code/.test(String(JSON.parse))", "true"},
      {"/native code/.test(String(Date.prototype.toJSON))", "true"},
      {"var names = ''; for (var k in {}) names += k + ','; names", "toJSONString,parseJSON,"},
      {"({a: [1]}).toJSONString()", "{\"a\":[1]}"},
      {"'{\"b\": 2}'.parseJSON().b", "2"},
  };
  expect_answers(engine, std::begin(rows), std::end(rows));
}

// The definitions for an engine without JSON, tried on one whose JSON has
// been taken away.
TEST(SupportScript, OnAnEngineWithoutJson) {
  ScriptEngine engine;
  ASSERT_TRUE(engine.run("delete this.JSON; delete Date.prototype.toJSON;"));
  ASSERT_EQ(engine.text("typeof JSON"), "undefined");
  ASSERT_TRUE(engine.run(support_script));
  const Row rows[] = {
      {"/native code/.test(String(JSON.stringify))", "false"},
      {"JSON.stringify({a: [1, 'x', null, true], b: {}, c: []})",
       "{\"a\":[1,\"x\",null,true],\"b\":{},\"c\":[]}"},
      {"JSON.stringify('q\"b\\\\\\b\\t\\n\\f\\r')", "\"q\\\"b\\\\\\b\\t\\n\\f\\r\""},
      {"JSON.stringify('\\u0001\\u007f\\u00ad\\u0600\\u070f\\u17b5\\u200c\\u2028\\u2060\\ufeff"
       "\\ufff0\\u4e2d')",
       "\"\\u0001\\u007f\\u00ad\\u0600\\u070f\\u17b5\\u200c\\u2028\\u2060\\ufeff\\ufff0\xE4\xB8\xAD"
       "\""},
      {"JSON.stringify([undefined, function () {}, NaN, -Infinity, 1e21])",
       "[null,null,null,null,1e+21]"},
      {"JSON.stringify({u: undefined, f: function () {}, n: 1})", "{\"n\":1}"},
      {"JSON.stringify(undefined) === undefined", "true"},
      {"JSON.stringify({a: 1, b: [2]}, null, 2)", "{\n  \"a\": 1,\n  \"b\": [\n    2\n  ]\n}"},
      {"JSON.stringify([1], null, '--')", "[\n--1\n]"},
      {"JSON.stringify({a: 1, b: 2, c: 3}, ['c', 'a'])", "{\"c\":3,\"a\":1}"},
      {"JSON.stringify({a: 1, b: 2}, function (k, v) { return k === 'b' ? undefined : v; })",
       "{\"a\":1}"},
      {"try { JSON.stringify(1, 5); } catch (e) { e.message }", "JSON.stringify"},
      {"JSON.stringify(new Date(Date.UTC(2024, 0, 2, 3, 4, 5)))", "\"2024-01-02T03:04:05Z\""},
      {"JSON.stringify(new Date(NaN))", "null"},
      {"JSON.stringify([new String('s'), new Number(2), new Boolean(false)])", "[\"s\",2,false]"},
      {"JSON.stringify({toJSON: function () { return 7; }})", "7"},
      {"var o = JSON.parse(' {\"a\" : [1, -2.5e1, {\"b\": \"x\\\\u4e2d\\\\n\"}], \"c\": false} ');"
       " JSON.stringify(o)",
       "{\"a\":[1,-25,{\"b\":\"x\xE4\xB8\xAD\\n\"}],\"c\":false}"},
      {"JSON.parse('\"\\u2028\"').charCodeAt(0)", "8232"},
      {"JSON.parse('[1, 2]', function (k, v) { return typeof v === 'number' ? v * 10 : v; })"
       ".join()",
       "10,20"},
      {"JSON.parse('{\"a\": 1, \"b\": 2}', function (k, v) { return k === 'a' ? undefined : v; })"
       ".toJSONString()",
       "{\"b\":2}"},
      {"JSON.parse('null') === null", "true"},
  };
  expect_answers(engine, std::begin(rows), std::end(rows));

  const char* const not_json[] = {
      "{a: 1}",
      "(function () { for (;;); })()",
      "pwned = 1",
      "'x'",
      "[1,]",
      "1 2",
      "",
      "tru",
      "{\"a\" 1}",
      "\"\\x41\"",
      "toJSONString",
      "01",
  };
  ASSERT_TRUE(
      engine.run("var probe = function (t) { try { JSON.parse(t); return 'parsed'; }"
                 " catch (e) { return e.name + ': ' + e.message; } }"));
  ASSERT_TRUE(engine.run("var pwned = 0"));
  for (const char* text : not_json) {
    SCOPED_TRACE(text);
    ASSERT_TRUE(engine.set_global_string("t", text));
    EXPECT_EQ(engine.text("probe(t)"), "SyntaxError: JSON.parse");
  }
  EXPECT_EQ(engine.text("pwned"), "0");
}

}  // namespace
}  // namespace orvendel
