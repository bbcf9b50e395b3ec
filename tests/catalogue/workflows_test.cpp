// The three workflows end to end: the real window on the offscreen platform,
// its real handlers and workers, against the sample platform on 127.0.0.1.
#include <QLineEdit>
#include <QRadioButton>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "app/progress_delegate.h"
#include "sample_platform/catalogue.h"
#include "sample_platform/sample_platform.h"
#include "support/test_text.h"
#include "tests/app/window_test_support.h"
#include "web/transfer_timeouts.h"

namespace orvendel::testing {
namespace {

namespace fs = std::filesystem;
using sample::Album;
using sample::Quality;
using sample::Track;

constexpr const char* kDone = "已完成";
constexpr const char* kFailed = "下载失败";
constexpr const char* kPaid = "未下载，该专辑属于收费专辑";

const Album& album(const std::string& path) {
  const Album* found = sample::catalogue().find_album(path);
  EXPECT_NE(found, nullptr) << path;
  return *found;
}

std::string percent_encoded(const std::string& utf8_bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : utf8_bytes) out += {'%', kDigits[c >> 4], kDigits[c & 15]};
  return out;
}

std::string search_target(const std::string& keyword, int page) {
  return "/search/album/kw/" + percent_encoded(keyword) + "/page/" + std::to_string(page) +
         "/sc/true";
}

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Every file under root, as paths relative to it (UTF-8).
std::set<std::string> files_under(const fs::path& root) {
  std::set<std::string> found;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file()) found.insert(fs::relative(entry.path(), root).string());
  return found;
}

// The sample platform for every test of this program; short time-outs so
// that a stalled download is given up on quickly.
class Platform : public ::testing::Environment {
 public:
  void SetUp() override {
    server = std::make_unique<sample::SamplePlatform>();
    set_transfer_timeouts({5, 2});
  }
  void TearDown() override { server.reset(); }
  static inline std::unique_ptr<sample::SamplePlatform> server;
};
const auto* const kPlatform = ::testing::AddGlobalTestEnvironment(new Platform);

// A shown window with the real workflows, working in a fresh temporary
// directory; it waits for every worker before it goes.
class RoadTest : public ::testing::Test {
 protected:
  RoadTest() : window_(gbk(platform().base()), counted_workers()) {}

  void SetUp() override {
    char pattern[] = "/tmp/orvendel-road-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    old_directory_ = fs::current_path();
    fs::current_path(root_);
    platform().clear_requests();
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
  }
  void TearDown() override {
    platform().set_delay(sample::Route::kSearch, std::chrono::milliseconds(0));
    platform().set_audio_rate(0);
    EXPECT_TRUE(wait_until([&] { return running_ == 0; }, 60000)) << "a worker never returned";
    fs::current_path(old_directory_);
    fs::remove_all(root_);
  }

  static sample::SamplePlatform& platform() { return *Platform::server; }
  static Text gbk(const std::string& utf8_text) { return utf8_to_gbk(utf8_text); }
  Controls& controls() { return window_.controls(); }

  // --- What the user does. ---
  // keyword is UTF-8, as the catalogue writes it.
  void search(const std::string& keyword) {
    auto* edit = find<QLineEdit>(window_, "编辑框1");
    edit->clear();
    type(edit, gbk(keyword));
    click(window_, "按钮1");
  }
  void open_album(int row) { click_row(window_, "超级列表框1", row); }
  void choose_quality(Quality quality) {
    QTest::mouseClick(find<QRadioButton>(window_, quality == Quality::kHigh ? "单选框1" : "单选框2"),
                      Qt::LeftButton);
  }
  void download() { click(window_, "按钮2"); }
  // Waits until every worker started so far has returned.
  bool idle(int timeout_ms = 30000) {
    return wait_until([&] { return running_ == 0; }, timeout_ms);
  }

  // Searches for the keyword (UTF-8) and opens the album among the results.
  void list_album(const std::string& keyword, const Album& wanted) {
    search(keyword);
    ASSERT_TRUE(idle());
    int row = -1;
    for (int r = 0; r < controls().table_row_count(Control::超级列表框1); ++r)
      if (controls().table_get_cell(Control::超级列表框1, r, 0) == wanted.path) row = r;
    ASSERT_NE(row, -1) << wanted.path;
    open_album(row);
    ASSERT_TRUE(idle());
  }

