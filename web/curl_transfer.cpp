#include "web/curl_transfer.h"

#include <curl/curl.h>

#include <array>
#include <charconv>
#include <memory>
#include <mutex>
#include <utility>

#include "web/transfer_timeouts.h"

namespace orvendel {
namespace {

constexpr long kMaxRedirects = 30;

void initialise_curl_once() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// A share handle and the locks that let several threads use it at once.
class Share {
 public:
  explicit Share(std::initializer_list<curl_lock_data> what) : handle_(curl_share_init()) {
    if (handle_ == nullptr) return;
    curl_share_setopt(handle_, CURLSHOPT_LOCKFUNC, &Share::lock);
    curl_share_setopt(handle_, CURLSHOPT_UNLOCKFUNC, &Share::unlock);
    curl_share_setopt(handle_, CURLSHOPT_USERDATA, this);
    for (curl_lock_data data : what) curl_share_setopt(handle_, CURLSHOPT_SHARE, data);
  }
  Share(const Share&) = delete;
  Share& operator=(const Share&) = delete;

  CURLSH* handle() const { return handle_; }

 private:
  static void lock(CURL*, curl_lock_data data, curl_lock_access, void* self) {
    static_cast<Share*>(self)->locks_[data].lock();
  }
  static void unlock(CURL*, curl_lock_data data, void* self) {
    static_cast<Share*>(self)->locks_[data].unlock();
  }

