#include "app/qt_text.h"

#include <QByteArray>

#include "text/encoding.h"

namespace orvendel {

QString to_qstring(const Text& text) {
  const std::string utf8 = convert_encoding(text, Encoding::kGbk, Encoding::kUtf8);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

Text to_text(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  Text gbk =
      convert_encoding(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())),
                       Encoding::kUtf8, Encoding::kGbk);
  // Text never holds a NUL: whatever follows the first one is dropped.
  if (const auto nul = gbk.find('\0'); nul != Text::npos) gbk.resize(nul);
  return gbk;
}

}  // namespace orvendel
