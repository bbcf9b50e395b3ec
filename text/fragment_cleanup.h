#pragma once
// Display cleanup of fragments cut out of the platform's pages, and track
// titles made into file names.

#include <optional>

#include "text/text_types.h"

namespace orvendel {

// The text shown in a list-view cell: remove_blank_lines, then trim_blanks,
// then every "<span class=\"c09\">" and "</span>" deleted, A-Z in either case.
// The tags go after the trimming, so a blank next to a tag at an edge stays:
// clean_fragment(" <span class=\"c09\">x</span> ") == "x", but
// clean_fragment("<SPAN class=\"c09\"> x") == " x". All blanks give "".
Text clean_fragment(const Text& t);

// t without \ / : * ? | < > and the double quote; nothing else changes, so
// blanks, dots and device names pass and "?*" gives "". The passes walk by
// character, so a two-byte character whose second byte is "\\" or "|"
// (81 5C, 81 7C) stays whole.
Text sanitize_file_name(const Text& t);

// t without one CR LF at its start and one at its end, and with every run of
// line breaks and blank or white-space-only lines of CR LF text shrunk to one
// CR LF: each line feed, the white space after it and the last carriage
// return in that white space are deleted. "a\r\n \r\n\r\nb" -> "a\r\nb";
// "\r\n\r\nx" -> "\r\nx" (one leading pair only); bare line feeds, white space
// before the first break of a run and after its last one stay.
Text remove_blank_lines(const Text& t);

// t without its leading and trailing bytes 0x20. Tabs, line breaks and the
// full-width space (A1 A1) stay, unlike trim_both_ends. Walks by character,
// so the second byte of a final two-byte character is never cut.
Text trim_blanks(const Text& t);

// t after up to five replace_text passes, one per pair in order, each on the
// result of the one before (a later pair sees what an earlier one wrote).
// count bounds the replacements of each pair (nullopt: every occurrence);
// start is where each pass begins (0 and below: 1); case_sensitive false
// folds A-Z. A pair with an empty find changes nothing:
// replace_pairs("aAa", 1, 0, false, "a", "b") == "bAa".
Text replace_pairs(const Text& t, std::optional<int> count, int start, bool case_sensitive,
                   const Text& find1, const Text& replacement1, const Text& find2 = {},
                   const Text& replacement2 = {}, const Text& find3 = {},
                   const Text& replacement3 = {}, const Text& find4 = {},
                   const Text& replacement4 = {}, const Text& find5 = {},
                   const Text& replacement5 = {});

}  // namespace orvendel