  CURLSH* handle_;
  std::array<std::mutex, CURL_LOCK_DATA_LAST> locks_;
};

// The shares live until the process ends: workers may still be using them
// while static objects are destroyed, so they are never freed. Function-local
// statics are created once even when two threads arrive together.
CURLSH* shared_handle(SharedHttpState state) {
  switch (state) {
    case SharedHttpState::kNone:
      return nullptr;
    case SharedHttpState::kCookieStore: {
      static Share* const cookies = new Share({CURL_LOCK_DATA_COOKIE});
      return cookies->handle();
    }
    case SharedHttpState::kAudioClient: {
      static Share* const audio = new Share({CURL_LOCK_DATA_CONNECT, CURL_LOCK_DATA_DNS});
      return audio->handle();
    }
  }
  return nullptr;
}

char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool starts_with_ignoring_case(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (ascii_lower(text[i]) != ascii_lower(prefix[i])) return false;
  }
  return true;
}

std::string_view trim_blanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The layer refuses control bytes and spaces in a URL; a browser would send
// them percent-encoded. The fragment is the client's own and never sent.
std::string wire_url(const Text& url) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : url) {
    if (c == '#') break;
    if (c <= 0x20 || c == 0x7F) {
      out += '%';
      out += kDigits[c >> 4];
      out += kDigits[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

struct UrlOrigin {
  std::string scheme, host, port;
  bool operator==(const UrlOrigin&) const = default;
};

std::optional<UrlOrigin> origin_of(const std::string& url) {
  std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> u(curl_url(), &curl_url_cleanup);
  if (!u || curl_url_set(u.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) return std::nullopt;
  UrlOrigin origin;
  for (auto [part, out] :
       {std::pair{CURLUPART_SCHEME, &origin.scheme}, std::pair{CURLUPART_HOST, &origin.host},
        std::pair{CURLUPART_PORT, &origin.port}}) {
    char* value = nullptr;
    if (curl_url_get(u.get(), part, &value, CURLU_DEFAULT_PORT) != CURLUE_OK) return std::nullopt;
    *out = value;
    curl_free(value);
  }
  for (char& c : origin.host) c = ascii_lower(c);
  return origin;
}

using HeaderList = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

// The caller's header lines in the layer's notation, followed by entries that
// stop the layer from adding Accept, Expect and Content-Type lines of its own.
// keep_credentials false leaves out Cookie and Authorization lines, for a
// redirect that leads to another site.
HeaderList header_list(const Text& block, bool keep_credentials) {
  HeaderList list(nullptr, &curl_slist_free_all);
  auto add = [&list](const std::string& entry) {
    if (curl_slist* grown = curl_slist_append(list.get(), entry.c_str())) {
      list.release();
      list.reset(grown);
    }
  };
  std::string_view rest = block;
  while (!rest.empty()) {
    const std::size_t end = rest.find_first_of("\r\n");
    const std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0) continue;
    if (!keep_credentials && (starts_with_ignoring_case(line, "Cookie:") ||
                              starts_with_ignoring_case(line, "Authorization:"))) {
      continue;
    }
    // "Name:" alone would tell the layer to drop a header; "Name;" sends it empty.
    if (trim_blanks(line.substr(colon + 1)).empty()) {
      add(std::string(line.substr(0, colon)) + ";");
    } else {
      add(std::string(line));
    }
  }
  for (const char* suppressed : {"Accept:", "Expect:", "Content-Type:"}) add(suppressed);
  return list;
}

bool is_followed_redirect(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// What one request of a transfer (the first, or one after a redirect) collects.
struct Exchange {
  const BodyReceiver* on_body = nullptr;
  bool hold_redirect_bodies = false;  // redirects are followed here, not by the layer
  bool holding = false;               // this response is a redirect to follow
  // A HEAD that carries a body is sent as a custom method, and the layer would
  // then wait for a response body that never comes: stop after the headers.
  bool stop_after_headers = false;
  bool stopped_after_headers = false;
  std::string held;
  bool response_seen = false;
  bool headers_ended = false;
  int status = 0;
  std::string block;
  std::optional<std::int64_t> content_length;
  std::int64_t received = 0;

  // Forgets what an earlier response left, keeping where the body goes.
  void restart() {
    Exchange fresh;
    fresh.on_body = on_body;
    fresh.hold_redirect_bodies = hold_redirect_bodies;
    fresh.stop_after_headers = stop_after_headers;
    *this = std::move(fresh);
  }
};

int status_of(std::string_view status_line) {
  const std::size_t space = status_line.find(' ');
  if (space == std::string_view::npos) return 0;
  int code = 0;
  const char* first = status_line.data() + space + 1;
  std::from_chars(first, status_line.data() + status_line.size(), code);
  return code;
}

std::size_t on_header(char* data, std::size_t size, std::size_t count, void* context) {
  auto& x = *static_cast<Exchange*>(context);
  const std::size_t length = size * count;
  std::string_view line(data, length);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  if (line.starts_with("HTTP/")) {
    // Each status line begins a response (an interim 1xx or a redirect may come
    // first); only the last one's block is kept.
    x.restart();
    x.response_seen = true;
    x.status = status_of(line);
  } else if (!x.response_seen || x.headers_ended) {
    return length;  // trailers after a chunked body are not part of the block
  }
  if (line.empty()) {
    x.headers_ended = true;
    x.holding = x.hold_redirect_bodies && is_followed_redirect(x.status);
    if (x.stop_after_headers && x.status >= 200) {
      x.stopped_after_headers = true;
      return CURL_WRITEFUNC_ERROR;
    }
    return length;
  }
  x.block.append(line).append("\r\n");
  if (starts_with_ignoring_case(line, "Content-Length:")) {
    const std::string_view value = trim_blanks(line.substr(15));
    std::int64_t n = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (error == std::errc{} && end == value.data() + value.size() && n >= 0) x.content_length = n;
  }
  return length;
}

// False when the caller wants no more.
bool deliver(Exchange& x, std::string_view piece) {
  if (x.holding) {
    x.held.append(piece);
    return true;
  }
  x.received += static_cast<std::int64_t>(piece.size());
  return (*x.on_body)(piece, x.content_length);
}

std::size_t on_write(char* data, std::size_t size, std::size_t count, void* context) {
  const std::size_t length = size * count;
  return deliver(*static_cast<Exchange*>(context), std::string_view(data, length))
             ? length
             : CURL_WRITEFUNC_ERROR;
}

struct Request {
  std::string url;
  std::string method;
  const std::string* body = nullptr;  // nullptr: none
  bool use_proxy = false;
  bool keep_credentials = true;
};

void configure(CURL* curl, const TransferOptions& options, const Request& request,
               bool layer_follows, curl_slist* headers, Exchange& exchange) {
  const TransferTimeouts timeouts = transfer_timeouts();
  curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_PATH_AS_IS, 1L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_HTTP_VERSION,
                   options.http_1_0 ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  // An empty proxy and no-proxy list also keep http_proxy, NO_PROXY and the
  // like in the environment out of it.
  curl_easy_setopt(curl, CURLOPT_PROXY, request.use_proxy ? options.proxy.c_str() : "");
  curl_easy_setopt(curl, CURLOPT_NOPROXY, "");
  curl_easy_setopt(curl, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, layer_follows ? 1L : 0L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, static_cast<long>(timeouts.connect_seconds));
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(timeouts.stall_seconds));
  curl_easy_setopt(curl, CURLOPT_USERAGENT, options.user_agent.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);

  curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, nullptr);
  if (request.method == "HEAD" && request.body == nullptr) {
    curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
  } else if (request.body != nullptr) {
    curl_easy_setopt(curl, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE,
                     static_cast<curl_off_t>(request.body->size()));
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.body->data());
    if (request.method != "POST") {
      curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, request.method.c_str());
    }
  } else if (request.method == "POST") {
    curl_easy_setopt(curl, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(0));
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, "");
  } else {
    curl_easy_setopt(curl, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
  }

  if (CURLSH* share = shared_handle(options.shared)) {
    curl_easy_setopt(curl, CURLOPT_SHARE, share);
    // Switches the cookie engine on: it then reads and writes the shared store.
    if (options.shared == SharedHttpState::kCookieStore) {
      curl_easy_setopt(curl, CURLOPT_COOKIEFILE, "");
    }
  }
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &on_header);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &exchange);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &on_write);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &exchange);
}

}  // namespace

