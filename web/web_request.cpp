#include "web/web_request.h"

#include "text/delimited_text.h"
#include "text/text_primitives.h"
#include "web/cookie_merge.h"
#include "web/curl_transfer.h"
#include "web/url_split.h"

namespace orvendel {
namespace {

// Room the response header block has, its terminating NUL included.
constexpr int kHeaderRoom = 5000;

const char* const kMethodWords[] = {"GET", "POST", "HEAD"};

Text user_agent_of(const Text& extra_headers) {
  if (find_text(extra_headers, "User-Agent:", 1, true) == -1) return kDefaultUserAgent;
  const Text agent =
      trim_both_ends(text_between(concat_text(extra_headers, "\r\n"), "User-Agent:", "\r\n"));
  // "user-agent: X" is missed by the case-sensitive cut above; a block of one
  // such line still gives X.
  return agent.empty() ? header_value(extra_headers) : agent;
}

Text header_block_of(const Text& extra_headers, const Text& url,
                     const std::optional<Text>& cookies) {
  Text block = extra_headers;
  if (block.empty()) {
    block = "Accept: */*";
  } else if (find_text(block, "Accept:") == -1) {
    block += "\r\nAccept: */*";
  }
  if (find_text(block, "Referer:") == -1) block = concat_text(block, "\r\nReferer: ", url);
  if (find_text(block, "Accept-Language:") == -1) block += "\r\nAccept-Language: zh-cn";
  if (find_text(block, "Content-Type:") == -1) {
    block += "\r\nContent-Type: application/x-www-form-urlencoded";
  }
  if (cookies && !cookies->empty()) {
    block = find_text(*cookies, "Cookie:") != -1 ? concat_text(block, "\r\n", *cookies)
                                                 : concat_text(block, "\r\nCookie: ", *cookies);
  }
  return block;
}

// A host name or address a connection can be made to: letters, digits, "-",
// "." and "_", or an IPv6 address in brackets. Anything else (a query or user
// name left in the host, a space) would be read differently by the layer.
bool is_usable_host(const Text& host) {
  if (host.empty()) return false;
  if (host.front() == '[') {
    if (host.size() < 3 || host.back() != ']') return false;
    for (std::size_t i = 1; i + 1 < host.size(); ++i) {
      const char c = host[i];
      if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || c == ':' || c == '.')) return false;
    }
    return true;
  }
  for (char c : host) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || c == '-' || c == '.' || c == '_')) {
      return false;
    }
  }
  return true;
}

Text received_cookies_of(const Text& response_headers) {
  Text received;
  for (const Text& line : split_text(response_headers, "\r\n")) {
    if (find_text(line, "Set-Cookie") == -1) continue;
    const Text value =
        find_text(line, ";") != -1
            ? trim_both_ends(text_between(line, "Set-Cookie:", ";"))
            : trim_both_ends(replace_text(line, "Set-Cookie:", "", 1, std::nullopt, false));
    received = concat_text(received, value, "; ");
  }
  return text_left(received, text_length(received) - 2);
}

}  // namespace

ByteBuffer web_request(const Text& url, int method, const Text& body_text,
                       const std::optional<Text>& cookies, Text* received_cookies,
                       const Text& extra_headers, Text* response_headers, bool no_redirect,
                       const ByteBuffer& body_bytes, const Text& proxy, bool auto_merge_cookies) {
  if (method < 0 || method > 2) method = 0;
  const bool secure = to_lower(text_left(url, 8)) == "https://";
  const Text host = url_host(url);
  const int port = url_port(url);

  TransferOptions options;
  options.url =
      concat_text(secure ? "https://" : "http://", host, ":", number_to_text(port), url_path(url));
  options.method = kMethodWords[method];
  options.user_agent = user_agent_of(extra_headers);
  options.header_block = header_block_of(extra_headers, url, cookies);
  if (method != 0) {
    const std::string& bytes = body_bytes.empty() ? body_text : body_bytes.bytes();
    // A POST says Content-Length: 0; a HEAD without a body is a plain HEAD.
    if (method == 1 || !bytes.empty()) options.body = bytes;
  }
  options.follow_redirects = !no_redirect;
  options.proxy = proxy;
  options.proxy_for_plain_http_only = !secure;
  options.shared = cookies ? SharedHttpState::kNone : SharedHttpState::kCookieStore;

  ByteBuffer body;
  TransferResult result;
  if (is_usable_host(host) && port >= 1 && port <= 65535) {
    result = perform_transfer(options, [&body](std::string_view piece, auto) {
      body.append(piece.data(), piece.size());
      return true;
    });
    if (!result.started) return {};
  }

  // A block that does not fit the room, its NUL included, leaves the room's blanks.
  const bool fits = result.header_block && result.header_block->size() < kHeaderRoom;
  Text headers = fits ? bytes_to_text(ByteBuffer(*result.header_block)) : blank_text(kHeaderRoom);
  headers = replace_text(headers, "Set-Cookie", "Set-Cookie", 1, std::nullopt, false);
  Text collected = received_cookies_of(headers);
  if (auto_merge_cookies && cookies) collected = merge_cookies(*cookies, collected);
  if (response_headers != nullptr) *response_headers = headers;
  if (received_cookies != nullptr) *received_cookies = collected;
  return body;
}

Text fetch_page(const Text& url) { return bytes_to_text(web_request(url)); }

}  // namespace orvendel
