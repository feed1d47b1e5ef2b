// The application: settings and identity, then the main window run modally; the program ends when
// the window closes.
#pragma once

#include <QApplication>

namespace navtab::ui {

class CNavtabApp : public QApplication {
    Q_OBJECT
  public:
    CNavtabApp(int& argc, char** argv);
    // Runs the main window with the files named on the command line open; the exit status.
    int run();
};

}  // namespace navtab::ui
