// Compiled with -fexec-charset=UTF-8: the Chinese literals here are the site's
// UTF-8 text, not the program's GBK.
//
// The catalogue: a few hand-made albums that carry the awkward cases, and
// generated series that give the keywords their result counts. Names and
// descriptions are stated as the program shows them after its cleanup; the
// pages wrap them in the raw layouts the site sends (pages.cpp).

#include "sample_platform/catalogue.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "sample_platform/pages.h"

namespace orvendel::sample {
namespace {

std::uint64_t fingerprint(std::string_view text) {
  std::uint64_t h = 1469598103934665603ull;  // FNV-1a
  for (unsigned char c : text) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

// Play counts as the site prints them: "856", "2.3万", "1.2亿".
std::string plays_text(std::uint64_t count) {
  char buffer[32];
  if (count < 10000) {
    std::snprintf(buffer, sizeof buffer, "%llu", static_cast<unsigned long long>(count));
  } else if (count < 100000000) {
    std::snprintf(buffer, sizeof buffer, "%.1f万", static_cast<double>(count) / 1e4);
  } else {
    std::snprintf(buffer, sizeof buffer, "%.1f亿", static_cast<double>(count) / 1e8);
  }
  return buffer;
}

std::string two_digits(int n) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d", n);
  return buffer;
}

std::string three_digits(int n) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%03d", n);
  return buffer;
}

Album make_album(int number, std::string name, std::string description,
                 std::vector<std::string> keywords) {
  Album album;
  album.path = "/album/" + std::to_string(number);
  album.title = name;
  album.name = std::move(name);
  album.description = std::move(description);
  album.plays = plays_text(fingerprint(album.path) % 300000000 / (1 + number % 7));
  album.keywords = std::move(keywords);
  return album;
}

// Appends a track with the next place in the album; its id follows from the
// album number and the place.
Track& add_track(Album& album, std::string title, Delivery delivery = Delivery::kWhole) {
  const int number = std::stoi(album.path.substr(album.path.rfind('/') + 1));
  Track track;
  track.id = std::to_string(number * 1000 + static_cast<int>(album.tracks.size()) + 1);
  track.listed_title = detail::html_attribute(title);
  track.title = std::move(title);
  track.plays = plays_text(fingerprint(track.id) % 2000000 / (1 + album.tracks.size() % 5));
  track.delivery = delivery;
  album.tracks.push_back(std::move(track));
  return album.tracks.back();
}

Album romance_of_three_kingdoms() {
  Album album = make_album(1001, "三国演义（评书全集）",
                           "经典评书，讲述东汉末年群雄逐鹿的故事。\r\n共250集，全集免费收听。",
                           {"三国", "故事", "评书"});
  static const char* const kChapters[] = {
      "宴桃园豪杰三结义", "张翼德怒鞭督邮", "议温明董卓叱丁原", "废汉帝陈留践位",
      "发矫诏诸镇应曹公", "焚金阙董卓行凶", "袁绍磐河战公孙",   "王司徒巧使连环计",
      "除暴凶吕布助司徒", "马腾举义救长安", "刘皇叔北海救孔融", "陶恭祖三让徐州",
  };
  for (int i = 1; i <= 250; ++i) {
    add_track(album, "第" + three_digits(i) + "集 " + kChapters[(i - 1) % std::size(kChapters)],
              i % 4 == 0 ? Delivery::kChunked : Delivery::kWhole);
  }
  return album;
}

Album awkward_titles() {
  Album album = make_album(1002, "三国人物谈", "说说三国里的那些人。\r\n文件名与标题测试专辑。",
                           {"三国", "titles"});
  add_track(album, "曹操:奸雄还是英雄?");
  add_track(album, "诸葛亮 \"出师表\" 全文");
  add_track(album, "刘备/关羽/张飞 <桃园结义>");
  add_track(album, "周瑜 & 小乔");
  add_track(album, "反斜杠\\星号*竖线|");
  add_track(album, "\\/:*?|<>\"");  // nothing is left of it in a file name
  add_track(album, "答疑:第1期");   // these two sanitize to one file name
  add_track(album, "答疑第1期");
  std::string long_title;
  for (int i = 0; i < 34; ++i) long_title += "赤壁之战";  // 272 bytes in GBK
  add_track(album, long_title);
  // In GBK 東 is 96 7C, 淺 9C 5C and 億 83 7C: second bytes equal to "|" and "\".
  add_track(album, "東風淺唱·億萬年");
  add_track(album, "耳机🎧试听");  // U+1F3A7 has no GBK form
  return album;
}

Album paid_album() {
  Album album = make_album(1003, "三国精讲（付费专辑）",
                           "名师精讲三国历史，第一讲免费试听。\r\n付费专辑，购买后收听全部内容。",
                           {"三国", "paid"});
  add_track(album, "试听：第一讲 三分天下");
  add_track(album, "第二讲 官渡之战").access = Access::kEmptyPaths;
  add_track(album, "第三讲 赤壁之战").access = Access::kAbsentPaths;
  add_track(album, "第四讲 夷陵之战").access = Access::kNullPaths;
  add_track(album, "第五讲 五丈原").access = Access::kEmptyPaths;
  return album;
}

void add_story_series(std::vector<Album>& albums) {
  struct Series {
    const char* name;
    const char* blurb;
  };
  static const Series kSeries[] = {
      {"睡前故事", "每晚一个小故事，陪伴孩子安然入睡。"},
      {"成语故事", "一个成语一个故事，轻松积累语文知识。"},
      {"童话故事", "经典童话，温暖每一个童年。"},
      {"寓言故事", "短小的寓言，深长的道理。"},
      {"神话故事", "上古神话，听祖先讲天地的来历。"},
      {"民间故事", "流传千年的民间传说。"},
      {"历史故事", "用故事读懂中国历史。"},
      {"科学故事", "科学家们的发现之旅。"},
      {"侦探故事", "抽丝剥茧，真相只有一个。"},
      {"英雄故事", "古今中外的英雄人物。"},
      {"动物故事", "森林里的朋友们。"},
  };
  static const char* const kStories[] = {
      "小红帽",   "三只小猪", "龟兔赛跑", "守株待兔", "狐假虎威", "拔苗助长",
      "井底之蛙", "画蛇添足", "掩耳盗铃", "亡羊补牢", "愚公移山", "精卫填海",
      "夸父逐日", "后羿射日", "女娲补天", "嫦娥奔月", "丑小鸭",   "皇帝的新装",
  };
  const int count = static_cast<int>(std::size(kSeries)) * 4;
  for (int k = 0; k < count; ++k) {
    const Series& series = kSeries[k / 4];
    const int season = k % 4 + 1;
    int tracks = 3 + k * 7 % 10;
    if (k == 0) tracks = 100;        // one selector entry exactly
    if (k == 1) tracks = 101;        // two entries, one track on the second page
    if (k == count - 1) tracks = 0;  // nothing published yet
    Album album =
        make_album(2001 + k, std::string(series.name) + "·第" + std::to_string(season) + "季",
                   std::string(series.blurb) + "\r\n第" + std::to_string(season) + "季，共" +
                       std::to_string(tracks) + "集。",
                   {"故事"});
    for (int i = 1; i <= tracks; ++i) {
      add_track(album, "第" + std::to_string(i) + "集 " + kStories[(k + i) % std::size(kStories)],
                i % 3 == 0 ? Delivery::kChunked : Delivery::kWhole);
    }
    albums.push_back(std::move(album));
  }
}

void add_english_series(std::vector<Album>& albums) {
  static const char* const kLessons[] = {"Greetings",      "At the Airport", "Ordering Food",
                                         "Asking the Way", "The Weather",    "Shopping",
                                         "At the Hotel",   "Making Friends"};
  for (int k = 0; k < 20; ++k) {
    Album album = make_album(3001 + k, "英语听力精选 第" + std::to_string(k + 1) + "辑",
                             "每天十分钟，轻松磨耳朵。", {"英语"});
    for (int i = 1; i <= 4 + k % 5; ++i) {
      add_track(album, "Lesson " + std::to_string(i) + " " + kLessons[(k + i) % 8]);
    }
    albums.push_back(std::move(album));
  }
}

void add_music_series(std::vector<Album>& albums) {
  static const char* const kPieces[] = {"晨光", "微风", "细雨", "远山", "星河", "归途"};
  for (int k = 0; k < 21; ++k) {
    Album album = make_album(4001 + k, "轻音乐精选 Vol." + std::to_string(k + 1),
                             "安静的午后，来一点音乐。\r\n纯音乐，适合工作与学习。", {"音乐"});
    for (int i = 1; i <= 3 + k % 4; ++i) {
      add_track(album, "曲目" + two_digits(i) + " " + kPieces[(k + i) % 6],
                (k + i) % 2 == 0 ? Delivery::kChunked : Delivery::kWhole);
    }
    albums.push_back(std::move(album));
  }
}

Album abc_song() {
  Album album = make_album(5001, "ABC Song 字母歌", "和宝宝一起唱字母歌。", {"abc"});
  add_track(album, "ABC Song");
  add_track(album, "Twinkle Twinkle Little Star");
  return album;
}

// Album titles that are unsafe as folder names under the working directory.
void add_hostile_albums(std::vector<Album>& albums) {
  static const char* const kTitles[] = {"../../x", "/tmp/x",     "..",
                                        "...",     "上级\\下级", "专辑:测试?*"};
  int number = 6001;
  for (const char* title : kTitles) {
    Album album = make_album(number++, title, "文件夹名称测试专辑。", {"hostile"});
    add_track(album, "测试音轨");
    albums.push_back(std::move(album));
  }
  Album untitled = make_album(number, "无专辑名的专辑", "文档里没有专辑名。", {"hostile"});
  untitled.title.reset();
  add_track(untitled, "测试音轨");
  albums.push_back(std::move(untitled));
}

void add_fault_albums(std::vector<Album>& albums) {
  Album faults = make_album(7001, "故障音轨合集",
                            "下载故障测试专辑。\r\n每一条音轨以不同的方式出错。", {"faults"});
  add_track(faults, "定长音轨");
  add_track(faults, "分块音轨", Delivery::kChunked);
  add_track(faults, "丢失的音轨", Delivery::kMissing);
  add_track(faults, "断开的音轨", Delivery::kCut);
  add_track(faults, "跳转的音轨", Delivery::kRedirect);
  add_track(faults, "文档丢失的音轨").document = Document::kMissing;
  add_track(faults, "文档残缺的音轨").document = Document::kMalformed;
  Track& anonymous = add_track(faults, "没有编号的条目");
  anonymous.id.clear();
  anonymous.document = Document::kMissing;
  add_track(faults, "结尾音轨");
  albums.push_back(std::move(faults));

  Album stall = make_album(7002, "卡住的音轨", "第一条音轨发出一部分后不再发送。", {"faults"});
  add_track(stall, "卡住的音轨", Delivery::kStall);
  add_track(stall, "卡住之后的音轨");
  albums.push_back(std::move(stall));

  Album big = make_album(7003, "大文件音轨", "一条几兆字节的音轨，用来显示下载进度。", {"faults"});
  add_track(big, "大文件音轨").big = true;
  add_track(big, "小文件音轨");
  albums.push_back(std::move(big));
}

Catalogue build_catalogue() {
  Catalogue c;
  c.albums.push_back(romance_of_three_kingdoms());
  c.albums.push_back(awkward_titles());
  c.albums.push_back(paid_album());
  add_story_series(c.albums);
  add_english_series(c.albums);
  add_music_series(c.albums);
  c.albums.push_back(abc_song());
  add_hostile_albums(c.albums);
  add_fault_albums(c.albums);
  return c;
}

bool equal_folded(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return lower(x) == lower(y); });
}