  // --- What the user sees. ---
  Text cell(Control list, int row, int column) {
    return controls().table_get_cell(list, row, column);
  }
  Text status(int row) { return cell(Control::超级列表框2, row, 3); }
  int rows(Control list) { return controls().table_row_count(list); }
  std::vector<std::pair<Text, int>> pages() {
    auto* combo = find<QComboBox>(window_, "组合框1");
    std::vector<std::pair<Text, int>> entries;
    for (int i = 0; i < combo->count(); ++i)
      entries.emplace_back(to_text(combo->itemText(i)), combo->itemData(i).toInt());
    return entries;
  }
  // The track list shows exactly these tracks, in order.
  void expect_tracks(const std::vector<const Track*>& tracks) {
    ASSERT_EQ(rows(Control::超级列表框2), static_cast<int>(tracks.size()));
    for (int r = 0; r < static_cast<int>(tracks.size()); ++r) {
      SCOPED_TRACE(tracks[static_cast<std::size_t>(r)]->id);
      EXPECT_EQ(cell(Control::超级列表框2, r, 0), tracks[static_cast<std::size_t>(r)]->id);
      EXPECT_EQ(readable(cell(Control::超级列表框2, r, 1)),
                readable(gbk(tracks[static_cast<std::size_t>(r)]->listed_title)));
      EXPECT_EQ(readable(cell(Control::超级列表框2, r, 2)),
                readable(gbk(tracks[static_cast<std::size_t>(r)]->plays)));
      EXPECT_EQ(status(r), "");
    }
  }

  fs::path root_;

 private:
  Workers counted_workers() {
    Workers workers;
    workers.start = [this](std::function<void()> routine) {
      ++running_;
      const bool started = start_worker([this, routine = std::move(routine)] {
        routine();
        --running_;
      });
      if (!started) --running_;
      return started;
    };
    return workers;
  }

  std::atomic<int> running_{0};
  fs::path old_directory_;

 protected:
  MainWindow window_;
};

TEST_F(RoadTest, SearchListsEveryMatchingAlbumPageByPage) {
  struct Row {
    std::string keyword;
    int pages;  // result pages fetched after the first
  } cases[] = {
      {"zzz", 0},
      {"abc", 1},
      {utf8(u8"英语"), 1},
      {utf8(u8"音乐"), 2},
      {utf8(u8"故事"), 3},
      {"", 5},                // an empty keyword searches as usual
      {utf8(u8"三国"), 1},  // a Chinese keyword goes out as its UTF-8 bytes, percent-encoded
  };
  for (const Row& r : cases) {
    SCOPED_TRACE("keyword \"" + r.keyword + "\"");
    platform().clear_requests();
    search(r.keyword);
    ASSERT_TRUE(idle());
    const auto albums = sample::catalogue().search(r.keyword);
    const std::string total = std::to_string(albums.size());
    EXPECT_EQ(caption(window_), "查询(" + total + "/" + total + ")");
    ASSERT_EQ(rows(Control::超级列表框1), static_cast<int>(albums.size()));
    for (int i = 0; i < static_cast<int>(albums.size()); ++i) {
      const Album& a = *albums[static_cast<std::size_t>(i)];
      SCOPED_TRACE(a.path);
      EXPECT_EQ(cell(Control::超级列表框1, i, 0), a.path);
      EXPECT_EQ(readable(cell(Control::超级列表框1, i, 1)), a.name);
      EXPECT_EQ(readable(cell(Control::超级列表框1, i, 2)), a.description);
      EXPECT_EQ(readable(cell(Control::超级列表框1, i, 3)), a.plays);
      EXPECT_EQ(cell(Control::超级列表框1, i, 4), a.track_count());
    }
    // Page 1 once for the total, then every result page in turn.
    std::vector<std::string> expected = {search_target(r.keyword, 1)};
    for (int n = 1; n <= r.pages; ++n) expected.push_back(search_target(r.keyword, n));
    EXPECT_EQ(platform().requests(), expected);
  }
}

TEST_F(RoadTest, AlbumClickListsPageOneAndFillsTheSelectorThenAPageChoiceListsThatPage) {
  const Album& saga = album("/album/1001");  // 250 tracks
  list_album(utf8(u8"评书"), saga);
  EXPECT_EQ(pages(), (std::vector<std::pair<Text, int>>{{"第1页", 1}, {"第2页", 2}, {"第3页", 3}}));
  expect_tracks(sample::Catalogue::album_page(saga, 1));

  platform().clear_requests();
  choose_page(window_, 2);
  ASSERT_TRUE(idle());
  EXPECT_EQ(platform().requests(), std::vector<std::string>{"/album/1001?page=3"});
  expect_tracks(sample::Catalogue::album_page(saga, 3));
  EXPECT_EQ(pages().size(), 3u);  // the selector keeps its entries

  // An album of 101 tracks has two pages; one of 100 has one.
  list_album(utf8(u8"故事"), album("/album/2002"));
  EXPECT_EQ(pages(), (std::vector<std::pair<Text, int>>{{"第1页", 1}, {"第2页", 2}}));
  list_album(utf8(u8"故事"), album("/album/2001"));
  EXPECT_EQ(pages(), (std::vector<std::pair<Text, int>>{{"第1页", 1}}));
}

