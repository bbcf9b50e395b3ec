// Compiled with -fexec-charset=UTF-8: the Chinese literals here are the site's
// UTF-8 text, not the program's GBK.
//
// The pages carry the markers the program cuts its fields out by, with the
// exact bytes it looks for (line feeds and blanks included), inside markup
// shaped like the site's: a head, navigation, a sidebar, decoy lists that
// hold the same item markers outside the blocks the program cuts, and names
// and descriptions that arrive with CR LF, blank lines and edge blanks, as
// the site's database gives them.

#include "sample_platform/pages.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orvendel::sample::detail {
namespace {

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool starts_with_folded(std::string_view text, std::size_t at, std::string_view word) {
  if (text.size() - at < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (ascii_lower(text[at + i]) != ascii_lower(word[i])) return false;
  }
  return true;
}

// Decodes one UTF-8 character at text[at]; advances at. Malformed bytes,
// overlong forms and surrogates give U+FFFD and consume one byte.
char32_t next_code_point(std::string_view text, std::size_t& at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  int extra = 0;
  char32_t cp = 0;
  if (lead < 0x80) {
    ++at;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    cp = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    cp = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    cp = lead & 0x07;
  } else {
    ++at;
    return 0xFFFD;
  }
  if (text.size() - at <= static_cast<std::size_t>(extra)) {
    ++at;
    return 0xFFFD;
  }
  for (int i = 1; i <= extra; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) {
      ++at;
      return 0xFFFD;
    }
    cp = (cp << 6) | (byte(at + i) & 0x3F);
  }
  static const char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
  if (cp < kSmallest[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++at;
    return 0xFFFD;
  }
  at += extra + 1;
  return cp;
}

void append_utf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

void append_unicode_escape(std::string& out, unsigned unit) {
  static const char kDigits[] = "0123456789abcdef";
  out += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out += kDigits[(unit >> shift) & 15];
}

// Every byte as "%XX": how the site writes a keyword into its own links.
std::string percent_encode_all(std::string_view text) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    out += '%';
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find("\r\n", from)) != std::string::npos; from = at + 2) {
    lines.push_back(text.substr(from, at - from));
  }
  lines.push_back(text.substr(from));
  return lines;
}

// The site marks every occurrence of the keyword (ASCII letters in either
// case) with a highlight span, keeping the text's own letters.
std::string highlight(std::string_view text, std::string_view keyword) {
  if (keyword.empty()) return std::string(text);
  std::string out;
  std::size_t at = 0;
  while (at < text.size()) {
    if (starts_with_folded(text, at, keyword)) {
      out += "<span class=\"c09\">";
      out += text.substr(at, keyword.size());
      out += "</span>";
      at += keyword.size();
    } else {
      out += text[at++];
    }
  }
  return out;
}

int album_number(const Album& album) {
  return std::stoi(album.path.substr(album.path.rfind('/') + 1));
}

// The album name as the site's template and database deliver it. Three
// shapes, chosen by album, each of which the program's cleanup (one edge
// CR LF off each end, blank lines out, edge spaces off, highlight tags out)
// turns back into album.name exactly.
std::string name_markup(const Album& album, std::string_view keyword) {
  const std::string name = highlight(album.name, keyword);
  switch (album_number(album) % 3) {
    case 0:
      return "\r\n              " + name + "\r\n";
    case 1:
      return "              " + name + "    ";
    default:
      return name;
  }
}

// The description likewise, in two shapes: indented lines separated by
// blank and white-space-only lines, or the bare lines with edge blanks.
std::string description_markup(const Album& album, std::string_view keyword) {
  const std::vector<std::string> lines = split_lines(album.description);
  std::string out;
  if (album_number(album) % 2 == 0) {
    out = "\r\n            ";
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (i > 0) out += "\r\n   \r\n\r\n";
      out += highlight(lines[i], keyword);
    }
    out += "\r\n";
  } else {
    out = "  ";
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (i > 0) out += "\r\n";
      out += highlight(lines[i], keyword);
    }
    out += "  ";
  }
  return out;
}

