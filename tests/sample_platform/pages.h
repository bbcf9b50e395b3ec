#pragma once
// The markup of the sample platform's pages and documents, apart from the HTTP
// server so that the server only routes. All input and output is UTF-8.

#include <string>
#include <string_view>

#include "sample_platform/catalogue.h"

namespace orvendel::sample::detail {

// Decodes every "%XX" (either case of hex digit); a "%" without two hex digits
// after it stays as it is, and "+" stays "+": "%E4%B8%89+%zz" -> "三+%zz".
std::string percent_decode(std::string_view text);

// Escapes a text for a double-quoted attribute value: "&" -> "&amp;", '"' -> "&quot;";
// "<" and ">" stay, as HTML allows them there: "a<b>&\"c" -> "a<b>&amp;&quot;c".
std::string html_attribute(std::string_view text);

// Escapes a text for element content: "&", "<", ">" and '"' become entities, and bytes
// that are not UTF-8 become U+FFFD, so a keyword from a URL cannot break the page.
std::string html_text(std::string_view text);

// A string literal of JSON: quotes, backslashes and control characters escaped; with
// ascii_only every non-ASCII character becomes \uXXXX (a surrogate pair beyond
// U+FFFF), as some servers write it: "三" -> "\"\\u4e09\"".
std::string json_string(std::string_view text, bool ascii_only = false);

// The search result page for a keyword (decoded UTF-8) and a 1-based page number.
std::string search_page(std::string_view keyword, int page);

// The album page for a 1-based page number.
std::string album_page(const Album& album, int page);

// The track's JSON document, its play paths under base ("http://127.0.0.1:18080").
std::string track_document(const Track& track, const Album& album, std::string_view base);

}  // namespace orvendel::sample::detail
