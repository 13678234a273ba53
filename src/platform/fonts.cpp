#include "platform/fonts.h"

#include <QFontDatabase>
#include <QFontInfo>

#include <utility>

namespace qm {

namespace {
const std::pair<const char*, const char*> Faces[] = {
    {"Arial", "Liberation Sans"},
    {"Times New Roman", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},
};
}  // namespace

void Install_Font_Substitutions() {
  static const bool installed = [] {
    for (const auto& [face, stand_in] : Faces)
      QFont::insertSubstitution(QString::fromLatin1(face), QString::fromLatin1(stand_in));
    return true;
  }();
  (void)installed;
}

QString Font_Face_For(const QString& face) {
  for (const auto& [name, stand_in] : Faces)
    if (face.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
      return QString::fromLatin1(stand_in);
  return face;
}

QFont Program_Font(const QString& face, int pixel_size, int weight) {
  Install_Font_Substitutions();
  QFont f(Font_Face_For(face));
  f.setPixelSize(pixel_size);
  f.setWeight(static_cast<QFont::Weight>(weight));
  f.setStyleStrategy(QFont::PreferMatch);
  return f;
}

QStringList Missing_Font_Faces() {
  QStringList missing;
  const QStringList families = QFontDatabase::families();
  for (const auto& [face, stand_in] : Faces)
    if (!families.contains(QString::fromLatin1(stand_in), Qt::CaseInsensitive))
      missing << QString::fromLatin1(face) + QLatin1String(" (") + QString::fromLatin1(stand_in) +
                     QLatin1Char(')');
  return missing;
}

}  // namespace qm
