// navtab [FILE...]: the desktop window, with the IFO files given opened.
// navtab --play FOLDER: the desktop window minimised and the playback window playing FOLDER.
#include "ui/navtab_app.h"

int main(int argc, char** argv) {
    navtab::ui::CNavtabApp app(argc, argv);
    return app.run();
}
