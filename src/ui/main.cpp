// navtab [FILE...]: the desktop window, with the IFO files given opened.
#include "ui/navtab_app.h"

int main(int argc, char** argv) {
    navtab::ui::CNavtabApp app(argc, argv);
    return app.run();
}
