#include "text/regex_object.h"

#include <gtest/gtest.h>

#include "support/test_text.h"

namespace orvendel {
namespace {

using testing::hex;

struct Options {
  bool case_sensitive = false, multiline = true, global = true, quote_switch = false;
};

TEST(RegexObject, OptionsAndPatternLanguage) {
  const Options defaults, exact{true}, single_line{false, false}, first_only{false, true, false},
      quoted{false, true, true, true};
  struct Row {
    const char* name;
    Text pattern, subject;
    Options options;
    int want_count;
    Text want_replaced;  // every match replaced by "-"
  } rows[] = {
      {"case ignored by default", "a", "aA", defaults, 2, "--"},
      {"case sensitive", "a", "aA", exact, 1, "-A"},
      {"full-width letters fold too", "ａ", "Ａａ", defaults, 2, "--"},
      {"global by default", "a", "aaa", defaults, 3, "---"},
      {"first match only", "a", "aaa", first_only, 1, "-aa"},
      {"^ after a line feed in multiline", "^b", "a\nb", defaults, 1, "a\n-"},
      {"^ at the start only otherwise", "^b", "a\nb", single_line, 0, "a\nb"},
      {"$ before a line feed in multiline", "a$", "a\nb", defaults, 1, "-\nb"},
      {"$ at the very end only otherwise", "a$", "a\n", single_line, 0, "a\n"},
      {"a carriage return ends no line", "^b", "a\rb", defaults, 0, "a\rb"},
      {"dot stops at a line feed", ".+", "ab\ncd", defaults, 2, "-\n-"},
      {"dot matches a carriage return", "a.b", "a\rb", defaults, 1, "-"},
      {"\\s is the six ASCII blanks", "\\s", " \f\n\r\t\v", defaults, 6, "------"},
      {"\\s is not the full-width space", "\\s", "\xA1\xA1", defaults, 0, "\xA1\xA1"},
      {"\\S takes the full-width space", "\\S", "\xA1\xA1", defaults, 1, "-"},
      {"\\u writes a character", "\\u4e2d", "文中", defaults, 1, "文-"},
      {"\\x writes a character", "\\x41", "a", defaults, 1, "-"},
      {"[^] is any character", "a[^]b", "a\nb", defaults, 1, "-"},
      {"an unset group matches empty", "(a)?b\\1", "b", defaults, 1, "-"},
      {"quote switch", "#引号x#引号", "a\"x\"b", quoted, 1, "a-b"},
      {"the marker as written", "#引号x#引号", "a\"x\"b#引号x#引号", defaults, 1, "a\"x\"b-"},
      {"Chinese text", "第.章", "第一章第二章", defaults, 2, "--"},
      {"valid pattern, no match", "z", "abc", defaults, 0, "abc"},
      {"empty matches step one on", "x*", "abc", defaults, 4, "-a-b-c-"},
      {"empty match after a match", "a*", "aab", defaults, 3, "--b-"},
      {"empty subject", "x*", "", defaults, 1, "-"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    RegexObject re;
    const Options& o = r.options;
    ASSERT_TRUE(
        re.create(r.pattern, r.subject, o.case_sensitive, o.multiline, o.global, o.quote_switch));
    EXPECT_EQ(re.match_count(), r.want_count);
    EXPECT_EQ(hex(re.replace("-")), hex(r.want_replaced));
  }
}

TEST(RegexObject, OmittedOptionsAreTheDefaults) {
  RegexObject omitted, spelled;
  ASSERT_TRUE(omitted.create("^a", "A\na"));
  ASSERT_TRUE(spelled.create("^a", "A\na", false, true, true, false));
  EXPECT_EQ(omitted.match_count(), 2);
  EXPECT_EQ(omitted.replace("-"), spelled.replace("-"));
}

TEST(RegexObject, QuoteSwitchRewritesThePattern) {
  RegexObject re;
  re.create("#引号x#引号", "", false, true, true, true);
  EXPECT_EQ(re.get_pattern(), "\"x\"");
  re.create("#引号x", "");
  EXPECT_EQ(re.get_pattern(), "#引号x");
}

// Matches and captures among two-byte characters: byte positions in the GBK
// subject, first_index in UTF-16 units.
TEST(RegexObject, MatchesAndCapturesWithPositions) {
  RegexObject re;
  ASSERT_TRUE(re.create("第(\\d+)章([a-z]+)", "前言第1章ab，第22章XY"));
  ASSERT_EQ(re.match_count(), 2);
  EXPECT_EQ(re.submatch_count(), 2);
  struct Row {
    int match, capture;  // capture 0: match_text
    Text want;
    int want_position;
  } rows[] = {
      {1, 0, "第1章ab", 4}, {1, 1, "1", 6},   {1, 2, "ab", 9}, {2, 0, "第22章XY", 13},
      {2, 1, "22", 15},     {2, 2, "XY", 19}, {0, 0, "", -1},  {3, 0, "", -1},
      {1, 3, "", -1},       {2, -1, "", -1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.match) + "/" + std::to_string(r.capture));
    int position = 99;
    const Text got = r.capture == 0 ? re.match_text(r.match, &position)
                                    : re.submatch_text(r.match, r.capture, &position);
    EXPECT_EQ(hex(got), hex(r.want));
    EXPECT_EQ(position, r.want_position);
  }
  EXPECT_EQ(re.submatch_text(1, 0), "");  // captures count from 1
  EXPECT_EQ(re.first_index(1), 2);
  EXPECT_EQ(re.first_index(2), 8);
  EXPECT_EQ(re.first_index(3), -1);
}

TEST(RegexObject, PositionsOfUnusualSubjects) {
  struct Row {
    const char* name;
    Text pattern, subject;
    int match, capture;
    Text want;
    int want_position, want_first_index;
  } rows[] = {
      // A search for the capture's text from the match start would say 1.
      {"the capture's own place", "(a)(a)", "xaa", 1, 2, "a", 2, 1},
      {"a group that took no part", "(x)?(b)", "中b", 1, 1, "", -1, 1},
      {"an empty capture", "(a*)b", "中b", 1, 1, "", 2, 1},
      {"an invalid byte is one unit", "a",
       "\xFF"
       "a",
       1, 0, "a", 1, 1},
      {"an invalid pair is two units", "a",
       "\x81\x20"
       "a",
       1, 0, "a", 2, 2},
      {"the euro sign is one byte", "a",
       "\x80"
       "a",
       1, 0, "a", 1, 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    RegexObject re;
    ASSERT_TRUE(re.create(r.pattern, r.subject));
    int position = 99;
    const Text got = r.capture == 0 ? re.match_text(r.match, &position)
                                    : re.submatch_text(r.match, r.capture, &position);
    EXPECT_EQ(hex(got), hex(r.want));
    EXPECT_EQ(position, r.want_position);
    EXPECT_EQ(re.first_index(r.match), r.want_first_index);
  }
}

TEST(RegexObject, ReplacementSyntax) {
  struct Row {
    Text pattern, subject, replacement, want;
  } rows[] = {
      {"(\\w)(\\w)", "ab-cd", "$2$1", "ba-dc"},
      {"(\\w)(\\w)", "ab-cd", "$$", "$-$"},
      {"(\\w)(\\w)", "ab-cd", "$&$&", "abab-cdcd"},
      {"(\\w)(\\w)", "ab-cd", "[$`]", "[]-[ab-]"},
      {"(\\w)(\\w)", "ab-cd", "[$']", "[-cd]-[]"},
      {"(\\w)(\\w)", "ab-cd", "$01", "a-c"},
      {"(\\w)(\\w)", "ab-cd", "$12", "a2-c2"},  // no group 12: group 1, then "2"
      {"(\\w)(\\w)", "ab-cd", "$0", "$0-$0"},
      {"(\\w)(\\w)", "ab-cd", "$3", "$3-$3"},
      {"(\\w)(\\w)", "ab-cd", "$", "$-$"},
      {"(\\w)(\\w)", "ab-cd", "$x$", "$x$-$x$"},
      {"(\\w)(\\w)", "ab-cd", "$$1", "$1-$1"},
      {"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)", "abcdefghij", "$10$9", "ji"},
      {"(x)?b", "ab", "[$1]", "a[]"},  // a group that took no part
      {"第(.)章", "第一章，第二章", "<$1>", "<一>，<二>"},
      {"，", "甲，乙", "$`$'", "甲甲乙乙"},
      {"z", "中文", "-", "中文"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.pattern + " / " + r.replacement);
    RegexObject re;
    ASSERT_TRUE(re.create(r.pattern, r.subject));
    EXPECT_EQ(hex(re.replace(r.replacement)), hex(r.want));
  }
}

TEST(RegexObject, FailuresGiveEmptyAnswers) {
  RegexObject fresh;
  EXPECT_EQ(fresh.get_pattern(), "");
  EXPECT_EQ(fresh.replace("x"), "");
  EXPECT_EQ(fresh.match_count(), 0);
  EXPECT_EQ(fresh.submatch_count(), 0);
  int position = 99;
  EXPECT_EQ(fresh.match_text(1, &position), "");
  EXPECT_EQ(position, -1);

  for (const Text pattern : {"(", "a{2,1}", "[z-a]", "(?<", "\\"}) {
    SCOPED_TRACE(pattern);
    RegexObject re;
    EXPECT_FALSE(re.create(pattern, "abc"));
    EXPECT_EQ(re.get_pattern(), pattern);  // kept, as written
    EXPECT_EQ(re.replace(""), "");
    EXPECT_EQ(re.match_count(), 0);
    EXPECT_EQ(re.match_text(1), "");
  }

  RegexObject groups_without_match;
  ASSERT_TRUE(groups_without_match.create("(a)(b)", "xyz"));
  EXPECT_EQ(groups_without_match.submatch_count(), 0);
}

TEST(RegexObject, CopiesShareTheRunAndKeepIt) {
  RegexObject original;
  ASSERT_TRUE(original.create("b", "abc"));
  const RegexObject copy = original;
  original.create("(", "xyz");
  EXPECT_EQ(copy.get_pattern(), "b");
  EXPECT_EQ(copy.match_text(1), "b");
  EXPECT_EQ(copy.replace("-"), "a-c");
  EXPECT_EQ(original.match_count(), 0);
}

}  // namespace
}  // namespace orvendel
