#include "catalogue/guarded_controls.h"
#include "catalogue/item_rows.h"
#include "catalogue/paging.h"
#include "catalogue/workflows.h"
#include "text/delimited_text.h"
#include "text/text_primitives.h"
#include "web/code_pages.h"
#include "web/web_request.h"

namespace orvendel {
namespace {

constexpr int kTracksPerPage = 100;

constexpr const char* kCountLeft = "<span class=\"albumSoundcount\">(";
constexpr const char* kCountRight = ")</span>";
constexpr const char* kListLeft = "<div class=\"album_soundlist";
constexpr const char* kListRight = "</ul>";
constexpr const char* kItemLeft = "<li";
constexpr const char* kItemRight = "</li>";

// The columns of 超级列表框2 that the listing fills; 3 状态 is the download's.
constexpr ItemField kTrackFields[] = {
    {"sound_id=\"", "\"", false},        // 0 专辑 (the track id)
    {"hashlink title=\"", "\">", true},  // 1 名称
    {"<span title=\"", "次播放\"", true},  // 2 播放
};

}  // namespace

void list_album_tracks(const Workbench& bench, Job job) {
  GuardedControls controls(bench.controls, job);
  const int album_row = controls.table_selected_row(Control::超级列表框1);
  const Text album_path = controls.table_get_cell(Control::超级列表框1, album_row, 0);
  const int page_number = bench.state.current_page.load(std::memory_order_relaxed);
  if (!controls.current()) return;
  const Text page = utf8_to_gbk(
      fetch_page(concat_text(bench.site_base, album_path, "?page=", number_to_text(page_number))));
  if (!controls.current()) return;

  const Text count_text = text_between(page, kCountLeft, kCountRight, 0, true);
  // Read after the page has arrived: only an album click's listing fills the selector.
  if (bench.state.first_load.load(std::memory_order_relaxed)) {
    const int pages = page_count(text_to_int(count_text), kTracksPerPage);
    for (int n = 1; n <= pages && controls.current(); ++n)
      controls.selector_add(Control::组合框1, concat_text("第", number_to_text(n), "页"), n);
  }

  const Text block = text_between(page, kListLeft, kListRight, 0, true);
  TextList items;
  extract_all_between(block, kItemLeft, kItemRight, items, true);
  for (int i = 1; i <= list_count(items) && controls.current(); ++i)
    append_item_row(controls, Control::超级列表框2, list_item(items, i), kTrackFields);
}

}  // namespace orvendel