TEST_F(RoadTest, ClickOnTheEmptyAreaListsNothing) {
  search("abc");
  ASSERT_TRUE(idle());
  platform().clear_requests();
  click_empty_area(window_, "超级列表框1");
  ASSERT_TRUE(idle());
  // No album path: the URL is the site base + "?page=1", whose path is "/".
  EXPECT_EQ(platform().requests(), std::vector<std::string>{"/"});
  EXPECT_TRUE(pages().empty());
  EXPECT_EQ(rows(Control::超级列表框2), 0);
}

TEST_F(RoadTest, DownloadSavesEveryTrackAtTheChosenQuality) {
  const Album& songs = album("/album/5001");
  for (Quality quality : {Quality::kHigh, Quality::kNormal}) {
    SCOPED_TRACE(quality == Quality::kHigh ? "high" : "normal");
    list_album("abc", songs);
    choose_quality(quality);
    download();
    ASSERT_TRUE(idle());
    const fs::path folder = root_ / *songs.title;
    for (int r = 0; r < static_cast<int>(songs.tracks.size()); ++r) {
      const Track& t = songs.tracks[static_cast<std::size_t>(r)];
      SCOPED_TRACE(t.title);
      EXPECT_EQ(status(r), kDone);
      EXPECT_TRUE(read_file(folder / (t.title + ".mp3")) == sample::audio_bytes(t, quality));
    }
    EXPECT_EQ(files_under(root_).size(), songs.tracks.size());  // nothing else, no temporary files
  }
}

TEST_F(RoadTest, PaidTracksAreMarkedAndTheirFolderIsMadeAllTheSame) {
  const Album& paid = album("/album/1003");
  list_album("paid", paid);
  download();
  ASSERT_TRUE(idle());
  ASSERT_EQ(rows(Control::超级列表框2), static_cast<int>(paid.tracks.size()));
  for (int r = 0; r < static_cast<int>(paid.tracks.size()); ++r) {
    const Track& t = paid.tracks[static_cast<std::size_t>(r)];
    SCOPED_TRACE(t.id);
    EXPECT_EQ(status(r), t.paid() ? kPaid : kDone);
    EXPECT_EQ(fs::exists(root_ / *paid.title / (t.title + ".mp3")), !t.paid());
  }
  EXPECT_TRUE(fs::is_directory(root_ / *paid.title));
}

TEST_F(RoadTest, AFailedDownloadSaysSoAndLeavesAnExistingFileAsItWas) {
  const Album& faults = album("/album/7001");
  list_album("faults", faults);
  const fs::path folder = root_ / *faults.title;
  fs::create_directory(folder);
  for (const Track& t : faults.tracks)
    if (!t.id.empty()) std::ofstream(folder / (t.title + ".mp3")) << "earlier run of " << t.id;

  download();
  ASSERT_TRUE(idle());
  for (int r = 0; r < static_cast<int>(faults.tracks.size()); ++r) {
    const Track& t = faults.tracks[static_cast<std::size_t>(r)];
    SCOPED_TRACE("track " + t.id + " " + t.title);
    const fs::path file = folder / (t.title + ".mp3");
    if (t.id.empty() || t.document != sample::Document::kServed) {
      EXPECT_EQ(status(r), "");  // no document: no status, nothing written
    } else if (t.delivery == sample::Delivery::kMissing || t.delivery == sample::Delivery::kCut) {
      EXPECT_EQ(status(r), kFailed);
      EXPECT_EQ(read_file(file), "earlier run of " + t.id);
    } else {
      EXPECT_EQ(status(r), kDone);  // whole, chunked without a length, redirected
      EXPECT_TRUE(read_file(file) == sample::audio_bytes(t, Quality::kHigh));
    }
  }
  for (const std::string& name : files_under(root_))
    EXPECT_EQ(name.find(".part"), std::string::npos) << "left behind: " << name;
}

TEST_F(RoadTest, AStalledDownloadIsGivenUpOnAndTheNextTrackStillComes) {
  const Album& stall = album("/album/7002");
  list_album("faults", stall);
  const fs::path stalled_file = root_ / *stall.title / (stall.tracks[0].title + ".mp3");
  fs::create_directory(stalled_file.parent_path());
  std::ofstream(stalled_file) << "earlier run";
  download();
  ASSERT_TRUE(idle(60000));
  EXPECT_EQ(status(0), kFailed);
  EXPECT_EQ(read_file(stalled_file), "earlier run");
  EXPECT_EQ(status(1), kDone);
}

