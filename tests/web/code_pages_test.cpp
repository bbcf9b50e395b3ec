#include "web/code_pages.h"

#include <gtest/gtest.h>

#include "support/test_text.h"
#include "text/encoding.h"

namespace orvendel {
namespace {

using testing::hex;
using testing::utf8;

TEST(CodePages, ChineseRoundTrip) {
  struct Row {
    Text gbk;
    std::string utf8;
  } rows[] = {
      {"中文", utf8(u8"中文")},
      {"专辑：第1页，下载中", utf8(u8"专辑：第1页，下载中")},
      {"plain ascii", "plain ascii"},
      {"", ""},
      {"\x80", utf8(u8"€")},  // CP936 maps 0x80 to the euro sign
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(hex(r.gbk));
    EXPECT_EQ(hex(gbk_to_utf8(r.gbk)), hex(r.utf8));
    EXPECT_EQ(hex(utf8_to_gbk(r.utf8)), hex(r.gbk));
  }
}

TEST(CodePages, InvalidInputBecomesTheReplacementCharacter) {
  struct Row {
    std::string utf8;
    Text want_gbk;
  } rows[] = {
      {"a\xFF" "b", "a?b"},                   // not UTF-8 at all
      {"a\xE4\xB8", "a?"},                    // cut off inside a character
      {"\xED\xA0\x80", "???"},                // a UTF-8 encoded surrogate
      {utf8(u8"😀x"), "?x"},                  // no form in GBK
      {"\xC0\x80" "z", "??z"},                // an overlong NUL is not a NUL
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(hex(r.utf8));
    EXPECT_EQ(hex(utf8_to_gbk(r.utf8)), hex(r.want_gbk));
  }
  // Invalid GBK: an unusable lead byte costs one byte.
  EXPECT_EQ(hex(gbk_to_utf8("\x81\x20x")), hex(utf8(u8"\uFFFD x")));
  EXPECT_EQ(hex(gbk_to_utf8("a\xD6")), hex(utf8(u8"a\uFFFD")));  // lone final lead byte
  EXPECT_EQ(hex(gbk_to_utf8("\xFF")), hex(utf8(u8"\uFFFD")));
}

TEST(CodePages, ConversionNeverWritesPastItsBuffer) {
  // Every pair of bytes, as GBK and as UTF-8: the results stay well-formed.
  for (int a = 0; a < 256; ++a) {
    for (int b = 1; b < 256; b += 7) {
      const std::string bytes = {static_cast<char>(a ? a : 'x'), static_cast<char>(b)};
      const Text utf8_text = gbk_to_utf8(bytes);
      EXPECT_EQ(convert_encoding(utf8_text, Encoding::kUtf8, Encoding::kUtf8), utf8_text);
      const Text gbk_text = utf8_to_gbk(bytes);
      EXPECT_EQ(gbk_text.find('\0'), Text::npos);
    }
  }
  // Many euro signs: three UTF-8 bytes for one GBK byte, more than the sizing counts.
  const Text euros(5000, '\x80');
  EXPECT_EQ(gbk_to_utf8(euros).size(), 15000u);
}

TEST(CodePages, WideBuffers) {
  const ByteBuffer wide = to_wide(utf8(u8"ab中"));
  // Sized as the text read as GBK (a, b, E4 B8, a lone AD: 5 units with the
  // terminator), of which the UTF-8 reading fills 4.
  EXPECT_EQ(hex(wide.view()), "61 00 62 00 2D 4E 00 00 00 00");
  EXPECT_EQ(hex(to_wide("中a", kCodePageGbk).view()), "2D 4E 61 00 00 00");
  EXPECT_TRUE(to_wide("").empty());
  EXPECT_EQ(from_wide(wide, kCodePageUtf8), utf8(u8"ab中"));
  EXPECT_EQ(from_wide(wide), "ab中");  // the ANSI code page is GBK
  EXPECT_EQ(from_wide(ByteBuffer(std::string("a\0\0\0b\0", 6)), kCodePageGbk), "a");
  EXPECT_EQ(from_wide(ByteBuffer(std::string("\x00\xD8" "a\0", 4)), kCodePageGbk), "?a");
  EXPECT_EQ(from_wide({}), "");
  EXPECT_EQ(from_wide(wide, 1252), "");  // a code page this program does not know
}

TEST(UrlEncode, Table) {
  struct Row {
    Text text;
    bool keep_unreserved, as_utf8;
    Text want;
  } rows[] = {
      {"abc", false, false, "%61%62%63"},
      {"abc", true, false, "abc"},
      {"a-b.c/d_e~f 9", true, false, "a-b.c%2Fd%5Fe%7Ef%209"},
      {"中", false, true, "%E4%B8%AD"},
      {"中", false, false, "%D6%D0"},
      {"中", true, true, "%E4%B8%AD"},
      {"\n", false, false, "%0A"},
      {"", true, true, ""},
      {"AZaz09", true, false, "AZaz09"},
      {"@[`{", true, false, "%40%5B%60%7B"},  // the bytes next to the unreserved ranges
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(hex(r.text));
    EXPECT_EQ(url_encode(r.text, r.keep_unreserved, r.as_utf8), r.want);
  }
}

}  // namespace
}  // namespace orvendel
