// Compiled with -fexec-charset=UTF-8 like the rest of the sample platform.
//
// The HTTP side of the sample platform, on cpp-httplib: the one file of the
// fixture that includes it. Every request goes through one pre-routing
// handler that records the raw target and routes on it itself, because
// httplib's own routing sees the percent-decoded path, where an encoded "/"
// in a keyword would already have split it.

#include "sample_platform/sample_platform.h"

#include <httplib.h>

#include <array>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "sample_platform/pages.h"

namespace orvendel::sample {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kHtml = "text/html; charset=utf-8";
constexpr const char* kJson = "application/json; charset=utf-8";
constexpr const char* kAudio = "audio/mpeg";
constexpr std::size_t kPiece = 16 * 1024;

bool starts_with(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool ends_with(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// A decimal page number as the site reads it: leading digits, anything after
// them ignored; none, or a value below 1, is page 1. Huge values are clamped.
int page_number(std::string_view text) {
  long long n = 0;
  std::size_t i = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    n = std::min(n * 10 + (text[i] - '0'), 1000000000LL);
  }
  return n < 1 ? 1 : static_cast<int>(n);
}

// The value of one parameter of a raw query ("page=2&x=1"), or nullopt.
std::optional<std::string_view> query_value(std::string_view query, std::string_view name) {
  while (!query.empty()) {
    const std::size_t end = std::min(query.find('&'), query.size());
    const std::string_view pair = query.substr(0, end);
    if (starts_with(pair, name) && pair.size() > name.size() && pair[name.size()] == '=') {
      return pair.substr(name.size() + 1);
    }
    query.remove_prefix(std::min(end + 1, query.size()));
  }
  return std::nullopt;
}

void not_found(httplib::Response& res) {
  res.status = 404;
  res.set_content(not_found_page(), kHtml);
}

}  // namespace

struct SamplePlatform::Server {
  httplib::Server http;
  std::thread thread;
  std::atomic<bool> loop_ended{false};
  int port = 0;

  mutable std::mutex mutex;
  mutable std::condition_variable changed;
  bool stopping = false;
  std::vector<std::string> requests;
  std::array<std::chrono::milliseconds, 4> delays{};
  std::array<bool, 4> held{};
  std::chrono::milliseconds stall_limit = std::chrono::minutes(5);
  std::size_t audio_rate = 0;

  void record(const std::string& target) {
    {
      std::lock_guard lock(mutex);
      requests.push_back(target);
    }
    changed.notify_all();
  }

  // Waits until the route is neither held nor within its delay of arrived,
  // or the server stops.
  void wait_turn(Route route, Clock::time_point arrived) {
    const auto r = static_cast<std::size_t>(route);
    std::unique_lock lock(mutex);
    while (!stopping) {
      if (held[r]) {
        changed.wait(lock);
      } else if (Clock::now() < arrived + delays[r]) {
        changed.wait_until(lock, arrived + delays[r]);
      } else {
        break;
      }
    }
  }

  // Sleeps for at most duration; false when the server stops meanwhile.
  bool pause(Clock::duration duration) {
    std::unique_lock lock(mutex);
    return !changed.wait_for(lock, duration, [&] { return stopping; });
  }

  // Paces a piece of audio to the configured rate; false when the server stops.
  bool pace(std::size_t bytes) {
    std::size_t rate;
    {
      std::lock_guard lock(mutex);
      if (stopping) return false;
      rate = audio_rate;
    }
    if (rate == 0) return true;
    return pause(std::chrono::microseconds(bytes * 1000000 / rate));
  }

  std::string base() const { return "http://127.0.0.1:" + std::to_string(port); }

