#pragma once
// Turning one item cut out of a page into one row of a list view.

#include <span>

#include "catalogue/controls.h"
#include "text/text_types.h"

namespace orvendel {

// Where one cell's text stands in an item, and whether it is cleaned for display.
struct ItemField {
  const char* left;
  const char* right;
  bool cleaned;
};

// Appends a row to list and fills column k with fields[k] cut out of item
// (case ignored), cleaned where the field says so. A field whose markers are
// missing leaves its cell empty; the row is still added.
void append_item_row(Controls& controls, Control list, const Text& item,
                     std::span<const ItemField> fields);

}  // namespace orvendel
