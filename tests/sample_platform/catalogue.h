#pragma once
// The sample platform's catalogue: every album and track the local stand-in
// for the audio platform serves, shared by the tests and the demo so that
// tests state their expectations from it instead of repeating literals.
//
// Every text here is UTF-8, the site's encoding; the program sees it as GBK
// only after its own conversion (utf8_to_gbk). This header holds no
// non-ASCII narrow literal, so it compiles the same under the project's GBK
// execution charset and under the UTF-8 one of the sample platform's sources.
//
// Keywords (a search matches an album when the keyword equals one of the
// album's keywords, ASCII letters in either case; result order is catalogue
// order, 20 per result page):
//
//   keyword      albums  which
//   ""           99      every album: 5 result pages (20, 20, 20, 20, 19)
//   "zzz"        0       (so does every keyword not listed here)
//   "abc"        1       /album/5001 "ABC Song 字母歌"
//   "评书"       1       /album/1001
//   "三国"       3       /album/1001, /album/1002, /album/1003
//   "英语"       20      /album/3001 .. /album/3020: exactly one page
//   "音乐"       21      /album/4001 .. /album/4021: two pages, 1 album on the second
//   "故事"       45      /album/1001, /album/2001 .. /album/2044: three pages (20, 20, 5)
//   "titles"     1       /album/1002
//   "paid"       1       /album/1003
//   "hostile"    7       /album/6001 .. /album/6007
//   "faults"     3       /album/7001 .. /album/7003
//
// Albums of note:
//   /album/1001  "三国演义（评书全集）", 250 tracks (album pages 1 to 3: 100, 100, 50)
//   /album/1002  "三国人物谈": track titles with characters file names may not
//                hold, HTML entities in the listing, a title of forbidden
//                characters only, two titles that sanitize to one file name,
//                a title over 255 bytes in GBK, GBK characters whose second
//                byte is 0x5C or 0x7C, a character GBK cannot hold; its JSON
//                documents escape every non-ASCII character as \uXXXX
//   /album/1003  "三国精讲（付费专辑）": one free preview, then the three paid
//                forms (empty play paths, absent members, null members)
//   /album/2001  100 tracks (one selector entry); /album/2002 101 tracks (two);
//   /album/2044  no tracks at all
//   /album/6001 .. 6007  album titles "../../x", "/tmp/x", "..", "...",
//                "上级\下级" (a backslash), "专辑:测试?*", and no "album_title"
//   /album/7001  the failing deliveries in one album (in this order): whole,
//                chunked, 404, cut mid-body, redirect, JSON 404, JSON malformed,
//                an item without an id, whole
//   /album/7002  a stalling track, then a whole one
//   /album/7003  a big track (4 MiB high, 2 MiB normal), then a small one
//
// Track ids are the album number times 1000 plus the track's 1-based place
// in the album: track 3 of /album/1001 is "1001003".

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvendel::sample {

inline constexpr int kAlbumsPerSearchPage = 20;
inline constexpr int kTracksPerAlbumPage = 100;

// The two audio qualities: kHigh is "play_path_64", kNormal "play_path_32".
enum class Quality { kHigh, kNormal };

// How a track's audio URL answers.
enum class Delivery {
  kWhole,     // 200 with a Content-Length
  kChunked,   // 200, chunked transfer coding, no Content-Length
  kMissing,   // 404 with not_found_page() as the body
  kCut,       // Content-Length of the whole audio, bytes_before_failure() bytes, then the
              // connection is closed
  kStall,     // Content-Length of the whole audio, bytes_before_failure() bytes, then
              // nothing until the stall limit passes or the server stops; then closed
  kRedirect,  // 302 to an absolute URL on the same server that serves the whole audio
};

// What a track's JSON document says about its audio.
enum class Access {
  kFree,         // both play paths are absolute URLs
  kEmptyPaths,   // paid: "play_path_64": "" and "play_path_32": ""
  kAbsentPaths,  // paid: neither member is present
  kNullPaths,    // paid: both members are null
};

// How a track's JSON document is served.
enum class Document {
  kServed,     // 200, a JSON object
  kMissing,    // 404 with not_found_page()
  kMalformed,  // 200, a text that is not JSON (cut off in the middle of a member)
};

struct Track {
  std::string id;            // decimal, unique; "" for the one item listed without an id
  std::string title;         // the document's "title"
  std::string listed_title;  // the title cell after the program's cleanup: title as an HTML
                             // attribute value, so "&" reads "&amp;" and '"' reads "&quot;"
  std::string plays;         // the play-count cell, e.g. "2.3万" or "856"
  Access access = Access::kFree;
  Delivery delivery = Delivery::kWhole;
  Document document = Document::kServed;
  bool big = false;  // audio of a few MiB instead of a few tens of KiB

  bool paid() const { return access != Access::kFree; }
};

struct Album {
  std::string path;         // "/album/1001": column 0 of the search list
  std::string name;         // the name cell after the program's cleanup
  std::string description;  // the description cell after the cleanup; lines joined by CR LF
  // The documents' "album_title", the download folder; nullopt: the member is absent.
  std::optional<std::string> title;
  std::string plays;                  // the play-count cell, e.g. "1.2亿"
  std::vector<std::string> keywords;  // what finds it (see the table above)
  std::vector<Track> tracks;

  // The track-count cell and the album page's count: "250".
  std::string track_count() const { return std::to_string(tracks.size()); }
  // Album pages holding tracks: 250 tracks -> 3, 100 -> 1, 0 -> 0.
  int page_count() const {
    return static_cast<int>((tracks.size() + kTracksPerAlbumPage - 1) / kTracksPerAlbumPage);
  }
  bool paid() const;
};

struct Catalogue {
  std::vector<Album> albums;

  // The albums a keyword (UTF-8) finds, in result order; "" finds every album.
  std::vector<const Album*> search(std::string_view keyword) const;
  // The albums of one result page (1-based): page 2 of "音乐" holds /album/4021 only;
  // a page below 1 or past the end holds none.
  std::vector<const Album*> search_page(std::string_view keyword, int page) const;
  // The tracks of one album page (1-based), 100 a page; none past the end.
  static std::vector<const Track*> album_page(const Album& album, int page);
  const Album* find_album(std::string_view path) const;  // nullptr when unknown
  const Track* find_track(std::string_view id) const;    // nullptr when unknown
  const Album* album_of(const Track& track) const;       // nullptr for a track not in it
};

// The one catalogue, built on first use.
const Catalogue& catalogue();

// The audio's path on the server: "/audio/1001003-64.mp3" (kHigh), "-32.mp3" (kNormal).
std::string audio_path(const Track& track, Quality quality);

// The whole audio a track's URL stands for: deterministic bytes (NULs included) that
// differ per track and per quality; for kRedirect the bytes at the end of the redirect.
// Defined for every track, though kMissing and paid tracks never serve it.
std::string audio_bytes(const Track& track, Quality quality);

// How many bytes of audio_bytes() a kCut or kStall track sends before it fails (a
// proper, non-empty prefix); the whole size for every other delivery.
std::size_t bytes_before_failure(const Track& track, Quality quality);

// The HTML body of every 404 answer (unknown page, document or audio).
std::string not_found_page();

}  // namespace orvendel::sample
