#pragma once
// Saving one audio file.

#include <functional>

#include "catalogue/controls.h"
#include "text/text_types.h"

namespace orvendel {

// Downloads url into folder + "/" + file_name. The body streams into a
// temporary file beside the target, which is put in place only when the
// server answered 2xx and the whole body arrived (all of an announced
// length); otherwise it is removed and a file already at the target stays
// as it was. true when the file is in place. on_progress, when given, hears
// how much has arrived a few times a second at most.
bool save_url_to_file(const Text& url, const Text& folder, const Text& file_name,
                      const std::function<void(Progress)>& on_progress = {});

}  // namespace orvendel
