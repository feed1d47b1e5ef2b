// The "Disc Image" command of the main window (also "Create Image" and "Test1" of the "Tools"
// menu): finds the image program, checks that the opened file lies in a folder named VIDEO_TS,
// asks for the image file, the volume label and whether to write a disc, opens the builder window
// and fills and starts it as a user would.
#pragma once

#include <QString>

class QAbstractButton;
class QWidget;

namespace navtab {
class BrowserSession;
}

namespace navtab::ui {

// The image program: "CMDPATH" of the settings when not empty, else genisoimage or mkisofs on
// PATH; the result is written back to "CMDPATH".
QString discoverImageProgram();

// `discover` false is "Test1": the program is whatever "CMDPATH" holds from an earlier run.
void OnDiscImage(QWidget* window, BrowserSession& session, bool discover = true);

struct BuilderFields {
    QString source;
    QString image;
    QString label;
};

// Finds the builder's window by its title, puts the values into its first three edit fields in
// child order (each field's text selected and replaced) and sends a click to its button "Create
// Disc Image", or with `write` "Create Disc Image and Write to Disc"; the click is delivered
// once the command has returned. The button clicked, or null when there is no such window.
QAbstractButton* fillBuilderWindow(const BuilderFields& fields, bool write);

}  // namespace navtab::ui
