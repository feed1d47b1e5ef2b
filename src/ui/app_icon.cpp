#include "ui/app_icon.h"

// The resources live in this library; make sure they are registered before first use.
static void initNavtabResources() {
    Q_INIT_RESOURCE(navtab);
}

namespace navtab::ui {

QIcon appIcon() {
    static const bool registered = (initNavtabResources(), true);
    (void)registered;
    return QIcon(QStringLiteral(":/navtab/navtab.png"));
}

}  // namespace navtab::ui
