#pragma once
// The text, number, byte and list primitives everything else is written in.
//
// Rules shared by every operation here:
// - Positions are 1-based byte positions; -1 means "not found".
// - Walking operations step by character: a byte of 0x80 or above takes the
//   byte after it along (a two-byte GBK character, whatever that second byte
//   is), so a match never starts on a second byte. A walk starts wherever its
//   start position puts it and never resynchronises backwards. A lead byte
//   that is the last byte of a text is still a match position, then the walk
//   ends; trim_both_ends, remove_all_spaces and replace_text leave such a lone
//   final byte out of their result, the others keep it.
// - Case folding touches only the ASCII letters A-Z (on every byte, second
//   bytes included); full-width letters are never folded.
// - Spaces are the byte 0x20 and the full-width space A1 A1; tabs and line
//   breaks are never spaces.
// - Every operation returns a new value and leaves its arguments unchanged,
//   except the list operations, which change the list they are given.

#include <cstdint>
#include <optional>

#include "text/text_types.h"

namespace orvendel {

// --- Measuring and cutting: plain bytes, so a cut may split a character. ---

// The number of bytes of t: 0 for the empty text.
int text_length(const Text& t);

// The first n bytes of t: all of t when n >= its length, "" when n <= 0.
Text text_left(const Text& t, int n);

// The last n bytes of t: all of t when n >= its length, "" when n <= 0.
Text text_right(const Text& t, int n);

// n bytes of t from position p, cut short at the end of t.
// "" when p < 1, p > text_length(t) or n <= 0: text_mid("abc", 2, 9) == "bc".
Text text_mid(const Text& t, int p, int n);

// The parts joined in order: concat_text("a", "", "b") == "ab".
template <typename... Parts>
Text concat_text(const Parts&... parts) {
  Text joined;
  (joined.append(std::string_view(parts)), ...);
  return joined;
}

// Negative, 0 or positive as a sorts before, equals or sorts after b, bytes
// compared as unsigned values; a prefix sorts before the longer text.
int compare_text(const Text& a, const Text& b);

// --- Searching. ---

// The position of the first occurrence of s at or after start, counted from
// the first byte of t, or -1. A start of 0 or below searches from 1.
// An empty s gives 1 when the searched region is not empty (even with a later
// start), -1 when it is: find_text("abc", "", 3) == 1, find_text("abc", "", 4) == -1.
// ignore_case folds A-Z on both sides.
int find_text(const Text& t, const Text& s, int start = 1, bool ignore_case = false);

// The position of the last occurrence of s that ends before start, or -1.
// Omitted start searches all of t; start <= 1 searches nothing; start past the
// end + 1 searches all of t. With dots at 2 and 4 of "a.b.c": start 4 gives 2,
// start 2 gives -1, no start gives 4. Calling again with the position found
// steps backwards through the occurrences. An empty s gives 1 when the region
// is not empty, -1 otherwise.
int find_text_reverse(const Text& t, const Text& s, std::optional<int> start = std::nullopt,
                      bool ignore_case = false);

// --- Replacing and splitting. ---

// t with the occurrences of find replaced, walking by character from start
// (below 1 counts as 1; the bytes before it are copied as they are). count
// limits the number of replacements (std::nullopt: every occurrence).
// case_sensitive false folds A-Z: note it is the opposite switch of
// find_text's ignore_case. Unchanged when t or find is empty, count is 0 or
// start is past the end. Matches never overlap and replaced text is never
// searched again: replace_text("aaa", "a", "aa", 1, nullopt, true) == "aaaaaa".
Text replace_text(const Text& t, const Text& find, const Text& replacement, int start,
                  std::optional<int> count, bool case_sensitive);

// The pieces of t between occurrences of separator (case-sensitive).
// "" gives no pieces; an empty separator gives {t}; "a,,b" gives {"a", "", "b"};
// ",a" gives {"", "a"}; "a," gives {"a"}; "," gives {""}.
TextList split_text(const Text& t, const Text& separator = ",");

// --- Spaces and letter case (walk by character). ---

// t without its leading and trailing spaces (0x20 and A1 A1). A leading tab or
// trailing line break stays.
Text trim_both_ends(const Text& t);

// t without any 0x20 byte or A1 A1 character, wherever it stands.
Text remove_all_spaces(const Text& t);

// t with A-Z made small; two-byte characters are never changed.
Text to_lower(const Text& t);

// --- Numbers. ---

// Full-width forms (A3 A1..A3 FE) become their ASCII bytes and A1 A1 a space;
// then leading white space (0x20, 0x09-0x0D) is skipped, one sign taken and
// decimal digits read up to the first non-digit. No digits give 0:
// "-12ab" -> -12, "１２" -> 12, "" -> 0, "1,234" -> 1. Values beyond the
// 32-bit range saturate at INT32_MIN / INT32_MAX.
int text_to_int(const Text& t);

// x with its fraction cut off toward zero: 2.9 -> 2, -2.9 -> -2, -0.5 -> 0.
// NaN gives 0; values beyond the 32-bit range saturate.
int real_to_int(double x);

// Decimal digits with a leading "-" when negative, no padding or grouping.
Text number_to_text(int n);
// The C library's "%.13g": 12345678.0 -> "12345678", 0.5 -> "0.5",
// 1e13 -> "1e+13", 1e-5 -> "1e-05".
Text number_to_text(double x);

// v in upper-case hexadecimal without leading zeros: 10 -> "A", 255 -> "FF".
Text byte_to_hex(int v);

// The one-byte text whose byte is c (0 to 255); 0 gives "".
Text char_from_code(int c);

// n bytes 0x20; "" when n < 1.
Text blank_text(int n);

// The bitwise OR of its arguments: bit_or(1, 4) == 5.
template <typename... Values>
std::int32_t bit_or(Values... values) {
  return (std::int32_t{0} | ... | static_cast<std::int32_t>(values));
}

// --- Bytes. ---

int bytes_length(const ByteBuffer& b);
// n zero bytes; empty when n <= 0.
ByteBuffer blank_bytes(int n);
// The first n bytes: all of b when n >= its length, empty when n <= 0.
ByteBuffer bytes_left(const ByteBuffer& b, int n);
// The buffers joined in order.
template <typename... Buffers>
ByteBuffer concat_bytes(const Buffers&... parts) {
  ByteBuffer joined;
  (joined.append(parts), ...);
  return joined;
}
// Same length and same bytes; two empty buffers are equal.
bool bytes_equal(const ByteBuffer& a, const ByteBuffer& b);
// The bytes of t, no terminator.
ByteBuffer text_to_bytes(const Text& t);
// The bytes of b before its first NUL; "" when b is empty or begins with NUL.
Text bytes_to_text(const ByteBuffer& b);

// --- Lists (1-based). ---

int list_count(const TextList& l);
// Member i for 1 <= i <= list_count(l); "" for any other i.
Text list_item(const TextList& l, int i);
void list_append(TextList& l, const Text& t);
void list_clear(TextList& l);

}  // namespace orvendel
