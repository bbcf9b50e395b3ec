#include "web/cookie_merge.h"

#include <gtest/gtest.h>

namespace orvendel {
namespace {

TEST(MergeCookies, NewPairsFirstThenOldOnesNotSetAgain) {
  struct Row {
    Text old_cookies, new_cookies, want;
  } rows[] = {
      {"a=1; b=2", "b=3", "b=3; a=1"},
      {"a=1", "a=deleted", ""},
      {"a=1;a=2", "", "a=1"},
      {"", "x=1;x=1", "x=1"},
      {"", "x=1;x=2", "x=1; x=2"},
      {"", "a=hello world", "a=helloworld"},
      {"", "", ""},
      {"a=1; b=2; c=3", "b=9; d=4", "b=9; d=4; a=1; c=3"},
      {"a=1; b=deleted", "", "a=1"},     // an old pair marked deleted goes too
      {"a=1", "b=2;", "b=2; a=1"},       // a final ";" makes no item
      {"", "a=1;;b=2", "a=1; ; b=2"},    // an empty item between two ";" stays
      {"a=1", "A=2", "A=2; a=1"},        // names are case-sensitive
      {"s=\xA1\xA1v", "", "s=v"},        // full-width spaces removed as well
      {"a=deleted1", "", "a=deleted1"},  // only a final "=deleted" counts
      {"deleted", "", "deleted"},        // shorter than 8: compared whole
      {"=deleted", "", ""},
      {"a=1; a=1", "", "a=1"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE("old <" + r.old_cookies + "> new <" + r.new_cookies + ">");
    EXPECT_EQ(merge_cookies(r.old_cookies, r.new_cookies), r.want);
  }
}

TEST(CookieName, PartBeforeTheFirstEqualsTrimmed) {
  struct Row {
    Text pair, want;
  } rows[] = {
      {" sid =abc", "sid"}, {"flag", "flag"}, {" flag ", "flag"},
      {"=v", ""},           {"a=b=c", "a"},   {"", ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.pair);
    EXPECT_EQ(cookie_name(r.pair), r.want);
  }
}

TEST(HasCookieName, ComparesNamesExactly) {
  const TextList pairs = {"a=1", " b =2", "flag"};
  struct Row {
    Text name;
    bool want;
  } rows[] = {{"a", true}, {"b", true}, {"flag", true}, {"A", false}, {"", false}, {"a=1", false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(has_cookie_name(pairs, r.name), r.want);
  }
  EXPECT_FALSE(has_cookie_name({}, ""));
  EXPECT_TRUE(has_cookie_name({"=x"}, ""));
}

TEST(JoinDistinct, EachItemOnceInFirstSeenOrder) {
  struct Row {
    Text text, separator, want;
  } rows[] = {
      {"a; b; a", "; ", "a; b"}, {"", "; ", ""}, {"b; a; b; a", "; ", "b; a"},
      {"a,b,a,,", ",", "a,b,"},  // the empty item is an item; "a," splits into {"a"}
      {"a; a", ";", "a; a"},     // " a" differs from "a"
      {"abc", "", "abc"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE("<" + r.text + "> by <" + r.separator + ">");
    EXPECT_EQ(join_distinct(r.text, r.separator), r.want);
  }
}

TEST(IndexOfText, FirstEqualMemberOrMinusOne) {
  const TextList list = {"a", "b", "b"};
  EXPECT_EQ(index_of_text(list, "b"), 2);
  EXPECT_EQ(index_of_text(list, "a"), 1);
  EXPECT_EQ(index_of_text(list, "c"), -1);
  EXPECT_EQ(index_of_text(list, "B"), -1);
  EXPECT_EQ(index_of_text({}, ""), -1);
  EXPECT_EQ(index_of_text({"x", ""}, ""), 2);
}

}  // namespace
}  // namespace orvendel
