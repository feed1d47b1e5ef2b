// Helpers for the window tests: sample files, answering the modal dialogs and message boxes that
// the window opens (the test plays the user), finding tree items and rows, and running navtab-cli.
#pragma once

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <QtEndian>
#include <functional>

#include "ui/field_list_model.h"
#include "ui/navtab_dlg.h"

namespace navtab::uitest {

// A file of a bundled sample disc: sample("ntsc43", "VTS_01_0.IFO").
QString sample(const QString& disc, const QString& name);

// A scratch folder holding copies of sample files, so that saving never touches the originals.
class ScratchCopies {
  public:
    ScratchCopies() = default;
    // With copies of every file of the sample's VIDEO_TS, in the subfolder `folder` when given.
    explicit ScratchCopies(const QString& disc, const QString& folder = {}) {
        copyAll(disc, {}, folder);
    }
    // Copies a sample file in (as `as` when given) and returns the copy's path.
    QString copy(const QString& disc, const QString& name, const QString& as = {});
    // Copies every file of the sample's VIDEO_TS but `except`, into the subfolder `folder` when
    // given.
    void copyAll(const QString& disc, const QString& except = {}, const QString& folder = {});
    QString path(const QString& name) const { return dir_.filePath(name); }

  private:
    QTemporaryDir dir_;
};

QByteArray readFile(const QString& path);
// Rewrites the file's bytes through `change`.
void patchFile(const QString& path, const std::function<void(QByteArray&)>& change);
// The big-endian word at `at` of file bytes.
inline quint32 be32At(const QByteArray& b, qsizetype at) {
    return qFromBigEndian<quint32>(b.constData() + at);
}
// The child widget of type T with this text.
template <typename T = QPushButton>
T* labelled(QWidget* w, const QString& text) {
    for (T* child : w->findChildren<T*>())
        if (child->text() == text) return child;
    return nullptr;
}

// Runs `act` on the next visible modal widget of type T, once it appears (within 10 seconds).
// Call it before the action that opens the dialog; `act` closes it.
void onNextModal(const char* typeName, std::function<void(QWidget*)> act);
template <typename T>
void onNext(std::function<void(T*)> act) {
    onNextModal(T::staticMetaObject.className(), [act](QWidget* w) { act(static_cast<T*>(w)); });
}
// Accepts the next file dialog, choosing `file` when given; the proposed file lands in `proposed`,
// the name filters, joined by ";;", in `filters`.
void acceptNextFile(const QString& file = {}, QString* proposed = nullptr,
                    QString* filters = nullptr);

// Answers the next message box with `button`, keeping its text in `text` when given.
void answerNextMessage(QMessageBox::StandardButton button, QString* text = nullptr);
// How many modal widgets the helpers above still wait for; 0 once every answer was given.
int pendingAnswers();
// Runs `act` and returns the text of the message box it leads to, answered with `button`;
// "(none)" when no box appears.
QString messageAfter(const std::function<void()>& act,
                     QMessageBox::StandardButton button = QMessageBox::Ok);

// Plays the user while it lives: each message box gets the next of `answers` (Yes, or OK, once
// they are used up) and its text is kept in `messages`; every other modal dialog goes to `act`.
class Player {
  public:
    explicit Player(std::function<void(QWidget*)> act = {},
                    QList<QMessageBox::StandardButton> answers = {});
    QStringList messages;

  private:
    QTimer timer_;
};

// The main window, shown, with `files` open.
struct OpenWindow : ui::CNavtabDlg {
    explicit OpenWindow(const QStringList& files = {}) {
        show();
        if (!files.isEmpty()) openFiles(files);
    }
};

// The tree item whose caption, trimmed, starts with `shortName`, below `under` (or anywhere).
QTreeWidgetItem* findItem(ui::CNavtabDlg& dlg, const QString& shortName,
                          QTreeWidgetItem* under = nullptr);
// Makes an item the current one (as a click would) and lets the window react.
void select(ui::CNavtabDlg& dlg, QTreeWidgetItem* item);
// The list row whose Description column, trimmed, equals `description`; -1 when there is none.
int findRow(ui::CNavtabDlg& dlg, const QString& description);
// Double-clicks list row `row` as a user would.
void doubleClickRow(ui::CNavtabDlg& dlg, int row);
QString cell(ui::CNavtabDlg& dlg, int row, int column);

// Grabs a widget into FOLDER/NAME (a PNG); false, with a warning, when it cannot be written.
bool saveScreenshot(QWidget& w, const QString& folder, const QString& name);

// navtab-cli's standard output for these arguments; fails the test on a non-zero exit.
QByteArray runCli(const QStringList& args);

}  // namespace navtab::uitest

using namespace navtab;
using namespace navtab::ui;
using namespace navtab::uitest;
