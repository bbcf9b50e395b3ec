#include "text/fragment_cleanup.h"

#include <gtest/gtest.h>

#include "support/test_text.h"

namespace orvendel {
namespace {

using testing::hex;

TEST(RemoveBlankLines, Table) {
  struct Row {
    const char* name;
    Text t, want;
  } rows[] = {
      {"three CR LF pairs become one", "a\r\n\r\n\r\nb", "a\r\nb"},
      {"a line of two spaces goes", "a\r\n  \r\nb", "a\r\nb"},
      {"a line of tabs and blanks goes", "一\r\n\t \r\n \r\n二", "一\r\n二"},
      {"blanks before and after a run stay", "a \r\n\r\n b", "a \r\n b"},
      {"single line breaks stay", "a\r\nb\r\nc", "a\r\nb\r\nc"},
      {"bare line feeds stay", "a\n\n\nb", "a\n\n\nb"},
      {"bare line feeds with blank lines stay", "a\n  \n b", "a\n  \n b"},
      {"one leading pair goes", "\r\n\r\nx", "\r\nx"},
      {"one trailing pair goes", "x\r\n\r\n", "x\r\n"},
      {"edge pairs around a blank line", "\r\nx\r\n\r\ny\r\n", "x\r\ny"},
      {"a lone CR LF", "\r\n", ""},
      {"empty", "", ""},
      {"no line breaks", "中文 text", "中文 text"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(hex(remove_blank_lines(r.t)), hex(r.want));
  }
}

TEST(TrimBlanks, Table) {
  struct Row {
    Text t, want;
  } rows[] = {
      {"  a b  ", "a b"},
      {"\ta\t", "\ta\t"},
      {"\xA1\xA1"
       "a\xA1\xA1",
       "\xA1\xA1"
       "a\xA1\xA1"},  // the full-width space stays
      {"a\r\n ", "a\r\n"},
      {"   ", ""},
      {"", ""},
      {"中 ", "中"},
      {"\x81\x20", "\x81\x20"},  // the second byte of a character is not a blank
      {"a \x81", "a \x81"},      // a lone final lead byte stays
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(hex(r.t));
    EXPECT_EQ(hex(trim_blanks(r.t)), hex(r.want));
  }
}

TEST(ReplacePairs, Table) {
  struct Row {
    const char* name;
    Text got, want;
  } rows[] = {
      {"every occurrence, either case", replace_pairs("aAa", std::nullopt, 0, false, "a", "b"),
       "bbb"},
      {"case sensitive", replace_pairs("aAa", std::nullopt, 0, true, "a", "b"), "bAb"},
      {"count 1 per pair", replace_pairs("aabb", 1, 0, true, "a", "x", "b", "y"), "xayb"},
      {"start per pass", replace_pairs("aaa", std::nullopt, 2, true, "a", "b"), "abb"},
      {"start below 1", replace_pairs("aaa", std::nullopt, -3, true, "a", "b"), "bbb"},
      {"a later pair sees earlier output",
       replace_pairs("a", std::nullopt, 0, true, "a", "b", "b", "c"), "c"},
      {"all five pairs",
       replace_pairs("12345", std::nullopt, 0, true, "1", "a", "2", "b", "3", "c", "4", "d", "5",
                     "e"),
       "abcde"},
      {"an empty find changes nothing", replace_pairs("ab", std::nullopt, 0, true, "", "x"), "ab"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(r.got, r.want);
  }
}

TEST(CleanFragment, Table) {
  struct Row {
    const char* name;
    Text t, want;
  } rows[] = {
      {"tags go", "<span class=\"c09\">三国</span>演义", "三国演义"},
      {"tags in capitals go", "<SPAN CLASS=\"C09\">三国</SPAN>", "三国"},
      {"tags in mixed case go", "<Span Class=\"c09\">x</sPan>", "x"},
      {"other spans stay", "<span class=\"c10\">x</span>", "<span class=\"c10\">x"},
      {"blanks round the text go", "  三国  ", "三国"},
      {"blanks beside edge tags stay", "<span class=\"c09\"> x </span>", " x "},
      {"blank lines go", "\r\n  一\r\n\r\n二  \r\n", "一\r\n二"},
      {"bare line feeds stay", " a\n\nb ", "a\n\nb"},
      {"only blanks", "    ", ""},
      {"full-width spaces stay", "\xA1\xA1x", "\xA1\xA1x"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(hex(clean_fragment(r.t)), hex(r.want));
  }
}

TEST(SanitizeFileName, Table) {
  struct Row {
    const char* name;
    Text t, want;
  } rows[] = {
      {"the nine characters go", "a\\b/c:d*e?f|g<h>i\"j", "abcdefghij"},
      {"all forbidden", "\\/:*?|<>\"", ""},
      {"blanks, dots and device names pass", " CON. .txt ", " CON. .txt "},
      {"Chinese title", "第1集:开始?", "第1集开始"},
      // 81 5C and 81 7C: second bytes with the values of "\" and "|".
      {"two-byte character ending in a backslash",
       "\x81\x5C"
       "a\\",
       "\x81\x5C"
       "a"},
      {"two-byte character ending in a bar",
       "\x81\x7C"
       "|b",
       "\x81\x7C"
       "b"},
      {"empty", "", ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(hex(sanitize_file_name(r.t)), hex(r.want));
  }
}

}  // namespace
}  // namespace orvendel