std::string search_item(const Album& album, std::string_view keyword) {
  std::string ids;
  for (std::size_t i = 0; i < album.tracks.size() && i < 3; ++i) {
    if (i > 0) ids += ',';
    ids += album.tracks[i].id;
  }
  const std::string number = std::to_string(album_number(album));
  std::string out;
  out += "      <li class=\"search-album-item\" data-sound_ids=\"" + ids + "\">\n";
  out += "        <div class=\"search-album-cover\">\n";
  out += "          <a href=\"" + album.path + "\" class=\"inl-b sechAlbHov\"><img src=\"" +
         "/static/cover/" + number + ".jpg\" alt=\"\" width=\"140\" height=\"140\"></a>\n";
  if (album.paid()) out += "          <span class=\"search-album-badge\">付费</span>\n";
  out += "        </div>\n";
  out += "        <div class=\"search-album-info\">\n";
  out +=
      "          <a href=\"" + album.path + "\" class=\"search-album-tit elli-multi link4\"  >\n";
  out += name_markup(album, keyword) + "</a>\n";
  out += "          <p class=\"elli c02\">" + description_markup(album, keyword) + "</p>\n";
  out += "          <div class=\"search-album-meta\">\n";
  out += "            <span class=\"meta-play\"><i class=\"iconfont icon-playlight\">" +
         album.plays + "</i></span>\n";
  out += "            <span class=\"meta-sounds\"><i class=\"iconfont icon-soundslight\">" +
         album.track_count() + "</i></span>\n";
  out += "          </div>\n";
  out += "        </div>\n";
  out += "      </li>\n";
  return out;
}

std::string page_head(const std::string& title, const char* stylesheet) {
  std::string out;
  out += "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n";
  out += "<meta charset=\"utf-8\">\n";
  out += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
  out += "<title>" + title + " - 声海 Orvendel</title>\n";
  out += "<link rel=\"stylesheet\" href=\"/static/" + std::string(stylesheet) + "\">\n";
  out += "<link rel=\"icon\" href=\"/favicon.ico\">\n";
  out += "</head>\n<body>\n";
  out += "<div class=\"site-header\">\n";
  out += "  <a class=\"logo\" href=\"/\">声海</a>\n";
  out += "  <ul class=\"site-nav\">\n";
  out += "    <li><a href=\"/\">首页</a></li>\n";
  out += "    <li><a href=\"/category\">分类</a></li>\n";
  out += "    <li><a href=\"/rank\">排行榜</a></li>\n";
  out += "  </ul>\n";
  out += "</div>\n";
  return out;
}

const char kPageFoot[] =
    "<div class=\"site-footer\">\n"
    "  <p>声海 Orvendel 样例站点 · 仅供本地测试</p>\n"
    "</div>\n"
    "</body>\n"
    "</html>\n";

}  // namespace

std::string percent_decode(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && hex_value(text[i + 1]) >= 0 &&
        hex_value(text[i + 2]) >= 0) {
      out += static_cast<char>(hex_value(text[i + 1]) * 16 + hex_value(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string html_attribute(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '&') {
      out += "&amp;";
    } else if (c == '"') {
      out += "&quot;";
    } else {
      out += c;
    }
  }
  return out;
}

std::string html_text(std::string_view text) {
  std::string out;
  for (std::size_t at = 0; at < text.size();) {
    const char32_t cp = next_code_point(text, at);
    switch (cp) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        append_utf8(out, cp);
    }
  }
  return out;
}

std::string json_string(std::string_view text, bool ascii_only) {
  std::string out = "\"";
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t from = at;
    const char32_t cp = next_code_point(text, at);
    if (cp == '"' || cp == '\\') {
      out += '\\';
      out += static_cast<char>(cp);
    } else if (cp < 0x20) {
      append_unicode_escape(out, cp);
    } else if (cp < 0x80 || !ascii_only) {
      if (cp == 0xFFFD) {
        append_utf8(out, cp);
      } else {
        out.append(text.substr(from, at - from));
      }
    } else if (cp < 0x10000) {
      append_unicode_escape(out, cp);
    } else {
      const char32_t rest = cp - 0x10000;
      append_unicode_escape(out, 0xD800 + (rest >> 10));
      append_unicode_escape(out, 0xDC00 + (rest & 0x3FF));
    }
  }
  out += '"';
  return out;
}