TEST_F(RoadTest, HostileAlbumTitlesStayInsideTheWorkingDirectory) {
  search("hostile");
  ASSERT_TRUE(idle());
  const int albums = rows(Control::超级列表框1);
  ASSERT_EQ(albums, 7);
  for (int a = 0; a < albums; ++a) {
    open_album(a);
    ASSERT_TRUE(idle());
    download();
    ASSERT_TRUE(idle());
    for (int r = 0; r < rows(Control::超级列表框2); ++r) EXPECT_EQ(status(r), kDone) << a;
  }
  // Every file landed in the working directory or one folder below it.
  std::set<std::string> folders;
  for (const std::string& file : files_under(root_)) {
    const fs::path p(file);
    EXPECT_LE(std::distance(p.begin(), p.end()), 2) << file;
    if (p.has_parent_path()) folders.insert(p.parent_path().string());
  }
  EXPECT_EQ(folders, (std::set<std::string>{"....x", "tmpx", utf8(u8"上级下级"),
                                            utf8(u8"专辑测试")}));
  EXPECT_FALSE(fs::exists("/tmp/x/" + album("/album/6002").tracks[0].title + ".mp3"));
}

TEST_F(RoadTest, TitlesBecomeSafeDistinctFileNames) {
  const Album& titles = album("/album/1002");
  list_album("titles", titles);
  choose_quality(Quality::kNormal);
  download();
  ASSERT_TRUE(idle());
  const fs::path folder = root_ / *titles.title;
  std::set<std::string> contents;
  for (int r = 0; r < static_cast<int>(titles.tracks.size()); ++r) {
    EXPECT_EQ(status(r), kDone) << titles.tracks[static_cast<std::size_t>(r)].id;
    contents.insert(sample::audio_bytes(titles.tracks[static_cast<std::size_t>(r)], Quality::kNormal));
  }
  // One file per track, each with its own track's audio, none over 255 bytes of name.
  const std::set<std::string> files = files_under(folder);
  EXPECT_EQ(files.size(), titles.tracks.size());
  for (const std::string& name : files) {
    EXPECT_LE(name.size(), 255u) << name;
    EXPECT_EQ(contents.count(read_file(folder / name)), 1u) << name;
  }
  EXPECT_TRUE(files.count(utf8(u8"答疑第1期.mp3")));
  EXPECT_TRUE(files.count(utf8(u8"答疑第1期 (2).mp3")));
  EXPECT_TRUE(files.count(".mp3"));  // a title made only of forbidden characters
}

TEST_F(RoadTest, ProgressIsDrawnBehindTheDownloadingStatus) {
  const Album& big = album("/album/7003");
  list_album("faults", big);
  auto* view = find<ReportView>(window_, "超级列表框2");
  struct Seen {
    int row, kind;
    double value;
    Text text;
  };
  std::vector<Seen> seen;
  QObject::connect(view->model(), &QAbstractItemModel::dataChanged,
                   [&](const QModelIndex& top_left, const QModelIndex&) {
                     if (top_left.column() != 3) return;
                     seen.push_back({top_left.row(), top_left.data(kProgressKindRole).toInt(),
                                     top_left.data(kProgressValueRole).toDouble(),
                                     to_text(top_left.data().toString())});
                   });
  platform().set_audio_rate(2 * 1024 * 1024);  // the big track takes a couple of seconds
  download();
  ASSERT_TRUE(idle(60000));
  EXPECT_EQ(status(0), kDone);

  double last_share = -1;
  int shares = 0;
  for (const Seen& s : seen) {
    if (s.row != 0 || s.kind == static_cast<int>(Progress::Kind::kNone)) continue;
    EXPECT_EQ(s.kind, static_cast<int>(Progress::Kind::kShare));  // its length is announced
    EXPECT_EQ(s.text, "下载中");
    EXPECT_GE(s.value, last_share);
    EXPECT_LE(s.value, 1.0);
    last_share = s.value;
    ++shares;
  }
  EXPECT_GE(shares, 3);
  EXPECT_GT(last_share, 0.5);
  EXPECT_EQ(view->model()->index(0, 3).data(kProgressKindRole).toInt(),
            static_cast<int>(Progress::Kind::kNone));  // gone once the file is in place
}

TEST_F(RoadTest, ASecondSearchSupersedesTheOneRunning) {
  platform().set_delay(sample::Route::kSearch, std::chrono::milliseconds(150));
  search(utf8(u8"故事"));  // 45 albums over three pages
  // Its loop has begun once page 1 is asked for the second time.
  ASSERT_TRUE(wait_until([] { return platform().requests().size() >= 2; }));
  search("abc");
  ASSERT_TRUE(idle());
  EXPECT_EQ(caption(window_), "查询(1/1)");
  ASSERT_EQ(rows(Control::超级列表框1), 1);
  EXPECT_EQ(cell(Control::超级列表框1, 0, 0), "/album/5001");
}

}  // namespace
}  // namespace orvendel::testing
