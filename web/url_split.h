#pragma once
// Taking a URL apart into host, port and path, and reading the value of one
// header line. Positions are 1-based bytes; lower-casing touches A-Z only.
// Nothing here fails: odd input gives an odd but defined result.

#include <optional>

#include "text/text_types.h"

namespace orvendel {

// The text after the first ":" of line, spaces trimmed from both ends; ""
// when line holds no ":". Only the first colon splits:
//   header_value("User-Agent: X") == "X",  header_value("a: b: c") == "b: c",
//   header_value("no colon") == "".
Text header_value(const Text& line);

// The host of url, lower-cased.
//
// Plain mode (dot_count omitted): the text after "https://" (when url begins
// with it, any case) or else after the first "http://" (put in front when url
// has none) up to the next "/". A query without a path stays in the host:
//   "http://s.h.t/a/b" -> "s.h.t",  "s.h.t" -> "s.h.t",
//   "HTTPS://S.H.T:8443/x" -> "s.h.t",  "http://h.t?x=1" -> "h.t?x=1".
// domain_only keeps the last two "."-separated parts before the port is cut:
//   "http://s.h.t:8080/" -> "h.t".
//
// Domain mode (dot_count supplied, n): every "http://" and "https://" is
// removed, the text is cut at its first "/", and the last n + 2 labels are
// kept (n + 1 with domain_only), the whole host when it has fewer dots. n <= 0
// counts as 0. On "http://a.b.h.t/x": 0 -> "h.t", 0 domain_only -> "t",
// 1 -> "b.h.t", 1 domain_only -> "h.t", 5 -> "a.b.h.t".
//
// Both modes: unless keep_port, everything from the first ":" is cut:
// "HTTPS://S.H.T:8443/x" with keep_port -> "s.h.t:8443".
Text url_host(const Text& url, bool domain_only = false, bool keep_port = false,
              std::optional<int> dot_count = std::nullopt);

// The port of url: the number after the last ":" of its plain-mode host with
// the port kept, read by text_to_int (so "http://h.t:/" gives 0); without a
// ":" it is 443 when url begins with "https" (any case), else 80:
//   "http://h.t/" -> 80, "HTTPS://h.t" -> 443, "http://h.t:8080/x" -> 8080.
int url_port(const Text& url);

// The path and query of url as written (not lower-cased): everything from the
// first "/" at or after the place where its host stands, or "/" when there is
// none. "http://h.t" -> "/", "http://h.t:8080/a/b?c=1" -> "/a/b?c=1",
// "http://h.t?x=1" -> "/" (the query belongs to the host there).
Text url_path(const Text& url);

}  // namespace orvendel
