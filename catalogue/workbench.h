#pragma once
// What a workflow works with: the window, the shared state and the site.

#include "catalogue/controls.h"
#include "catalogue/shared_state.h"
#include "text/text_types.h"

namespace orvendel {

// The workflows get the site from here, never from a constant of their own,
// so that tests can point them at a server on 127.0.0.1. The program passes
// its built-in site base (the build's ORVENDEL_SITE_BASE).
struct Workbench {
  Controls& controls;
  SharedState& state;
  Text site_base;  // "http://" + host, no "/" at the end: "http://www.orvendel.com"
};

}  // namespace orvendel
