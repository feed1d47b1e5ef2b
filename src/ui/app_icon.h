// The program's icon, shown by the main window and the About box.
#pragma once

#include <QIcon>

namespace navtab::ui {

QIcon appIcon();

}  // namespace navtab::ui
