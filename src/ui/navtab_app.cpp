#include "ui/navtab_app.h"

#include <QSettings>

#include "ui/app_icon.h"
#include "ui/navtab_dlg.h"

namespace navtab::ui {

CNavtabApp::CNavtabApp(int& argc, char** argv) : QApplication(argc, argv) {
    setOrganizationName(QStringLiteral("Navtab"));
    setApplicationName(QStringLiteral("Navtab"));
    setApplicationVersion(QStringLiteral("0.88"));
    setDesktopFileName(QStringLiteral("navtab"));
    setWindowIcon(appIcon());
    QSettings::setDefaultFormat(QSettings::IniFormat);
}

int CNavtabApp::run() {
    CNavtabDlg dlg;
    dlg.show();
    dlg.openFiles(arguments().mid(1));
    dlg.exec();
    return 0;
}

}  // namespace navtab::ui
