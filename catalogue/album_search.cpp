#include <optional>

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

constexpr int kAlbumsPerPage = 20;

constexpr const char* kTotalLeft = "<span class=\"search-lists-name\">专辑</span>\n    <span>(";
constexpr const char* kTotalRight = ")</span>\n";
constexpr const char* kListLeft = "<ul class=\"search-album-lists cl\">";
constexpr const char* kListRight = "</ul>";
constexpr const char* kItemLeft = "sound_ids";
constexpr const char* kItemRight = "</li>";

// The columns of 超级列表框1, in order.
constexpr ItemField kAlbumFields[] = {
    {"<a href=\"", "\" class=\"inl-b sechAlbHov\">", false},                   // 0 地址
    {"class=\"search-album-tit elli-multi link4\"  >\n", "</a>", true},       // 1 名称
    {"<p class=\"elli c02\">", "</p>", true},                                  // 2 描述
    {"<i class=\"iconfont icon-playlight\">", "</i>", false},                  // 3 播放
    {"<i class=\"iconfont icon-soundslight\">", "</i>", false},                // 4 更新
};

// The result page n for the keyword in 编辑框1 now: the keyword is read anew
// for every page, so editing it during a search changes the pages to come.
Text fetch_result_page(const Workbench& bench, Controls& controls, int n) {
  const Text keyword = url_encode(controls.edit_text(Control::编辑框1), false, true);
  return utf8_to_gbk(fetch_page(concat_text(bench.site_base, "/search/album/kw/", keyword,
                                            "/page/", number_to_text(n), "/sc/true")));
}

}  // namespace

void search_albums(const Workbench& bench, Job job) {
  GuardedControls controls(bench.controls, job);
  // The first page gives the total; it is fetched again as the first page of the loop.
  const Text first = fetch_result_page(bench, controls, 1);
  if (!controls.current()) return;
  const int total = text_to_int(text_between(first, kTotalLeft, kTotalRight, 0, true));
  const int pages = page_count(total, kAlbumsPerPage);
  int count = 0;
  controls.set_caption(Control::分组框1, concat_text("查询(0/", number_to_text(total), ")"));
  TextList items;
  for (int n = 1; n <= pages && controls.current(); ++n) {
    const Text page = fetch_result_page(bench, controls, n);
    const Text block = text_between(page, kListLeft, kListRight, 0, true);
    extract_all_between(block, kItemLeft, kItemRight, items, true);
    for (int i = 1; i <= list_count(items) && controls.current(); ++i) {
      append_item_row(controls, Control::超级列表框1, list_item(items, i), kAlbumFields);
      ++count;
      controls.set_caption(Control::分组框1, concat_text("查询(", number_to_text(count), "/",
                                                          number_to_text(total), ")"));
    }
  }
}

}  // namespace orvendel
