#pragma once
// The marathon windows restore their left and top when they load and store
// them when they unload (section windowpos of the settings).

#include "shell/settings.h"
#include "shell/startup.h"

#include <QWidget>

namespace qm::ui {

inline void Restore_Form_Pos(QWidget& w, const QString& form_name) {
  if (const auto pos = Get_Form_Pos(form_name))
    w.move(pos->left / Twips_Per_Pixel, pos->top / Twips_Per_Pixel);
}

// The window's unload: position stored, hidden, off the loaded list.
inline void Unload_Form(QWidget& w, Loaded_Window& loaded) {
  Store_Form_Pos(loaded.Window_Name(), w.x() * Twips_Per_Pixel, w.y() * Twips_Per_Pixel, 0, 0);
  w.hide();
  Window_Unloaded(&loaded);
}

}  // namespace qm::ui
