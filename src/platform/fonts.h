#pragma once
// The program's text faces. Its pictures and pages name "Arial", "Times New
// Roman" and "Courier New"; on Linux the metric-compatible Liberation faces
// (Debian's fonts-liberation) stand for them, so text keeps its sizes on
// every machine. The mapping lives here and nowhere else.

#include <QFont>
#include <QString>
#include <QStringList>

namespace qm {

// Registers the face substitutions with Qt (once; later calls do nothing).
void Install_Font_Substitutions();

// The face that stands for `face` ("Arial" -> "Liberation Sans"); other
// names stand for themselves.
QString Font_Face_For(const QString& face);

// A font of that face at a pixel height, substitutions installed.
QFont Program_Font(const QString& face, int pixel_size, int weight = QFont::Normal);

// Faces this machine lacks among those the program needs (empty when all
// are there). Without them text would silently take another size.
QStringList Missing_Font_Faces();

}  // namespace qm