// xorshift64*: cheap, deterministic bytes.
std::uint64_t next_random(std::uint64_t& state) {
  state ^= state >> 12;
  state ^= state << 25;
  state ^= state >> 27;
  return state * 2685821657736338717ull;
}

// What a track's audio is made of: its label, size and noise seed.
struct AudioShape {
  std::string label;
  std::size_t size;
  std::uint64_t seed;
};

AudioShape audio_shape(const Track& track, Quality quality) {
  const bool high = quality == Quality::kHigh;
  AudioShape shape;
  shape.label = "sample audio " + track.id + (high ? " 64" : " 32") + "\n";
  shape.seed = fingerprint(shape.label) | 1;
  if (track.big) {
    shape.size = high ? (4u << 20) + 321 : (2u << 20) + 123;
  } else {
    shape.size = high ? 20000 + shape.seed % 20000 : 8000 + shape.seed % 8000;
  }
  return shape;
}

}  // namespace

bool Album::paid() const {
  return std::any_of(tracks.begin(), tracks.end(), [](const Track& t) { return t.paid(); });
}

std::vector<const Album*> Catalogue::search(std::string_view keyword) const {
  std::vector<const Album*> found;
  for (const Album& album : albums) {
    const bool match = keyword.empty() ||
                       std::any_of(album.keywords.begin(), album.keywords.end(),
                                   [&](const std::string& k) { return equal_folded(k, keyword); });
    if (match) found.push_back(&album);
  }
  return found;
}

