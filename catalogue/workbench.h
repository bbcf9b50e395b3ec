#pragma once
// What a workflow works with: the window, the shared state and the site.

#include "catalogue/controls.h"
#include "catalogue/shared_state.h"
#include "text/text_types.h"

namespace orvendel {

// The platform's host as this program knows it. A build may point it at the
// bundled sample platform instead.
#ifndef ORVENDEL_SITE_BASE
#define ORVENDEL_SITE_BASE "http://www.orvendel.com"
#endif
inline constexpr const char* kSiteBase = ORVENDEL_SITE_BASE;

struct Workbench {
  Controls& controls;
  SharedState& state;
  Text site_base = kSiteBase;  // "http://" + host, no "/" at the end
};

}  // namespace orvendel