  void answer(const httplib::Request& req, httplib::Response& res) {
    const Clock::time_point arrived = Clock::now();
    if (req.method != "GET" && req.method != "HEAD") {
      res.status = 405;
      res.set_content(not_found_page(), kHtml);
      return;
    }
    const std::string_view target = req.target;
    const std::size_t question = std::min(target.find('?'), target.size());
    const std::string_view path = target.substr(0, question);
    const std::string_view query = target.substr(std::min(question + 1, target.size()));

    if (starts_with(path, "/search/album/kw/")) {
      wait_turn(Route::kSearch, arrived);
      answer_search(path.substr(17), res);
    } else if (starts_with(path, "/album/")) {
      wait_turn(Route::kAlbum, arrived);
      const Album* album = catalogue().find_album(path);
      if (album == nullptr) return not_found(res);
      const std::optional<std::string_view> page = query_value(query, "page");
      res.status = 200;
      res.set_content(detail::album_page(*album, page ? page_number(*page) : 1), kHtml);
    } else if (starts_with(path, "/tracks/") && ends_with(path, ".json")) {
      wait_turn(Route::kTrackDocument, arrived);
      const std::string_view id = path.substr(8, path.size() - 8 - 5);
      const Track* track = id.empty() ? nullptr : catalogue().find_track(id);
      if (track == nullptr || track->document == Document::kMissing) return not_found(res);
      res.status = 200;
      res.set_content(detail::track_document(*track, *catalogue().album_of(*track), base()), kJson);
    } else if (starts_with(path, "/audio/") || starts_with(path, "/cdn/")) {
      wait_turn(Route::kAudio, arrived);
      answer_audio(path, req.version == "HTTP/1.0", res);
    } else {
      not_found(res);
    }
  }

  // rest: "<K>/page/<n>/sc/true"; the last "/page/" ends K, so a keyword sent
  // unencoded may hold "/page/" itself.
  void answer_search(std::string_view rest, httplib::Response& res) {
    if (!ends_with(rest, "/sc/true")) return not_found(res);
    rest.remove_suffix(8);
    const std::size_t page_at = rest.rfind("/page/");
    if (page_at == std::string_view::npos) return not_found(res);
    const std::string_view number = rest.substr(page_at + 6);
    if (number.empty() || number.find_first_not_of("0123456789") != std::string_view::npos) {
      return not_found(res);
    }
    const std::string keyword = detail::percent_decode(rest.substr(0, page_at));
    res.status = 200;
    res.set_content(detail::search_page(keyword, page_number(number)), kHtml);
  }

  // path: "/audio/<id>-64.mp3" or "/cdn/<id>-32.mp3".
  void answer_audio(std::string_view path, bool http10, httplib::Response& res) {
    const bool cdn = starts_with(path, "/cdn/");
    path.remove_prefix(cdn ? 5 : 7);
    Quality quality;
    if (ends_with(path, "-64.mp3")) {
      quality = Quality::kHigh;
    } else if (ends_with(path, "-32.mp3")) {
      quality = Quality::kNormal;
    } else {
      return not_found(res);
    }
    path.remove_suffix(7);
    const Track* track = path.empty() ? nullptr : catalogue().find_track(path);
    if (track == nullptr || track->paid()) return not_found(res);
    const Delivery delivery = cdn ? Delivery::kWhole : track->delivery;
    if (delivery == Delivery::kMissing) return not_found(res);
    if (delivery == Delivery::kRedirect) {
      res.set_redirect(base() + "/cdn/" + std::string(path) +
                           (quality == Quality::kHigh ? "-64.mp3" : "-32.mp3"),
                       302);
      return;
    }

    auto bytes = std::make_shared<const std::string>(audio_bytes(*track, quality));
    res.status = 200;
    if (delivery == Delivery::kChunked) {
      auto provider = [this, bytes](std::size_t offset, httplib::DataSink& sink) {
        if (offset >= bytes->size()) {
          sink.done();
          return true;
        }
        const std::size_t n = std::min(kPiece, bytes->size() - offset);
        return pace(n) && sink.write(bytes->data() + offset, n);
      };
      // HTTP/1.0 knows no chunked coding: such a client gets a body that ends
      // where the connection closes, as real servers send it.
      if (http10) {
        res.set_content_provider(kAudio, provider);
      } else {
        res.set_chunked_content_provider(kAudio, provider);
      }
      return;
    }
    // Whole, cut and stalled audio all announce the whole length; the last two
    // stop sending at their limit.
    const std::size_t limit = bytes_before_failure(*track, quality);
    res.set_content_provider(bytes->size(), kAudio,
                             [this, bytes, limit, delivery](std::size_t offset, std::size_t length,
                                                            httplib::DataSink& sink) {
                               return send_up_to(*bytes, limit, delivery, offset, length, sink);
                             });
  }

