#pragma once
// The audio download client: a small HTTP client of its own, separate from
// web_request, that fetches one audio file and streams its body to the caller.

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "text/text_types.h"

namespace orvendel {

// The agent of every audio download.
inline constexpr char kAudioUserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

struct AudioDownload {
  // A response arrived and its body ended as the server signalled, no error mid-way.
  bool transferred = false;
  int status = 0;  // status code of the final response, 0 when none arrived
  std::optional<std::int64_t> announced_length;  // Content-Length of the final response, if any
  std::int64_t received = 0;                     // body bytes delivered to on_data
  // 2xx, ended cleanly, and all of an announced length arrived.
  bool complete() const;
};

// Fetches url with the audio client and hands each piece of the body to on_data as it arrives
// (on_data returning false aborts the transfer: transferred stays false). on_progress, when given,
// is called as data arrives with (received, announced_length).
//
// Everything from the first "#" is dropped; only "http://" and "https://"
// URLs (any case) are fetched: for any other, or one the client cannot parse,
// transferred is false, status 0 and on_data is never called. The request is
// "GET" target "HTTP/1.0" with Host, User-Agent kAudioUserAgent and
// "Accept: */*" only: no cookies, no proxy (the environment's included).
// Redirects are followed, https is verified. The status is reported, not
// judged: a 404 page is delivered to on_data like any body.
AudioDownload download_audio(
    const Text& url, const std::function<bool(std::string_view)>& on_data,
    const std::function<void(std::int64_t, std::optional<std::int64_t>)>& on_progress = {});

}  // namespace orvendel