std::vector<const Album*> Catalogue::search_page(std::string_view keyword, int page) const {
  const std::vector<const Album*> found = search(keyword);
  if (page < 1) return {};
  const std::size_t first = static_cast<std::size_t>(page - 1) * kAlbumsPerSearchPage;
  if (first >= found.size()) return {};
  const std::size_t last = std::min(found.size(), first + kAlbumsPerSearchPage);
  return {found.begin() + static_cast<std::ptrdiff_t>(first),
          found.begin() + static_cast<std::ptrdiff_t>(last)};
}

std::vector<const Track*> Catalogue::album_page(const Album& album, int page) {
  std::vector<const Track*> tracks;
  if (page < 1) return tracks;
  const std::size_t first = static_cast<std::size_t>(page - 1) * kTracksPerAlbumPage;
  for (std::size_t i = first; i < album.tracks.size() && i < first + kTracksPerAlbumPage; ++i) {
    tracks.push_back(&album.tracks[i]);
  }
  return tracks;
}

const Album* Catalogue::find_album(std::string_view path) const {
  for (const Album& album : albums) {
    if (album.path == path) return &album;
  }
  return nullptr;
}

const Track* Catalogue::find_track(std::string_view id) const {
  for (const Album& album : albums) {
    for (const Track& track : album.tracks) {
      if (track.id == id) return &track;
    }
  }
  return nullptr;
}

