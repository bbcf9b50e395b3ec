#include "text/text_primitives.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>

#include "support/test_text.h"

namespace orvendel {
namespace {

using testing::hex;

// Two-byte characters whose second byte equals an ASCII byte that is searched for.
const Text kLeadA = "\x81\x41";      // second byte 'A'
const Text kLeadDot = "\x81\x2E";    // second byte '.'
const Text kLeadSpace = "\x81\x20";  // second byte ' '
const Text kFullWidthSpace = "\xA1\xA1";

TEST(TextCutting, LeftRightMid) {
  struct Row {
    Text got, want;
  } rows[] = {
      {text_left("abc", 2), "ab"},   {text_left("abc", 9), "abc"}, {text_left("abc", 0), ""},
      {text_left("abc", -1), ""},    {text_right("abc", 2), "bc"}, {text_right("abc", 3), "abc"},
      {text_right("abc", -5), ""},   {text_mid("abc", 2, 9), "bc"}, {text_mid("abc", 1, 1), "a"},
      {text_mid("abc", 0, 2), ""},   {text_mid("abc", 4, 1), ""},  {text_mid("abc", 2, 0), ""},
      {text_mid("中文", 2, 2), "\xD0\xCE"},  // a cut may split characters
  };
  for (const Row& r : rows) EXPECT_EQ(hex(r.got), hex(r.want));
  EXPECT_EQ(text_length(""), 0);
  EXPECT_EQ(text_length("中a"), 3);
  EXPECT_EQ(concat_text("a", "", Text("b"), "中"), "ab中");
}

TEST(TextCompare, UnsignedBytesAndPrefixes) {
  EXPECT_EQ(compare_text("", ""), 0);
  EXPECT_EQ(compare_text("a", "a"), 0);
  EXPECT_LT(compare_text("a", "ab"), 0);
  EXPECT_GT(compare_text("b", "ab"), 0);
  EXPECT_GT(compare_text("\x80", "a"), 0);  // 0x80 sorts after ASCII
  EXPECT_LT(compare_text("A", "a"), 0);     // case matters
}

TEST(FindText, Table) {
  struct Row {
    Text t, s;
    int start;
    bool ignore_case;
    int want;
  } rows[] = {
      {"abcabc", "bc", 1, false, 2},
      {"abcabc", "bc", 3, false, 5},
      {"abcabc", "bc", 0, false, 2},  // start below 1 searches from 1
      {"abcabc", "bc", -7, false, 2},
      {"abc", "c", 4, false, -1},  // one past the last byte
      {"abc", "", 3, false, 1},    // an empty text is found at 1, not at start
      {"abc", "", 4, false, -1},
      {"", "", 1, false, -1},
      {"", "a", 1, false, -1},
      {"abc", "abcd", 1, false, -1},
      {"xAx", "a", 1, false, -1},
      {"xAx", "a", 1, true, 2},
      {"xax", "A", 1, true, 2},
      {"[ABC]", "abc", 1, true, 2},
      {"\xA3\xC1", "\xA3\xE1", 1, true, -1},  // full-width letters are not folded
      {kLeadA + "A", "A", 1, false, 3},       // never on a second byte
      {kLeadA + "a", "A", 1, true, 3},
      {kLeadDot + ".", ".", 1, false, 3},
      {kLeadA, "A", 2, false, 2},  // a start on a second byte begins the walk there
      // From a second byte the walk pairs bytes differently and misses the last 中.
      {"中文中", "中", 2, false, -1},
      {"中文中", "中", 3, false, 5},
      {"a\x81", "\x81", 1, false, 2},  // a lone final lead byte is still a match position
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(hex(r.t) + " / " + hex(r.s) + " from " + std::to_string(r.start));
    EXPECT_EQ(find_text(r.t, r.s, r.start, r.ignore_case), r.want);
  }
  EXPECT_EQ(find_text("abc", "c"), 3);  // every optional argument omitted
}

TEST(FindTextReverse, Table) {
  struct Row {
    Text t, s;
    std::optional<int> start;
    bool ignore_case;
    int want;
  } rows[] = {
      {"a.b.c", ".", std::nullopt, false, 4},
      {"a.b.c", ".", 4, false, 2},  // must end before the start
      {"a.b.c", ".", 5, false, 4},
      {"a.b.c", ".", 2, false, -1},
      {"a.b.c", ".", 1, false, -1},
      {"a.b.c", ".", 0, false, -1},
      {"a.b.c", ".", 99, false, 4},  // past the end searches all
      {"a.b.c", "", 3, false, 1},
      {"a.b.c", "", 1, false, -1},
      {"a.b.c", "", std::nullopt, false, 1},
      {"", "", std::nullopt, false, -1},
      {"aXbx", "x", std::nullopt, true, 4},
      {"aXb", "x", std::nullopt, true, 2},
      {"abab", "ab", 4, false, 1},  // the second occurrence ends at 4, not before it
      {"." + kLeadDot, ".", std::nullopt, false, 1},  // never on a second byte
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(hex(r.t) + " / " + hex(r.s));
    EXPECT_EQ(find_text_reverse(r.t, r.s, r.start, r.ignore_case), r.want);
  }
}

TEST(ReplaceText, Table) {
  struct Row {
    Text t, find, replacement;
    int start;
    std::optional<int> count;
    bool case_sensitive;
    Text want;
  } rows[] = {
      {"a-b-c", "-", "+", 1, std::nullopt, true, "a+b+c"},
      {"a-b-c", "-", "", 1, std::nullopt, true, "abc"},
      {"a-b-c", "-", "+", 1, 1, true, "a+b-c"},
      {"a-b-c", "-", "+", 1, 0, true, "a-b-c"},
      {"a-b-c", "-", "+", 3, std::nullopt, true, "a-b+c"},  // bytes before start are copied
      {"a-b-c", "-", "+", 0, std::nullopt, true, "a+b+c"},
      {"a-b-c", "-", "+", 6, std::nullopt, true, "a-b-c"},  // start past the end
      {"a-b-c", "", "+", 1, std::nullopt, true, "a-b-c"},
      {"", "-", "+", 1, std::nullopt, true, ""},
      {"aaa", "a", "aa", 1, std::nullopt, true, "aaaaaa"},  // replaced text is not searched
      {"aaaa", "aa", "b", 1, std::nullopt, true, "bb"},    // no overlaps
      {"x", "x", "x", 1, std::nullopt, true, "x"},
      {"Set-COOKIE: a", "set-cookie", "Set-Cookie", 1, std::nullopt, false, "Set-Cookie: a"},
      {"Set-COOKIE: a", "set-cookie", "Set-Cookie", 1, std::nullopt, true, "Set-COOKIE: a"},
      {kLeadA + "A", "A", "z", 1, std::nullopt, true, kLeadA + "z"},  // second bytes are skipped
      {"ab\x81", "b", "", 1, std::nullopt, true, "a"},    // the walk drops a lone final lead byte
      {"ab\x81", "ab", "X", 1, std::nullopt, true, "X\x81"},  // unless it ends the walk early
      {"中#引号文", "#引号", "\"", 1, std::nullopt, true, "中\"文"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(hex(r.t) + " / " + hex(r.find));
    EXPECT_EQ(hex(replace_text(r.t, r.find, r.replacement, r.start, r.count, r.case_sensitive)),
              hex(r.want));
  }
}

TEST(SplitText, Table) {
  struct Row {
    Text t, separator;
    TextList want;
  } rows[] = {
      {"", ",", {}},
      {"abc", ",", {"abc"}},
      {"a,,b", ",", {"a", "", "b"}},
      {",a", ",", {"", "a"}},
      {"a,", ",", {"a"}},
      {",", ",", {""}},
      {"a,b", "", {"a,b"}},
      {"a; b; c", "; ", {"a", "b", "c"}},
      {"a" + kLeadSpace + " b", " ", {"a" + kLeadSpace, "b"}},  // separators only at characters
      {"aXbxc", "x", {"aXb", "c"}},                               // case matters
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(hex(r.t));
    EXPECT_EQ(split_text(r.t, r.separator), r.want);
  }
  EXPECT_EQ(split_text("a,b"), (TextList{"a", "b"}));  // the default separator is ","
}

TEST(Spaces, TrimAndRemove) {
  struct Row {
    Text t, trimmed, removed;
  } rows[] = {
      {"  a b  ", "a b", "ab"},
      {"", "", ""},
      {"   ", "", ""},
      {kFullWidthSpace + "中" + kFullWidthSpace, "中", "中"},
      {"\ta\r\n", "\ta\r\n", "\ta\r\n"},  // tabs and line breaks are not spaces
      {" a \t ", "a \t", "a\t"},
      {kLeadSpace + " ", kLeadSpace, kLeadSpace},  // 81 20 is a character, not a space
      {" a\x81", "a", "a"},                        // a lone final lead byte is dropped
      {"\xA1\xA1\xA1", "", ""},  // a full-width space, then a lone lead byte
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(hex(r.t));
    EXPECT_EQ(hex(trim_both_ends(r.t)), hex(r.trimmed));
    EXPECT_EQ(hex(remove_all_spaces(r.t)), hex(r.removed));
  }
}

TEST(ToLower, OnlyAsciiCapitalsOfOneByteCharacters) {
  EXPECT_EQ(to_lower("AbC-Z@["), "abc-z@[");
  EXPECT_EQ(hex(to_lower(kLeadA + "A")), hex(kLeadA + "a"));  // the second byte stays
  EXPECT_EQ(hex(to_lower("\xA3\xC1")), hex("\xA3\xC1"));     // full-width capital stays
  // Every single byte: only A-Z change.
  for (int c = 1; c < 0x80; ++c) {
    const Text one(1, static_cast<char>(c));
    const Text want(1, static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c));
    EXPECT_EQ(to_lower(one), want) << c;
  }
}

TEST(Numbers, TextToInt) {
  struct Row {
    Text t;
    int want;
  } rows[] = {
      {"123", 123},        {"-12ab", -12},    {"+7", 7},          {"  \t42", 42},
      {"", 0},             {"   ", 0},        {"abc", 0},         {"1,234", 1},
      {"１２３", 123},     {"－５", -5},      {"　９", 9},        {"1中2", 1},
      {"- 1", 0},          {"2147483647", 2147483647},            {"99999999999", 2147483647},
      {"-99999999999", -2147483647 - 1},
  };
  for (const Row& r : rows) EXPECT_EQ(text_to_int(r.t), r.want) << hex(r.t);
}

TEST(Numbers, RealToIntAndPrinting) {
  EXPECT_EQ(real_to_int(2.9), 2);
  EXPECT_EQ(real_to_int(-2.9), -2);
  EXPECT_EQ(real_to_int(-0.5), 0);
  EXPECT_EQ(real_to_int(2.999), 2);
  EXPECT_EQ(real_to_int(1e300), 2147483647);
  EXPECT_EQ(real_to_int(0.0 / 0.0), 0);

  EXPECT_EQ(number_to_text(0), "0");
  EXPECT_EQ(number_to_text(-45), "-45");
  EXPECT_EQ(number_to_text(2147483647), "2147483647");
  const double reals[] = {12345678.0, 0.5, 1e13, 1e12, 1e-5, 0.0001, -3.0, 1.0 / 3.0, 1e21};
  for (double x : reals) {
    char want[64];
    std::snprintf(want, sizeof want, "%.13g", x);
    EXPECT_EQ(number_to_text(x), want);
  }
  EXPECT_EQ(number_to_text(12345678.0), "12345678");
  EXPECT_EQ(number_to_text(1e13), "1e+13");
}

TEST(Numbers, HexCodesBlanksAndBits) {
  EXPECT_EQ(byte_to_hex(0), "0");
  EXPECT_EQ(byte_to_hex(10), "A");
  EXPECT_EQ(byte_to_hex(16), "10");
  EXPECT_EQ(byte_to_hex(255), "FF");
  EXPECT_EQ(char_from_code(0), "");
  EXPECT_EQ(char_from_code(65), "A");
  EXPECT_EQ(hex(char_from_code(0xD6)), "D6");
  EXPECT_EQ(blank_text(3), "   ");
  EXPECT_EQ(blank_text(0), "");
  EXPECT_EQ(blank_text(-1), "");
  EXPECT_EQ(bit_or(1, 4, 0x80), 0x85);
  EXPECT_EQ(bit_or(static_cast<std::int32_t>(0x80000000u), 0x10), static_cast<std::int32_t>(0x80000010u));
}

TEST(Bytes, Operations) {
  const ByteBuffer nul_inside(std::string("ab\0cd", 5));
  EXPECT_EQ(bytes_length(nul_inside), 5);
  EXPECT_EQ(bytes_length({}), 0);
  EXPECT_EQ(blank_bytes(3).bytes(), std::string(3, '\0'));
  EXPECT_TRUE(blank_bytes(-2).empty());
  EXPECT_EQ(bytes_left(nul_inside, 3).bytes(), std::string("ab\0", 3));
  EXPECT_EQ(bytes_left(nul_inside, 99), nul_inside);
  EXPECT_TRUE(bytes_left(nul_inside, 0).empty());
  EXPECT_EQ(concat_bytes(nul_inside, ByteBuffer(), text_to_bytes("x")).bytes(),
            std::string("ab\0cdx", 6));
  EXPECT_TRUE(bytes_equal({}, {}));
  EXPECT_FALSE(bytes_equal(text_to_bytes("a"), text_to_bytes("ab")));
  EXPECT_EQ(bytes_to_text(nul_inside), "ab");
  EXPECT_EQ(bytes_to_text(ByteBuffer(std::string("\0a", 2))), "");
  EXPECT_EQ(bytes_to_text({}), "");
  EXPECT_EQ(bytes_to_text(text_to_bytes("中")), "中");
}

TEST(Lists, OneBased) {
  TextList l;
  list_append(l, "a");
  list_append(l, "");
  EXPECT_EQ(list_count(l), 2);
  EXPECT_EQ(list_item(l, 1), "a");
  EXPECT_EQ(list_item(l, 2), "");
  EXPECT_EQ(list_item(l, 0), "");
  EXPECT_EQ(list_item(l, 3), "");
  list_clear(l);
  EXPECT_EQ(list_count(l), 0);
}

}  // namespace
}  // namespace orvendel
