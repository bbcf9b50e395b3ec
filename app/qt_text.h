#pragma once
// The one road between the program's text and Qt's. Text is GBK; QString is
// UTF-16. Every QString the window shows is made here, and every text read
// from a widget comes back through here.

#include <QString>

#include "text/text_types.h"

namespace orvendel {

// GBK text as a QString: "高音质" (GBK bytes B8 DF D2 F4 D6 CA) gives the
// three characters U+9AD8 U+97F3 U+8D28. An invalid GBK sequence becomes
// U+FFFD ("\x81\x20" gives U+FFFD and a space). "" gives an empty string.
QString to_qstring(const Text& text);

// A QString as GBK text, cut at its first NUL ("a\0b" gives "a"). A character
// GBK lacks, such as U+1F600, becomes "?". An empty string gives "".
Text to_text(const QString& text);

}  // namespace orvendel
