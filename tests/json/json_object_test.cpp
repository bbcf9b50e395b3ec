#include "json/json_object.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "support/test_text.h"

namespace orvendel {
namespace {

using testing::hex;

// A per-track document as the platform serves it, already made GBK.
const Text kTrack =
    "{\"play_path_64\":\"http://audio.example/a/1.m4a\",\"play_path_32\":\"http://audio.example/a/"
    "1s.m4a\",\"title\":\"第一集 开始\",\"album_title\":\"三国演义\",\"n\":12345,\"half\":0.5,"
    "\"big\":1e21,\"neg\":-3,\"nil\":null,\"flag\":true,\"list\":[1,\"二\"],"
    "\"obj\":{\"k\":\"v\",\"deep\":{\"x\":\"\\u4e2d\"}},\"escaped\":\"a\\\"b\\n\"}";

// Whether the engine the object holds has a global `name`, read through the
// object's own operations.
Text global_type(JsonObject& json, const Text& name) {
  json.reset_as(kJsonObject);
  json.set_member_json("probe", "[typeof " + name + "]");
  return json.get_element_text(0, "probe");
}

TEST(JsonObject, ReadsMembersAsText) {
  JsonObject json;
  ASSERT_TRUE(json.parse(kTrack));
  struct Row {
    Text key;
    bool as_json;
    Text want;
  } rows[] = {
      {"play_path_64", false, "http://audio.example/a/1.m4a"},
      {"play_path_32", false, "http://audio.example/a/1s.m4a"},
      {"title", false, "第一集 开始"},
      {"album_title", false, "三国演义"},
      {"n", false, "12345"},
      {"half", false, "0.5"},
      {"big", false, "1e+21"},
      {"neg", false, "-3"},
      {"nil", false, ""},
      {"absent", false, ""},
      {"flag", false, "true"},
      {"obj.k", false, "v"},
      {"obj.deep.x", false, "中"},
      {"list[1]", false, "二"},
      {"absent.deeper", false, ""},  // a script error reads as ""
      {"title", true, "\"第一集 开始\""},
      {"escaped", true, "\"a\\\"b\\n\""},
      {"list", true, "[1,\"二\"]"},
      {"nil", true, "null"},
      {"absent", true, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.key);
    EXPECT_EQ(hex(json.get_member_text(r.key, r.as_json)), hex(r.want));
  }
  EXPECT_EQ(json.get_member_number("n"), 12345);
  EXPECT_EQ(json.get_member_number("title"), 0);
  EXPECT_EQ(json.get_member_number("absent"), 0);
  EXPECT_EQ(json.member_to_json("obj.deep"), "{\"x\":\"中\"}");
  EXPECT_TRUE(json.has_member("title"));
  EXPECT_FALSE(json.has_member("nil"));
  EXPECT_FALSE(json.has_member("absent"));
}

TEST(JsonObject, ReadsCharactersGbkLacksAsReplacements) {
  JsonObject json;
  ASSERT_TRUE(json.parse("{\"e\":\"\\ud83d\\ude00!\",\"z\":\"a\\u0000b\"}"));
  EXPECT_EQ(json.get_member_text("e"), "?!");  // one character, one replacement
  EXPECT_EQ(json.get_member_text("z"), "a");   // a text ends at a NUL
}

TEST(JsonObject, MemberTypeCodes) {
  JsonObject json;
  ASSERT_TRUE(json.parse(kTrack));
  struct Row {
    Text key;
    int want;
  } rows[] = {
      {"list", kJsonArray}, {"obj", kJsonObject},    {"title", kJsonString}, {"n", kJsonNumber},
      {"nil", kJsonAbsent}, {"absent", kJsonAbsent}, {"flag", kJsonOther},   {"", kJsonObject},
      {"[0]", kJsonOther},  // a bracket key is not joined with "." here
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.key);
    EXPECT_EQ(json.member_type(r.key), r.want);
  }
  ASSERT_TRUE(json.parse("[1]"));
  EXPECT_EQ(json.member_type(), kJsonArray);
}

TEST(JsonObject, CountsAndNamesWithoutTheSupportMethods) {
  JsonObject json;
  ASSERT_TRUE(json.parse("{\"a\":1,\"b\":{\"x\":1,\"y\":2},\"c\":[5,6],\"中\":\"s\"}"));
  struct Row {
    Text key;
    int want_count;
    TextList want_names;
  } rows[] = {
      {"", 4, {"a", "b", "c", "中"}},
      {"b", 2, {"x", "y"}},
      {"c", 2, {"0", "1"}},
      {"a", 0, {}},
      {"absent", 0, {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.key);
    EXPECT_EQ(json.member_count(r.key), r.want_count);
    TextList names = {"stale"};
    EXPECT_EQ(json.member_names(names, r.key), static_cast<int>(r.want_names.size()));
    EXPECT_EQ(names, r.want_names);
  }
  ASSERT_TRUE(json.parse("[\"x\",\"y\",\"z\"]"));
  EXPECT_EQ(json.member_count(), 3);
  EXPECT_EQ(json.get_member_text("[0]"), "x");  // joined without "."
  EXPECT_EQ(json.member_count("[0]"), 1);
}

TEST(JsonObject, ParseOutcomes) {
  struct Row {
    const char* name;
    Text text;
    bool want;
    Text want_json;
  } rows[] = {
      {"object", "{\"a\":1}", true, "{\"a\":1}"},
      {"array", " [1, 2] ", true, "[1,2]"},
      {"number", "12", true, "12"},
      {"string", "\"abc\"", true, "\"abc\""},
      {"false", "false", true, "false"},
      {"null", "null", false, "null"},
      {"empty", "", false, ""},
      {"HTML page", "<html><body>404</body></html>", false, "null"},
      {"truncated", "{\"a\":\"b", false, "null"},
      {"JavaScript, not JSON", "{a:1}", false, "null"},
      {"single quotes", "{'a':'b'}", false, "null"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    JsonObject json;
    EXPECT_EQ(json.parse(r.text), r.want);
    EXPECT_EQ(json.to_json(), r.want_json);
  }
}

TEST(JsonObject, EveryParseStartsAFreshEngine) {
  JsonObject json;
  ASSERT_TRUE(json.parse("{\"first\":1}"));
  json.set_member("written", "w");
  TextList names;
  json.member_names(names);  // declares globals in passing
  ASSERT_EQ(global_type(json, "ary"), "object");
  ASSERT_TRUE(json.parse("{\"second\":2}"));
  EXPECT_EQ(json.get_member_text("first"), "");
  EXPECT_EQ(json.get_member_text("written"), "");
  EXPECT_EQ(json.get_member_text("second"), "2");
  EXPECT_EQ(global_type(json, "ary"), "undefined");
  // A text that is not JSON leaves nothing of the document before it.
  EXPECT_FALSE(json.parse("{\"second\":"));
  EXPECT_EQ(json.get_member_text("second"), "");
}

// Whoever serves the document must not be able to run code in the program.
TEST(JsonObject, HostileDocumentsAreNeverRun) {
  const std::string deep(100000, '[');
  const Text rows[] = {
      "(pwned = {\"ok\":1})",  // would assign a global and be a document
      "{\"ok\":1}; pwned = 1",
      "{\"ok\":(pwned = 1)}",
      "[\"ok\", pwned = 1]",
      "\"pwned = 1\"",  // a JSON string is data, even one that reads as code
      deep,
      deep + std::string(100000, ']'),
      "(function(){for(;;);})()",  // would hang the worker for ever
  };
  for (const Text& text : rows) {
    SCOPED_TRACE(text.substr(0, 40));
    JsonObject json;
    const bool ok = json.parse(text);
    EXPECT_EQ(ok, text == "\"pwned = 1\"");
    EXPECT_EQ(json.get_member_text("ok"), "");
    EXPECT_EQ(global_type(json, "pwned"), "undefined");
  }
}

TEST(JsonObject, EveryWriteOperation) {
  JsonObject json;
  EXPECT_EQ(json.to_json(), "{}");  // a new object holds an empty document
  json.set_member("name", "三国");
  json.set_member("quote", "it's");  // breaks the expression: nothing changes
  json.set_member("parsed", "{\"x\":1}", true);
  json.set_member("empty", "", true);
  json.set_member_json("arr", "[1,2,3]");
  json.set_member_json("objs", "[{\"t\":\"甲\"}]");
  json.set_member_number("num", 2.5);
  json.push_value("x", "list");
  json.push_value("5", "list", true);
  EXPECT_EQ(json.to_json(),
            "{\"name\":\"三国\",\"parsed\":{\"x\":1},\"empty\":{},\"arr\":[1,2,3],"
            "\"objs\":[{\"t\":\"甲\"}],\"num\":2.5,\"list\":[\"x\",5]}");
  EXPECT_EQ(json.get_member_number("num"), 2.5);
  EXPECT_EQ(json.member_to_json("name"), "\"三国\"");
  EXPECT_EQ(json.get_element_text(1, "list"), "5");
  EXPECT_EQ(json.get_element_text(0, "list", true), "\"x\"");
  EXPECT_EQ(json.get_element_text(7, "list"), "");

  JsonObject member = json.get_member_object("parsed");
  EXPECT_EQ(member.to_json(), "{\"x\":1}");
  member.set_member("y", "2");  // a copy in an engine of its own
  EXPECT_EQ(json.member_to_json("parsed"), "{\"x\":1}");
  EXPECT_EQ(json.get_element_object(0, "objs").get_member_text("t"), "甲");
  EXPECT_EQ(json.get_member_object("absent").member_type(), kJsonAbsent);

  json.delete_member("name");
  EXPECT_FALSE(json.has_member("name"));

  json.reset_as(kJsonArray);
  json.push_value("a");
  json.set_element(1, "b");
  json.set_element(2, "true", true);
  EXPECT_EQ(json.to_json(), "[\"a\",\"b\",true]");
  json.remove_element(0);
  EXPECT_EQ(json.to_json(), "[\"b\",true]");
  json.reset_as(9);  // not a code of reset_as: nothing changes
  EXPECT_EQ(json.to_json(), "[\"b\",true]");
  json.reset_as(kJsonAbsent);
  EXPECT_EQ(json.to_json(), "{}");
  json.assign("x");
  EXPECT_EQ(json.to_json(), "\"x\"");
  json.assign("[1]", true);
  EXPECT_EQ(json.member_type(), kJsonArray);
  json.clear();
  EXPECT_EQ(json.to_json(), "{}");
}

TEST(JsonObject, CopiesShareTheEngineUntilOneParses) {
  JsonObject original;
  ASSERT_TRUE(original.parse("{\"a\":1}"));
  JsonObject copy = original;
  copy.set_member("b", "2");
  EXPECT_EQ(original.get_member_text("b"), "2");
  ASSERT_TRUE(original.parse("{\"c\":3}"));
  EXPECT_EQ(copy.get_member_text("b"), "2");
  EXPECT_EQ(original.get_member_text("b"), "");
}

TEST(JsonObject, AMemoryExhaustingScriptFailsCleanly) {
  JsonObject json;
  ASSERT_TRUE(json.parse(kTrack));
  json.set_member_json("huge", "(function(){var s='x';for(;;)s+=s;})()");
  EXPECT_FALSE(json.has_member("huge"));
  EXPECT_EQ(json.get_member_text("title"), "第一集 开始");
  ASSERT_TRUE(json.parse("{\"after\":1}"));
  EXPECT_EQ(json.get_member_text("after"), "1");
}

TEST(JsonObject, WorksOnOtherThreads) {
  std::vector<Text> titles(4);
  std::vector<std::thread> workers;
  for (std::size_t i = 0; i < titles.size(); ++i) {
    workers.emplace_back([&titles, i] {
      JsonObject json;  // one object per thread, as each download worker has
      for (int round = 0; round < 20; ++round) {
        if (!json.parse(kTrack)) return;
        titles[i] = json.get_member_text("title");
      }
    });
  }
  for (std::thread& t : workers) t.join();
  for (const Text& title : titles) EXPECT_EQ(title, "第一集 开始");
}

}  // namespace
}  // namespace orvendel
