// The program's settings file, "Navtab.ini" in the user's configuration folder.
#pragma once

#include <QSettings>
#include <memory>

namespace navtab::ui {

std::unique_ptr<QSettings> navtabSettings();

}  // namespace navtab::ui
