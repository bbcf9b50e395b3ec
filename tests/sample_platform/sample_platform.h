#pragma once
// The sample platform: a local HTTP stand-in for the audio platform's web site,
// serving the catalogue (catalogue.h) as the site does, all in UTF-8:
//
//   GET /search/album/kw/<K>/page/<n>/sc/true  search result page, text/html; K is the
//       keyword's UTF-8 bytes, percent-encoded ("%61%62%63") or not; "" is valid
//   GET /album/<number>?page=<n>              album page (n missing or below 1: page 1)
//   GET /tracks/<id>.json                     the track's document, application/json
//   GET /audio/<id>-64.mp3, /audio/<id>-32.mp3  the audio, audio/mpeg (see Delivery)
//   GET /cdn/<id>-64.mp3, /cdn/<id>-32.mp3    where kRedirect tracks lead; whole audio
//   anything else                             404 with not_found_page()
//
// The server listens on 127.0.0.1 only and answers on its own threads; several
// requests are served at once.

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "sample_platform/catalogue.h"

namespace orvendel::sample {

// The kinds of request the timing knobs act on.
enum class Route { kSearch, kAlbum, kTrackDocument, kAudio };

class SamplePlatform {
 public:
  // Listens on 127.0.0.1:port; 0 takes an ephemeral port. Serving has begun when the
  // constructor returns. Throws std::runtime_error when the port cannot be bound.
  explicit SamplePlatform(int port = 0);
  // Stops and joins: held and delayed requests, stalls and throttled sends end at
  // once (their connections are closed).
  ~SamplePlatform();
  SamplePlatform(const SamplePlatform&) = delete;
  SamplePlatform& operator=(const SamplePlatform&) = delete;

  int port() const;
  // "http://127.0.0.1:<port>": the program's site base, and the start of every audio URL.
  std::string base() const;
  // What a free track's document gives as the play path: base() + audio_path().
  std::string audio_url(const Track& track, Quality quality) const;

  // The request target of every request (path and query as sent, percent-encoding
  // kept: "/search/album/kw/%61/page/1/sc/true"), in order of arrival. A request is
  // recorded when it arrives, before any hold or delay.
  std::vector<std::string> requests() const;
  void clear_requests();
  // Waits until at least count requests are recorded (counting from the last
  // clear_requests); false when the timeout passes first.
  bool wait_for_requests(std::size_t count, std::chrono::milliseconds timeout) const;

  // Answers of the route wait this long after their request arrived (0: none).
  void set_delay(Route route, std::chrono::milliseconds delay);
  // While a route is held, its answers wait until release() (or the server stops);
  // lets a test keep a request open for exactly as long as it needs.
  void hold(Route route);
  void release(Route route);
  // How long a kStall track stays silent before its connection is closed; default 5 minutes.
  void set_stall_limit(std::chrono::milliseconds limit);
  // Audio bytes a second per connection (0, the default: as fast as the socket takes
  // them); lets the big track show download progress.
  void set_audio_rate(std::size_t bytes_per_second);

 private:
  struct Server;
  std::unique_ptr<Server> server_;
};

}  // namespace orvendel::sample
