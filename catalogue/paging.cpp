#include "catalogue/paging.h"

#include "text/text_primitives.h"

namespace orvendel {

int page_count(int total, int per_page) {
  double q = static_cast<double>(total) / per_page;
  if (q - real_to_int(q) > 1e-7) q = real_to_int(q) + 1;
  return real_to_int(q);
}

}  // namespace orvendel
