// The fixed-pitch font of the tree, the field list and the hex editor: "Courier New" 12 pixels
// high (Liberation Mono stands in with the same metrics), else the system's fixed-pitch font.
#pragma once

#include <QFont>

namespace navtab::ui {

QFont fixedFont();

}  // namespace navtab::ui
