#include "ui/settings.h"

namespace navtab::ui {

std::unique_ptr<QSettings> navtabSettings() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("Navtab"), QStringLiteral("Navtab"));
}

}  // namespace navtab::ui
