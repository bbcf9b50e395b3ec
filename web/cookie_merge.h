#pragma once
// Combining the cookie text a request sent with the name=value pairs its
// response set, so that the result can go with the next request. A cookie
// text is pairs separated by ";"; the merged text uses "; ". Every comparison
// is byte-exact and case-sensitive.

#include "text/text_types.h"

namespace orvendel {

// The pairs of new_cookies in their order, then those pairs of old_cookies
// whose names new_cookies does not set (only the first old pair of a name),
// without the pairs that end in "=deleted", each identical pair once. Every
// space (0x20 and A1 A1) is removed first, values included. Empty items
// between two ";" take part like any pair.
//   ("a=1; b=2", "b=3") -> "b=3; a=1"       ("a=1", "a=deleted") -> ""
//   ("a=1;a=2", "") -> "a=1"                ("", "x=1;x=1") -> "x=1"
//   ("", "x=1;x=2") -> "x=1; x=2"           ("", "a=hello world") -> "a=helloworld"
Text merge_cookies(const Text& old_cookies, const Text& new_cookies);

// The part of pair before its first "=", trimmed; the whole pair trimmed when
// it has no "=": " sid =abc" -> "sid", "flag" -> "flag", "=v" -> "".
Text cookie_name(const Text& pair);

// True when some member of pairs has exactly the cookie_name name.
bool has_cookie_name(const TextList& pairs, const Text& name);

// The items of text split at separator, each distinct item once in the order
// first seen, joined by separator: ("a; b; a", "; ") -> "a; b", ("", "; ") -> "".
Text join_distinct(const Text& text, const Text& separator);

// The 1-based index of the first member of list equal to text, or -1:
// "b" in {"a", "b", "b"} -> 2, "c" -> -1.
int index_of_text(const TextList& list, const Text& text);

}  // namespace orvendel
