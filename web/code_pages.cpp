#include "web/code_pages.h"

#include <algorithm>
#include <optional>

#include "text/encoding.h"
#include "text/text_primitives.h"

namespace orvendel {
namespace {

std::optional<Encoding> encoding_of(int code_page) {
  switch (code_page) {
    case kCodePageAnsi:
    case kCodePageGbk:
      return Encoding::kGbk;
    case kCodePageUtf8:
      return Encoding::kUtf8;
    default:
      return std::nullopt;
  }
}

constexpr std::size_t kUnit = 2;

}  // namespace

ByteBuffer to_wide(const Text& text, int code_page) {
  if (text.empty()) return {};
  // Sized as the text read in the ANSI code page needs, like the platform does;
  // a conversion that needs more gets more rather than being cut.
  const std::size_t sized_units =
      convert_encoding(text, Encoding::kGbk, Encoding::kUtf16Le).size() / kUnit + 1;
  std::string units;
  if (const auto from = encoding_of(code_page))
    units = convert_encoding(text, *from, Encoding::kUtf16Le);
  units.resize(std::max(sized_units, units.size() / kUnit + 1) * kUnit, '\0');
  return ByteBuffer(std::move(units));
}

Text from_wide(const ByteBuffer& wide, int code_page) {
  const auto to = encoding_of(code_page);
  if (wide.empty() || !to) return {};
  std::size_t units = wide.size() / kUnit;
  for (std::size_t i = 0; i < units; ++i) {
    if (wide.data()[i * kUnit] == '\0' && wide.data()[i * kUnit + 1] == '\0') {
      units = i;
      break;
    }
  }
  return convert_encoding(wide.view().substr(0, units * kUnit), Encoding::kUtf16Le, *to);
}

// These equal from_wide(to_wide(text, from), to): a Text holds no NUL, so no
// 0 unit cuts the way through UTF-16 short, and the zero fill of the wide
// buffer is never read. Converting directly spares every fetched page the
// sizing pass and the trip through a wide buffer.
Text gbk_to_utf8(const Text& gbk) { return convert_encoding(gbk, Encoding::kGbk, Encoding::kUtf8); }

Text utf8_to_gbk(const Text& utf8) { return convert_encoding(utf8, Encoding::kUtf8, Encoding::kGbk); }

Text url_encode(const Text& text, bool keep_unreserved, bool as_utf8) {
  if (text.empty()) return {};
  const Text bytes = as_utf8 ? gbk_to_utf8(text) : text;
  Text out;
  for (const char c : bytes) {
    const int byte = static_cast<unsigned char>(c);
    const bool unreserved = byte == '-' || byte == '.' || (byte >= '0' && byte <= '9') ||
                            (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
    if (keep_unreserved && unreserved) {
      out += char_from_code(byte);
    } else {
      Text hex = byte_to_hex(byte);
      if (hex.size() < 2) hex = "0" + hex;
      out += "%" + hex;
    }
  }
  return out;
}

}  // namespace orvendel
