#pragma once
// The program's text is GBK; the platform speaks UTF-8 and wants search
// keywords percent-encoded from UTF-8. These convert through UTF-16.

#include "text/text_types.h"

namespace orvendel {

// Code page numbers understood below. 0 is the ANSI code page, GBK here.
inline constexpr int kCodePageAnsi = 0;
inline constexpr int kCodePageGbk = 936;
inline constexpr int kCodePageUtf8 = 65001;

// text read in code_page, as UTF-16LE units followed by a 0 unit. The buffer
// has as many units as text read as GBK would need (terminator included), or
// more when the conversion needs more; unused units are 0. "" gives an empty
// buffer; an unknown code page gives a buffer of 0 units only.
// Invalid input becomes U+FFFD.
ByteBuffer to_wide(const Text& text, int code_page = kCodePageUtf8);

// The UTF-16LE text in wide, up to its first 0 unit, written in code_page.
// A character the code page lacks becomes "?" (GBK) or U+FFFD (UTF-8); an
// unpaired surrogate counts as invalid. An empty buffer or an unknown code
// page gives "".
Text from_wide(const ByteBuffer& wide, int code_page = kCodePageAnsi);

// GBK to UTF-8: "中文" in GBK gives E4 B8 AD E6 96 87.
Text gbk_to_utf8(const Text& gbk);

// UTF-8 to GBK; a byte that is not valid UTF-8, and a character GBK lacks,
// read as "?".
Text utf8_to_gbk(const Text& utf8);

// Every byte as "%" and two upper-case hex digits: "abc" -> "%61%62%63".
// keep_unreserved keeps "-", ".", digits and ASCII letters as they are;
// "/", "_", "~" and the space are always encoded. as_utf8 encodes the
// text's UTF-8 form: "中" -> "%E4%B8%AD" (GBK bytes: "%D6%D0"). "" gives "".
Text url_encode(const Text& text, bool keep_unreserved = false, bool as_utf8 = false);

}  // namespace orvendel
