#pragma once
// The program's HTTP client: one request to one URL with a fixed set of
// default headers, its whole response body back as bytes. Nothing is
// reported: a request that cannot be made gives an empty body.

#include <optional>

#include "text/text_types.h"

namespace orvendel {

// The agent sent when extra_headers names none.
inline constexpr char kDefaultUserAgent[] = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

// Sends one request and returns the body of the final response, whatever its
// status (a 404 page, or the redirect itself when no_redirect).
//
// url: "http://" or "https://" in any case, or a bare host and path, which is
// plain http. Host, port and path come from url_host, url_port and url_path;
// a host that no server can have (such as "h.t?x=1" from "http://h.t?x=1")
// gives the empty body, like an unreachable one.
// method: 0 "GET", 1 "POST", 2 "HEAD"; any other value is 0.
// Body: none for GET; for POST and HEAD body_bytes, or the bytes of body_text
// when body_bytes is empty.
// Header block, sent in this order after Host and User-Agent: extra_headers
// (lines separated by "\r\n"), then, each only when the block has no such
// text yet (case-sensitive, anywhere in it), "Accept: */*", "Referer: " + url,
// "Accept-Language: zh-cn", "Content-Type: application/x-www-form-urlencoded",
// then "Cookie: " + cookies (or cookies as it stands when it holds "Cookie:")
// unless cookies is empty. So "accept: x" still gets "Accept: */*" added.
// User-Agent: the value of a "User-Agent:" line of extra_headers (found in any
// letter case; "User-Agent:" alone gives an empty one); that line is sent as
// the one User-Agent line. Without one, kDefaultUserAgent.
// cookies: std::nullopt uses the process-wide cookie store (cookies sites set
// are kept and sent back to them); a supplied text, even "", bypasses it.
// received_cookies: the first name=value pair of every Set-Cookie line of the
// response (any letter case), joined by "; "; when cookies was supplied and
// auto_merge_cookies, merged with it by merge_cookies.
// response_headers: the final response's status line and header lines, each
// ended by "\r\n"; 5000 spaces when no response arrived or its block needs
// 5000 bytes or more. Both outputs are written on every call, a failed
// connection included (then 5000 spaces, and for received_cookies the merge
// of cookies with nothing); only when the HTTP layer cannot set up a request
// at all are they left as they were.
// no_redirect: return a redirect response instead of following it (http to
// https included).
// proxy: host[:port] of an HTTP proxy; for an https url it serves every hop,
// for a plain-http url only the plain-http ones. "" connects directly; the
// environment's proxy settings are never used.
ByteBuffer web_request(const Text& url, int method = 0, const Text& body_text = {},
                       const std::optional<Text>& cookies = std::nullopt,
                       Text* received_cookies = nullptr, const Text& extra_headers = {},
                       Text* response_headers = nullptr, bool no_redirect = false,
                       const ByteBuffer& body_bytes = {}, const Text& proxy = {},
                       bool auto_merge_cookies = true);

// web_request(url) with every option omitted, the body cut at its first NUL:
// "" when the request fails or the body is empty.
Text fetch_page(const Text& url);

}  // namespace orvendel
