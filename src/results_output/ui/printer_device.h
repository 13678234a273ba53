#pragma once
// The default printer through Qt's print support (CUPS on Linux): what
// Check_Printer asks, and sending a finished page to it.

#include "results_output/print_page.h"
#include "results_output/printing.h"

#include <QString>

namespace qm::ui {

// Printer count, default printer's name and page size in twips.
Printer_Query Query_Default_Printer();

// Prints the page on the default printer; false when it could not print.
bool Print_Page_On_Printer(const Page_Canvas& page, const QString& title);

// Check_Printer with the default printer, margins and footer (start-up).
void Check_Printer_And_Footer();

}  // namespace qm::ui
