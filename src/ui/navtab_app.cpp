#include "ui/navtab_app.h"

#include <QDir>
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
    const QStringList args = arguments().mid(1);
    if (args.size() == 2 && args[0] == QStringLiteral("--play")) {
        // A folder holding VIDEO_TS plays that.
        QString folder = args[1];
        for (const char* name : {"VIDEO_TS", "video_ts"})
            if (QDir(folder).exists(QString::fromLatin1(name)))
                folder = QDir(folder).filePath(QString::fromLatin1(name));
        dlg.playFolder(folder);
    } else {
        dlg.openFiles(args);
    }
    dlg.exec();
    return 0;
}

}  // namespace navtab::ui
