#pragma once
// One regular expression run over one subject text, answering with the
// replaced text, the matches and their capture groups.
//
// The pattern language is the script-style one: "." is any character but a
// line feed (a carriage return is matched), \s is exactly [ \f\n\r\t\v] (no
// full-width or other Unicode spaces), \d and \w are ASCII, \xhh and \uhhhh
// write a character, [^] is any character, a back reference to a group that
// took no part matches the empty text, and without multiline "$" matches only
// at the very end. ^ and $ in multiline mode see only the line feed as a line
// end. After an empty match a global search goes on one character later.
// Ignoring case folds every letter that has a case, as the script engines
// do (full-width "ａ" matches "Ａ"), unlike the text primitives' A-Z only.
//
// The subject crosses into the engine as UTF-16, converted from GBK; texts
// come back converted to GBK. Every failure (an invalid pattern, an index
// outside the matches) gives the empty answer of its kind: "", 0, false.
// Construction and destruction initialise nothing on the thread.

#include <memory>

#include "text/text_types.h"

namespace orvendel {

// A default-constructed object holds nothing: it answers "", 0 and -1 until
// create. A copy shares the compiled pattern and the matches of the last
// create.
class RegexObject {
 public:
  // Compiles pattern and runs it over subject, keeping every match (global)
  // or the first one. True when the expression ran, also when nothing
  // matched; false for an invalid pattern or a run the engine gave up on.
  // The defaults: case ignored (case_sensitive false), multiline on, global
  // on, no quote switch. With quote_switch, every "#引号" in the pattern
  // stands for a double quote: "#引号x#引号" matches «"x"». A further create
  // starts over; copies made before keep the earlier run.
  bool create(const Text& pattern, const Text& subject, bool case_sensitive = false,
              bool multiline = true, bool global = true, bool quote_switch = false);

  // The pattern of the last create after the quote substitution, also when
  // it was invalid; "" before any create.
  Text get_pattern() const;

  // The subject with every match replaced (only the first one without
  // global); "" before create and after a failed one. In replacement, "$$"
  // is a dollar, "$&" the match, "$`" the text before it, "$'" the text
  // after it, "$n" and "$nn" capture n (1-99; a group that took no part is
  // ""). "$nn" is read as two digits when that group exists, else "$n" and
  // a digit; a "$" that starts none of these stays as it is, so with one
  // group "$12" is capture 1 and "2", and "$0" and "$5" stay as written.
  Text replace(const Text& replacement = {}) const;

  // The number of matches: 0 when there are none or create failed.
  int match_count() const;

  // Match index (1-based) as text; "" outside 1..match_count. When position
  // is not nullptr it receives the 0-based byte offset of the match in the
  // subject Text, or -1 for an index outside the matches.
  Text match_text(int index, int* position = nullptr) const;

  // Capture capture_index (1-based) of match match_index (1-based); "" for
  // a group that took no part and for indexes outside the matches or
  // groups. position, when not nullptr, receives the 0-based byte offset of
  // that capture in the subject Text (where the group matched, not merely
  // the first place its text occurs in the match), or -1 when it took no
  // part or an index is outside.
  Text submatch_text(int match_index, int capture_index, int* position = nullptr) const;

  // The number of capture groups as seen in the first match: 0 when nothing
  // matched, even when the pattern has groups.
  int submatch_count() const;

  // The engine's own index of match index (1-based): its 0-based start in
  // the UTF-16 subject, counted in 16-bit units; -1 outside the matches.
  // "中a" with the pattern "a" gives 1 here and byte position 2 above.
  int first_index(int index) const;

 private:
  struct Run;
  std::shared_ptr<const Run> run_;
};

}  // namespace orvendel
