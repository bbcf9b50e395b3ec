#pragma once
// How many pages a listing of `total` entries needs.

namespace orvendel {

// The smallest whole number not below total / per_page, worked out in double
// precision as the site's own paging does (a remainder under 1e-7 of a page
// counts as none): 0 -> 0, 1..20 -> 1, 21 -> 2 for 20 a page. A negative
// total gives 0 or less, which means no page.
int page_count(int total, int per_page);

}  // namespace orvendel