std::string search_page(std::string_view keyword, int page) {
  const std::vector<const Album*> found = catalogue().search(keyword);
  const std::vector<const Album*> shown = catalogue().search_page(keyword, page);
  const std::string shown_keyword = html_text(keyword);
  const std::string encoded_keyword = percent_encode_all(keyword);
  const auto page_link = [&](int n) {
    return "/search/album/kw/" + encoded_keyword + "/page/" + std::to_string(n) + "/sc/true";
  };

  std::string out = page_head("“" + shown_keyword + "”的搜索结果", "search.css");
  out += "<div class=\"search-box\">\n";
  out +=
      "  <form action=\"/search\" method=\"get\"><input class=\"search-input\" name=\"kw\" "
      "value=\"" +
      shown_keyword + "\"><button type=\"submit\">搜索</button></form>\n";
  out += "</div>\n";
  out += "<div class=\"search-main\">\n";
  // The tabs: the album count is the one the program reads; the others carry
  // the same markup under other names.
  out += "  <ul class=\"search-lists-tabs\">\n";
  out += "    <li class=\"search-lists-tab\"><span class=\"search-lists-name\">声音</span>\n";
  out += "    <span>(" + std::to_string(found.size() * 37) + ")</span>\n";
  out += "    </li>\n";
  out +=
      "    <li class=\"search-lists-tab active\"><span class=\"search-lists-name\">专辑</span>\n";
  out += "    <span>(" + std::to_string(found.size()) + ")</span>\n";
  out += "    </li>\n";
  out += "    <li class=\"search-lists-tab\"><span class=\"search-lists-name\">主播</span>\n";
  out += "    <span>(" + std::to_string(found.size() / 3) + ")</span>\n";
  out += "    </li>\n";
  out += "  </ul>\n";
  out += "  <div class=\"search-album\">\n";
  out += "    <ul class=\"search-album-lists cl\">\n";
  for (const Album* album : shown) out += search_item(*album, keyword);
  out += "    </ul>\n";
  const int pages =
      static_cast<int>((found.size() + kAlbumsPerSearchPage - 1) / kAlbumsPerSearchPage);
  if (pages > 1) {
    out += "    <div class=\"pagination\">\n";
    for (int n = 1; n <= pages; ++n) {
      if (n == page) {
        out += "      <span class=\"page-current\">" + std::to_string(n) + "</span>\n";
      } else {
        out += "      <a class=\"page-link\" href=\"" + page_link(n) + "\">" + std::to_string(n) +
               "</a>\n";
      }
    }
    out += "    </div>\n";
  }
  out += "  </div>\n";
  out += "</div>\n";
  // A sidebar list shaped like the results, outside the block the program cuts.
  out += "<div class=\"search-side\">\n";
  out += "  <h3>热门专辑</h3>\n";
  out += "  <ul class=\"hot-albums\">\n";
  const Album& hot = catalogue().albums.front();
  out += "    <li class=\"hot-album\" data-sound_ids=\"" + hot.tracks.front().id + "\">\n";
  out += "      <a href=\"" + hot.path + "\" class=\"inl-b sechAlbHov\">" + html_text(hot.name) +
         "</a>\n";
  out += "      <i class=\"iconfont icon-playlight\">" + hot.plays + "</i>\n";
  out += "    </li>\n";
  out += "  </ul>\n";
  out += "</div>\n";
  out += kPageFoot;
  return out;
}

