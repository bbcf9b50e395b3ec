#include "catalogue/item_rows.h"

#include "text/delimited_text.h"
#include "text/fragment_cleanup.h"

namespace orvendel {

void append_item_row(Controls& controls, Control list, const Text& item,
                     std::span<const ItemField> fields) {
  const int row = controls.table_append_row(list);
  int column = 0;
  for (const ItemField& field : fields) {
    const Text cut = text_between(item, field.left, field.right, 0, true);
    controls.table_set_cell(list, row, column++, field.cleaned ? clean_fragment(cut) : cut);
  }
}

}  // namespace orvendel