TransferResult perform_transfer(const TransferOptions& options, const BodyReceiver& on_body) {
  initialise_curl_once();
  TransferResult result;
  std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), &curl_easy_cleanup);
  if (!curl || (options.shared != SharedHttpState::kNone && !shared_handle(options.shared))) {
    return result;
  }
  result.started = true;

  // The layer's own redirect handling keeps one proxy for every hop; when the
  // proxy must serve plain http only, each hop is made here with its own.
  // A HEAD with a body is followed here too, so that every hop stops after
  // its headers.
  const bool head_with_body = options.method == "HEAD" && options.body;
  const bool layer_follows = options.follow_redirects && !head_with_body &&
                             (options.proxy.empty() || !options.proxy_for_plain_http_only);
  Request request{wire_url(options.url), options.method, options.body ? &*options.body : nullptr};
  const std::optional<UrlOrigin> first_origin = origin_of(request.url);

  Exchange exchange;
  CURLcode code = CURLE_OK;
  for (long hop = 0;; ++hop) {
    const bool https = starts_with_ignoring_case(request.url, "https://");
    request.use_proxy = !options.proxy.empty() && (!options.proxy_for_plain_http_only || !https);
    const HeaderList headers = header_list(options.header_block, request.keep_credentials);
    exchange.on_body = &on_body;
    exchange.hold_redirect_bodies = !layer_follows && options.follow_redirects;
    exchange.stop_after_headers = head_with_body && request.method == "HEAD";
    exchange.restart();
    configure(curl.get(), options, request, layer_follows, headers.get(), exchange);
    code = curl_easy_perform(curl.get());
    if (code == CURLE_WRITE_ERROR && exchange.stopped_after_headers) code = CURLE_OK;

    char* next = nullptr;
    if (code != CURLE_OK || !exchange.holding || hop == kMaxRedirects ||
        curl_easy_getinfo(curl.get(), CURLINFO_REDIRECT_URL, &next) != CURLE_OK ||
        next == nullptr) {
      break;
    }
    request.url = next;
    const int status = exchange.status;
    if ((status == 303 && request.method != "HEAD") ||
        (status <= 302 && request.method == "POST")) {
      request.method = "GET";
      request.body = nullptr;
    }
    request.keep_credentials = first_origin && origin_of(request.url) == first_origin;
  }
  // A redirect that could not be followed after all is the response.
  if (exchange.holding && !exchange.held.empty()) {
    exchange.holding = false;
    if (!deliver(exchange, std::exchange(exchange.held, {}))) code = CURLE_WRITE_ERROR;
  }

  long status = 0;
  curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
  result.status = exchange.response_seen ? static_cast<int>(status) : 0;
  result.completed = code == CURLE_OK && exchange.response_seen;
  if (exchange.response_seen) result.header_block = exchange.block;
  result.content_length = exchange.content_length;
  result.received = exchange.received;
  return result;
}

}  // namespace orvendel
