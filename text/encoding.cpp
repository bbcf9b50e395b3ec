#include "text/encoding.h"

#include <errno.h>
#include <iconv.h>

#include <algorithm>
#include <array>

namespace orvendel {
namespace {

// Conversions run in two steps through UCS-4, so that invalid input (a
// decoding error) and a character the target lacks (an encoding error) can be
// told apart and each replaced by the right character.
constexpr const char* kPivot = "UCS-4LE";

const char* iconv_name(Encoding e) {
  switch (e) {
    case Encoding::kGbk:
      return "CP936";
    case Encoding::kUtf8:
      return "UTF-8";
    case Encoding::kUtf16Le:
      return "UTF-16LE";
  }
  return "UTF-8";
}

std::string_view replacement_in(Encoding e) {
  switch (e) {
    case Encoding::kGbk:
      return "?";
    case Encoding::kUtf8:
      return "\xEF\xBF\xBD";
    case Encoding::kUtf16Le:
      return std::string_view("\xFD\xFF", 2);
  }
  return "?";
}

constexpr std::string_view kPivotReplacement("\xFD\xFF\x00\x00", 4);  // U+FFFD

// The conversion descriptors of this thread, opened on first use.
class Converters {
 public:
  ~Converters() {
    for (iconv_t cd : descriptors_)
      if (cd != invalid()) iconv_close(cd);
  }
  iconv_t decoder(Encoding from) { return get(static_cast<int>(from), kPivot, iconv_name(from)); }
  iconv_t encoder(Encoding to) { return get(3 + static_cast<int>(to), iconv_name(to), kPivot); }

 private:
  static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }
  iconv_t get(int slot, const char* to, const char* from) {
    iconv_t& cd = descriptors_[static_cast<std::size_t>(slot)];
    if (cd == invalid()) cd = iconv_open(to, from);
    else iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    return cd;
  }
  std::array<iconv_t, 6> descriptors_{invalid(), invalid(), invalid(),
                                      invalid(), invalid(), invalid()};
};

thread_local Converters converters;

// Runs cd over input, writing replacement for each invalid unit of
// unit_size bytes. max_growth bounds output bytes per input byte.
std::string run(iconv_t cd, std::string_view input, std::size_t unit_size,
                std::string_view replacement, std::size_t max_growth) {
  std::string out;
  if (cd == reinterpret_cast<iconv_t>(-1)) return out;
  out.resize(input.size() * max_growth + 16);
  char* in = const_cast<char*>(input.data());
  std::size_t in_left = input.size();
  char* dest = out.data();
  std::size_t dest_left = out.size();
  while (in_left > 0) {
    if (iconv(cd, &in, &in_left, &dest, &dest_left) != static_cast<std::size_t>(-1)) break;
    const int error = errno;
    if (error == E2BIG) {  // cannot happen with max_growth, but never write past the buffer
      const std::size_t used = out.size() - dest_left;
      out.resize(out.size() * 2);
      dest = out.data() + used;
      dest_left = out.size() - used;
      continue;
    }
    if (dest_left < replacement.size()) {
      const std::size_t used = out.size() - dest_left;
      out.resize(out.size() + replacement.size() + 16);
      dest = out.data() + used;
      dest_left = out.size() - used;
    }
    std::copy(replacement.begin(), replacement.end(), dest);
    dest += replacement.size();
    dest_left -= replacement.size();
    if (error != EILSEQ) break;  // EINVAL: an incomplete sequence at the end
    const std::size_t skip = std::min(unit_size, in_left);
    in += skip;
    in_left -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  out.resize(out.size() - dest_left);
  return out;
}

bool is_ascii(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

std::string convert_encoding(std::string_view bytes, Encoding from, Encoding to) {
  if (bytes.empty()) return {};
  // ASCII is the same in GBK and UTF-8: most page markup never needs iconv.
  if (from != Encoding::kUtf16Le && to != Encoding::kUtf16Le && is_ascii(bytes))
    return std::string(bytes);
  const std::size_t unit = from == Encoding::kUtf16Le ? 2 : 1;
  std::string pivot = run(converters.decoder(from), bytes, unit, kPivotReplacement, 4);
  return run(converters.encoder(to), pivot, 4, replacement_in(to), 1);
}

}  // namespace orvendel
