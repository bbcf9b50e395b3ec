#pragma once
// The three jobs the program exists for. Each runs on a worker thread from
// start to end, takes its input from the controls and the shared state and
// writes its results into the controls.

#include "catalogue/shared_state.h"
#include "catalogue/workbench.h"

namespace orvendel {

// Lists the albums matching 编辑框1's keyword in 超级列表框1, page after page,
// with a running count in 分组框1's caption. Stops, writing nothing more, once
// job is superseded.
void search_albums(const Workbench& bench, Job job);

// Lists one page (current_page) of the album selected in 超级列表框1 in
// 超级列表框2, and when first_load is set fills 组合框1 with the album's pages.
// Stops, writing nothing more, once job is superseded.
void list_album_tracks(const Workbench& bench, Job job);

// Saves every track listed in 超级列表框2 into its album's folder under the
// working directory and writes each row's status.
void download_tracks(const Workbench& bench);

}  // namespace orvendel
