#pragma once
// The one door to the HTTP layer (libcurl): one request, its redirects, and
// its response streamed to a callback. web_request and the audio download
// client are written against this; nothing else in the program includes
// libcurl's headers.
//
// What every transfer gets, whatever the options: HTTP and HTTPS only (also
// for redirects), certificates and host names verified, no local cache, no
// proxy taken from the environment, no compression asked for, no
// "Expect: 100-continue", the time-outs of transfer_timeouts().

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "text/text_types.h"

namespace orvendel {

// Which process-wide state of the HTTP layer a transfer takes part in. Each
// is created on first use, lives until the process ends and is shared safely
// by every thread.
enum class SharedHttpState {
  kNone,
  // The automatic cookie store: cookies that sites set are kept and sent
  // back to them on later transfers that use the store.
  kCookieStore,
  // The audio client's connection and host-name cache.
  kAudioClient,
};

struct TransferOptions {
  // An absolute "http://" or "https://" URL. Bytes 0x00-0x20 and 0x7F are
  // sent percent-encoded (the layer refuses them raw); "#" and what follows
  // are never sent.
  Text url;
  // "GET", "POST" or "HEAD".
  Text method = "GET";
  // HTTP/1.0 in the request line; otherwise HTTP/1.1.
  bool http_1_0 = false;
  // The User-Agent line the layer adds right after Host, unless header_block
  // has a User-Agent line of its own (any letter case); "" adds none.
  Text user_agent;
  // Request header lines, sent in this order after Host and User-Agent. Lines
  // are separated by "\r\n"; a lone "\r" or "\n" also ends a line, so nothing
  // can smuggle in a line of its own. Empty lines and lines without a ":" are
  // not sent; a line with an empty value is sent as "Name:". The layer adds
  // nothing of its own but Host, Content-Length for a body and the cookies of
  // the store.
  Text header_block;
  // The request body, sent with Content-Length; std::nullopt sends none.
  std::optional<std::string> body;
  // Follow 301, 302, 303, 307 and 308 (POST becomes GET after 301 to 303, as
  // browsers do); false returns the redirect response itself.
  bool follow_redirects = true;
  // host[:port] of an HTTP proxy; "" connects directly.
  Text proxy;
  // The proxy serves plain-http addresses only: a redirect to https goes
  // direct. Otherwise it serves both schemes.
  bool proxy_for_plain_http_only = false;
  SharedHttpState shared = SharedHttpState::kNone;
};

struct TransferResult {
  // False only when the layer could not even set up the request.
  bool started = false;
  // A final response arrived and its body ended as the server signalled.
  bool completed = false;
  // Status code of the final response; 0 when none arrived.
  int status = 0;
  // The final response's status line and header lines, each ended by "\r\n",
  // without the empty line that ends them (and without trailers);
  // std::nullopt when no response arrived.
  std::optional<std::string> header_block;
  // The Content-Length the final response announced.
  std::optional<std::int64_t> content_length;
  // Body bytes handed to on_body.
  std::int64_t received = 0;
};

// Receives one piece of the body and the Content-Length its response
// announced; returns false to abort the transfer.
using BodyReceiver =
    std::function<bool(std::string_view piece, std::optional<std::int64_t> announced_length)>;

// Sends one request as options say and hands each piece of the final
// response's body to on_body as it arrives (bodies of followed redirects are
// dropped). on_body returning false aborts the transfer (completed false).
// Failures are reported in the result only; nothing is thrown.
TransferResult perform_transfer(const TransferOptions& options, const BodyReceiver& on_body);

}  // namespace orvendel
