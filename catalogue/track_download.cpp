#include "catalogue/track_download.h"

#include <chrono>
#include <map>

#include "catalogue/track_files.h"
#include "catalogue/workflows.h"
#include "json/json_object.h"
#include "text/file_system.h"
#include "text/text_primitives.h"
#include "web/audio_download.h"
#include "web/code_pages.h"
#include "web/web_request.h"

namespace orvendel {
namespace {

constexpr const char* kDownloading = "下载中";
constexpr const char* kDone = "已完成";
constexpr const char* kFailed = "下载失败";
constexpr const char* kPaid = "未下载，该专辑属于收费专辑";

constexpr int kStatusColumn = 3;
constexpr auto kProgressInterval = std::chrono::milliseconds(200);
// How far the moving mark steps for each piece of this many bytes, when no
// length is announced.
constexpr double kMovingMarkBytes = 64 * 1024;

// One row of a download run. Its writes land only while the row it was read
// from still holds the same track: an album listing may replace the rows
// while the download runs.
class TrackRow {
 public:
  TrackRow(const Workbench& bench, const Text& id) : bench_(bench), id_(id) {}

  void set_status(const Text& status) const {
    write([&](int row) { bench_.controls.table_set_cell(kTracks, row, kStatusColumn, status); });
  }
  void set_progress(Progress progress) const {
    write([&](int row) { bench_.controls.table_set_progress(kTracks, row, kStatusColumn, progress); });
  }

 private:
  static constexpr Control kTracks = Control::超级列表框2;

  template <typename Write>
  void write(Write op) const {
    Controls& controls = bench_.controls;
    controls.run_as_one_step([&] {
      const int row = bench_.state.download_row.load(std::memory_order_relaxed);
      if (compare_text(controls.table_get_cell(kTracks, row, 0), id_) == 0) op(row);
    });
  }

  const Workbench& bench_;
  const Text id_;
};

// A name for the track's file that no other track of this run has taken:
// "t.mp3", then "t (2).mp3", "t (3).mp3", ... A file left by an earlier run
// is overwritten.
Text unclaimed_file_name(std::map<Text, Text>& claimed, const Text& folder, const Text& title,
                         const Text& id) {
  for (int number = 1;; ++number) {
    const Text name = track_file_name(title, number);
    auto [it, inserted] = claimed.try_emplace(join_path(folder, name), id);
    if (inserted || it->second == id) return name;
  }
}

// Turns byte counts into progress reports, at most one per interval.
class ProgressReporter {
 public:
  explicit ProgressReporter(const std::function<void(Progress)>& report) : report_(report) {}

  void operator()(std::int64_t received, std::optional<std::int64_t> announced) {
    if (!report_) return;
    const auto now = std::chrono::steady_clock::now();
    if (reported_once_ && now - last_ < kProgressInterval) return;
    reported_once_ = true;
    last_ = now;
    Progress progress;
    if (announced && *announced > 0) {
      progress = {Progress::Kind::kShare, static_cast<double>(received) / *announced};
    } else {
      const double steps = static_cast<double>(received) / kMovingMarkBytes;
      progress = {Progress::Kind::kMoving, steps / 16 - static_cast<std::int64_t>(steps / 16)};
    }
    report_(progress);
  }

 private:
  const std::function<void(Progress)>& report_;
  bool reported_once_ = false;
  std::chrono::steady_clock::time_point last_;
};

}  // namespace

bool save_url_to_file(const Text& url, const Text& folder, const Text& file_name,
                      const std::function<void(Progress)>& on_progress) {
  TemporaryFile file(folder);
  if (!file.ok()) return false;  // the folder is missing or not writable: nothing to fetch for
  ProgressReporter reporter(on_progress);
  const AudioDownload result = download_audio(
      url, [&](std::string_view piece) { return file.write(piece); },
      [&](std::int64_t received, std::optional<std::int64_t> announced) {
        reporter(received, announced);
      });
  return result.complete() && file.commit(join_path(folder, file_name));
}

void download_tracks(const Workbench& bench) {
  Controls& controls = bench.controls;
  JsonObject json;  // one engine for the run; every parse starts it afresh
  std::map<Text, Text> claimed;  // file path -> id of the track saved there in this run
  const int rows = controls.table_row_count(Control::超级列表框2);
  for (int i = 1; i <= rows; ++i) {
    bench.state.download_row.store(i - 1, std::memory_order_relaxed);
    const Text id = controls.table_get_cell(Control::超级列表框2, i - 1, 0);
    const Text document =
        utf8_to_gbk(fetch_page(concat_text(bench.site_base, "/tracks/", id, ".json")));
    if (!json.parse(document)) continue;  // no document: the row gets no status

    // The quality is read anew for every row.
    const Text key = controls.radio_checked(Control::单选框1) ? "play_path_64" : "play_path_32";
    const Text audio = json.get_member_text(key);
    const Text title = json.get_member_text("title");
    const Text folder_name = album_folder_name(json.get_member_text("album_title"));
    const Text working_directory = current_directory();
    const Text folder = folder_name.empty() ? working_directory
                                            : join_path(working_directory, folder_name);
    // The folder is made before the address is looked at, so a paid track makes it too.
    if (!working_directory.empty() && !file_exists(folder)) create_directory(folder);

    const TrackRow track(bench, id);
    if (compare_text(audio, "") == 0) {
      track.set_status(kPaid);
      continue;
    }
    if (working_directory.empty()) {  // nowhere to put the file
      track.set_status(kFailed);
      continue;
    }
    const Text file_name = unclaimed_file_name(claimed, folder, title, id);
    track.set_status(kDownloading);
    const bool saved = save_url_to_file(audio, folder, file_name,
                                        [&](Progress progress) { track.set_progress(progress); });
    track.set_progress({});
    track.set_status(saved ? kDone : kFailed);
  }
}

}  // namespace orvendel
