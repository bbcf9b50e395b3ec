#include "catalogue/track_files.h"

#include <vector>

#include "text/encoding.h"
#include "text/fragment_cleanup.h"
#include "text/text_primitives.h"

namespace orvendel {
namespace {

std::size_t on_disk_size(const Text& name) {
  return convert_encoding(name, Encoding::kGbk, Encoding::kUtf8).size();
}

// stem + suffix, with characters taken off the end of stem until it fits.
Text fit_name(const Text& stem, const Text& suffix) {
  if (on_disk_size(stem + suffix) <= kMaxNameBytes) return stem + suffix;
  std::vector<std::size_t> boundaries;  // where each character of stem begins
  for (std::size_t p = 0; p < stem.size(); p += static_cast<unsigned char>(stem[p]) >= 0x80 ? 2 : 1)
    boundaries.push_back(p);
  Text shorter;
  while (!boundaries.empty()) {
    shorter = stem.substr(0, boundaries.back());
    boundaries.pop_back();
    if (on_disk_size(shorter + suffix) <= kMaxNameBytes) return shorter + suffix;
  }
  return suffix;
}

}  // namespace

Text album_folder_name(const Text& album_title) {
  const Text name = fit_name(sanitize_file_name(album_title), "");
  if (name.find_first_not_of('.') == Text::npos) return {};
  return name;
}

Text track_file_name(const Text& title, int number) {
  const Text suffix = number >= 2 ? concat_text(" (", number_to_text(number), ").mp3") : ".mp3";
  return fit_name(sanitize_file_name(title), suffix);
}

}  // namespace orvendel