const Album* Catalogue::album_of(const Track& track) const {
  for (const Album& album : albums) {
    for (const Track& t : album.tracks) {
      if (&t == &track) return &album;
    }
  }
  return nullptr;
}

const Catalogue& catalogue() {
  static const Catalogue instance = build_catalogue();
  return instance;
}

std::string audio_path(const Track& track, Quality quality) {
  return "/audio/" + track.id + (quality == Quality::kHigh ? "-64.mp3" : "-32.mp3");
}

std::string audio_bytes(const Track& track, Quality quality) {
  const AudioShape shape = audio_shape(track, quality);
  std::uint64_t state = shape.seed;
  // An ID3v2 header, the label, then noise: NUL bytes included.
  std::string bytes("ID3\x03\x00\x00\x00\x00\x00\x00", 10);
  bytes += shape.label;
  bytes.reserve(shape.size);
  while (bytes.size() < shape.size) {
    const std::uint64_t r = next_random(state);
    for (int i = 0; i < 8 && bytes.size() < shape.size; ++i) {
      bytes += static_cast<char>(r >> (8 * i));
    }
  }
  return bytes;
}

std::size_t bytes_before_failure(const Track& track, Quality quality) {
  const std::size_t size = audio_shape(track, quality).size;
  switch (track.delivery) {
    case Delivery::kCut:
      return size / 2;
    case Delivery::kStall:
      return size / 4;
    default:
      return size;
  }
}

std::string not_found_page() {
  return "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<title>404 页面不存在 - 声海 Orvendel</title>\n</head>\n<body>\n"
         "<div class=\"error-page\">\n  <h1>404</h1>\n  <p>您访问的页面不存在。</p>\n"
         "  <a href=\"/\">返回首页</a>\n</div>\n</body>\n</html>\n";
}

}  // namespace orvendel::sample
