#pragma once
// Cutting text out between a left and a right marker.

#include "text/text_types.h"

namespace orvendel {

// The bytes between the end of the first left marker at or after start and
// the first right marker after it; "" when either is missing or the right
// marker follows at once. Nothing is trimmed. start 0 searches from 1.
// ignore_case folds A-Z. In both markers the token "#引号" stands for a
// double quote:
//   text_between("a[x]b[y]", "[", "]") == "x"
//   text_between("<A>v</a>", "<a>", "</a>", 0, true) == "v"
Text text_between(const Text& text, const Text& left, const Text& right, int start = 0,
                  bool ignore_case = false);

// Empties results, then appends every hit in order and returns how many
// results holds. A hit runs from the end of a left marker to the first right
// marker after it, with spaces trimmed from both ends, then prefix and suffix
// put round it; an empty hit is skipped and the search goes on just after its
// left marker; after a kept hit it goes on at the right marker found, so a
// right marker equal to the left one is found again as the next left marker.
// The walk ends at the first left marker without a right marker after it.
//   "A x B A B A y B" with A, B gives {"x", "y"};  "A x A y B" gives {"x A y"}.
// case_sensitive false (the default) folds A-Z: the opposite switch of
// text_between's ignore_case. keep_left / keep_right put the markers back
// round a non-empty hit. max_length, when not 0, keeps only hits shorter than
// it (after decoration). An empty left marker finds nothing: results is
// emptied and 0 returned. Calls process_events on every pass.
int extract_all_between(const Text& text, const Text& left, const Text& right, TextList& results,
                        bool case_sensitive = false, int max_length = 0, const Text& prefix = {},
                        const Text& suffix = {}, bool keep_left = false, bool keep_right = false,
                        int start = 0);

}  // namespace orvendel