std::string album_page(const Album& album, int page) {
  const std::string number = std::to_string(album_number(album));
  std::string out = page_head(html_text(album.name) + " - 专辑", "album.css");
  out += "<div class=\"album-detail\">\n";
  out += "  <img class=\"album-cover\" src=\"/static/cover/" + number + ".jpg\" alt=\"\">\n";
  out += "  <h1 class=\"album-title\">" + html_text(album.name) + "</h1>\n";
  if (album.paid()) out += "  <span class=\"album-badge\">付费专辑</span>\n";
  out += "  <div class=\"album-intro\">" + html_text(album.description) + "</div>\n";
  out += "  <div class=\"album-count\">声音 <span class=\"albumSoundcount\">(" +
         album.track_count() + ")</span> · 播放 " + album.plays + "</div>\n";
  out += "</div>\n";
  out += "<div class=\"album_soundlist cl\">\n";
  out += "  <ul class=\"sound-list\">\n";
  int place = (page - 1) * kTracksPerAlbumPage;
  for (const Track* track : Catalogue::album_page(album, page)) {
    ++place;
    out += "    <li class=\"sound-item\"";
    if (!track->id.empty()) out += " sound_id=\"" + track->id + "\"";
    out += ">\n";
    out += "      <span class=\"sound-num\">" + std::to_string(place) + "</span>\n";
    out += "      <a href=\"/sound/" + track->id + "\" class=\"sound-title\" hashlink title=\"" +
           html_attribute(track->title) + "\">" + html_text(track->title) + "</a>\n";
    out += "      <span title=\"" + track->plays +
           "次播放\" class=\"sound-plays\"><i class=\"iconfont icon-play\"></i>" + track->plays +
           "</span>\n";
    if (track->paid()) out += "      <i class=\"iconfont icon-lock\" title=\"付费\"></i>\n";
    out += "    </li>\n";
  }
  out += "  </ul>\n";
  out += "</div>\n";
  if (album.page_count() > 1) {
    // Page links after the track list's end, so their items stay outside it.
    out += "<ul class=\"pagination\">\n";
    for (int n = 1; n <= album.page_count(); ++n) {
      out += "  <li><a href=\"" + album.path + "?page=" + std::to_string(n) + "\">" +
             std::to_string(n) + "</a></li>\n";
    }
    out += "</ul>\n";
  }
  out += kPageFoot;
  return out;
}

std::string track_document(const Track& track, const Album& album, std::string_view base) {
  // Album 1002's documents escape every non-ASCII character, as some of the
  // site's servers do.
  const bool ascii_only = album.path == "/album/1002";
  const auto quote = [&](std::string_view text) { return json_string(text, ascii_only); };
  const std::string number = std::to_string(album_number(album));
  std::string out = "{\n";
  out += "  \"ret\": 200,\n";
  out += "  \"id\": " + track.id + ",\n";
  out += "  \"album_id\": " + number + ",\n";
  // A nested "title" ahead of the track's own: only the top-level one counts.
  out += "  \"anchor\": {\"nickname\": " + quote("说书人老周") +
         ", \"title\": " + quote("金牌主播") + "},\n";
  out += "  \"title\": " + quote(track.title) + ",\n";
  if (album.title) out += "  \"album_title\": " + quote(*album.title) + ",\n";
  unsigned duration = 0;
  for (char c : track.id) duration = (duration * 31 + static_cast<unsigned char>(c)) % 1741;
  out += "  \"duration\": " + std::to_string(60 + duration) + ",\n";
  switch (track.access) {
    case Access::kFree:
      out += "  \"play_path_64\": " + quote(std::string(base) + audio_path(track, Quality::kHigh)) +
             ",\n";
      out +=
          "  \"play_path_32\": " + quote(std::string(base) + audio_path(track, Quality::kNormal)) +
          ",\n";
      break;
    case Access::kEmptyPaths:
      out += "  \"play_path_64\": \"\",\n  \"play_path_32\": \"\",\n";
      break;
    case Access::kNullPaths:
      out += "  \"play_path_64\": null,\n  \"play_path_32\": null,\n";
      break;
    case Access::kAbsentPaths:
      break;
  }
  out += "  \"is_paid\": " + std::string(track.paid() ? "true" : "false") + "\n";
  out += "}\n";
  if (track.document == Document::kMalformed) out.resize(out.size() / 2);
  return out;
}

}  // namespace orvendel::sample::detail
