#include "catalogue/workflows.h"

// Placeholders until the workflows land: each reads the state it is given.
namespace orvendel {

void search_albums(const Workbench& bench, Job job) {
  if (job.current()) bench.controls.edit_text(Control::编辑框1);
}

void list_album_tracks(const Workbench& bench, Job job) {
  if (!job.current()) return;
  bench.state.current_page.load(std::memory_order_relaxed);
  bench.state.first_load.load(std::memory_order_relaxed);
}

void download_tracks(const Workbench& bench) {
  bench.state.download_row.store(0, std::memory_order_relaxed);
}

}  // namespace orvendel
