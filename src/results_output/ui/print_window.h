#pragma once
// Printing of other windows (file properties "Print", the error report's
// "Print report"): the window's picture or its text on one page, sent to the
// default printer, or shown in the preview when there is none.

#include <QImage>
#include <QString>

class QWidget;

namespace qm::ui {

class Form_LCS_preview;

// The page for a window picture: at the top left margin, at its screen
// size (15 twips a pixel), shrunk to fit the page between the margins.
bool Print_Window_Picture(const QImage& picture, const QString& title,
                          Form_LCS_preview* preview = nullptr);
bool Print_Window(QWidget& window, const QString& title, Form_LCS_preview* preview = nullptr);
// Lines of text in Courier New 10 from the top left margin.
bool Print_Text(const QString& text, const QString& title, Form_LCS_preview* preview = nullptr);

}  // namespace qm::ui
