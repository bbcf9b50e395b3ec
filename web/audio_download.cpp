#include "web/audio_download.h"

#include "text/text_primitives.h"
#include "web/curl_transfer.h"

namespace orvendel {

bool AudioDownload::complete() const {
  return transferred && status >= 200 && status <= 299 &&
         (!announced_length || received == *announced_length);
}

AudioDownload download_audio(
    const Text& url, const std::function<bool(std::string_view)>& on_data,
    const std::function<void(std::int64_t, std::optional<std::int64_t>)>& on_progress) {
  AudioDownload download;
  const int hash = find_text(url, "#");
  const Text address = hash == -1 ? url : text_left(url, hash - 1);
  const Text scheme = to_lower(text_left(address, 8));
  if (scheme != "https://" && text_left(scheme, 7) != "http://") return download;

  TransferOptions options;
  options.url = address;
  options.http_1_0 = true;
  options.user_agent = kAudioUserAgent;
  options.header_block = "Accept: */*";
  options.shared = SharedHttpState::kAudioClient;

  std::int64_t received = 0;
  const TransferResult result =
      perform_transfer(options, [&](std::string_view piece, std::optional<std::int64_t> announced) {
        received += static_cast<std::int64_t>(piece.size());
        if (!on_data(piece)) return false;
        if (on_progress) on_progress(received, announced);
        return true;
      });
  download.transferred = result.completed;
  download.status = result.status;
  download.announced_length = result.content_length;
  download.received = result.received;
  return download;
}

}  // namespace orvendel
