// File dialog filters: the core writes them as "Label|patterns|...||"; Qt wants
// "Label (patterns);;...". A pattern "*.*" means every file, which on Linux is "*".
#pragma once

#include <QString>

namespace navtab::ui {

QString qtFileFilter(const QString& pipeFilter);

}  // namespace navtab::ui