  // Sends the next piece of bytes below limit; at the limit a kStall track
  // first stays silent for the stall limit. false makes httplib close the
  // connection, mid-body when limit is below the announced length.
  bool send_up_to(const std::string& bytes, std::size_t limit, Delivery delivery,
                  std::size_t offset, std::size_t length, httplib::DataSink& sink) {
    if (offset >= limit) {
      if (delivery == Delivery::kStall) {
        std::chrono::milliseconds silence;
        {
          std::lock_guard lock(mutex);
          silence = stall_limit;
        }
        pause(silence);
      }
      return false;
    }
    const std::size_t n = std::min({length, limit - offset, kPiece});
    return pace(n) && sink.write(bytes.data() + offset, n);
  }
};

SamplePlatform::SamplePlatform(int port) : server_(std::make_unique<Server>()) {
  Server& s = *server_;
  // Enough workers that stalled and held requests do not starve the others.
  s.http.new_task_queue = [] { return new httplib::ThreadPool(16); };
  // An idle kept-alive connection would hold up the stop for this long.
  s.http.set_keep_alive_timeout(1);
  // httplib's default adds SO_REUSEPORT, which would let a second server bind
  // a busy port and share its requests; a busy port must be an error instead.
  s.http.set_socket_options([](socket_t sock) {
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  });
  s.http.set_pre_routing_handler([&s](const httplib::Request& req, httplib::Response& res) {
    s.record(req.target);
    s.answer(req, res);
    return httplib::Server::HandlerResponse::Handled;
  });
  if (port == 0) {
    s.port = s.http.bind_to_any_port("127.0.0.1");
    if (s.port <= 0) throw std::runtime_error("sample platform: no free port on 127.0.0.1");
  } else {
    if (!s.http.bind_to_port("127.0.0.1", port)) {
      throw std::runtime_error("sample platform: cannot listen on 127.0.0.1:" +
                               std::to_string(port));
    }
    s.port = port;
  }
  s.thread = std::thread([&s] {
    s.http.listen_after_bind();
    s.loop_ended = true;
  });
  // stop() does nothing before the loop runs, so the destructor could not end it.
  while (!s.http.is_running() && !s.loop_ended) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

SamplePlatform::~SamplePlatform() {
  {
    std::lock_guard lock(server_->mutex);
    server_->stopping = true;
  }
  server_->changed.notify_all();
  server_->http.stop();
  server_->thread.join();
}

int SamplePlatform::port() const { return server_->port; }

std::string SamplePlatform::base() const { return server_->base(); }

std::string SamplePlatform::audio_url(const Track& track, Quality quality) const {
  return base() + audio_path(track, quality);
}

std::vector<std::string> SamplePlatform::requests() const {
  std::lock_guard lock(server_->mutex);
  return server_->requests;
}

void SamplePlatform::clear_requests() {
  std::lock_guard lock(server_->mutex);
  server_->requests.clear();
}

bool SamplePlatform::wait_for_requests(std::size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(server_->mutex);
  return server_->changed.wait_for(lock, timeout,
                                   [&] { return server_->requests.size() >= count; });
}

void SamplePlatform::set_delay(Route route, std::chrono::milliseconds delay) {
  {
    std::lock_guard lock(server_->mutex);
    server_->delays[static_cast<std::size_t>(route)] = delay;
  }
  server_->changed.notify_all();
}

void SamplePlatform::hold(Route route) {
  std::lock_guard lock(server_->mutex);
  server_->held[static_cast<std::size_t>(route)] = true;
}

void SamplePlatform::release(Route route) {
  {
    std::lock_guard lock(server_->mutex);
    server_->held[static_cast<std::size_t>(route)] = false;
  }
  server_->changed.notify_all();
}

void SamplePlatform::set_stall_limit(std::chrono::milliseconds limit) {
  {
    std::lock_guard lock(server_->mutex);
    server_->stall_limit = limit;
  }
  server_->changed.notify_all();
}

void SamplePlatform::set_audio_rate(std::size_t bytes_per_second) {
  std::lock_guard lock(server_->mutex);
  server_->audio_rate = bytes_per_second;
}

}  // namespace orvendel::sample
