#include "ui/vob_dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QStandardPaths>

#include "session/browser_session.h"
#include "ui/autocalc_dialog.h"
#include "ui/extras_dialog.h"
#include "ui/file_filter.h"
#include "ui/progress_window.h"
#include "ui/qt_interaction.h"
#include "ui/strip_dialog.h"
#include "ui/template_dialog.h"
#include "vob/autocalc.h"
#include "vob/frame_template.h"

namespace navtab::ui {

namespace {

// Shows `Dialog` with `value`; on OK `value` becomes what `read` gives back.
template <typename Dialog, typename Value, typename Result>
bool editInDialog(QWidget* parent, Value& value, Result (Dialog::*read)() const) {
    Dialog dialog(parent, value);
    if (dialog.exec() != QDialog::Accepted) return false;
    value = (dialog.*read)();
    return true;
}

}  // namespace

bool QtVobDialogs::chooseAutoCalcTables(vob::AutoCalcTables& tables) {
    return editInDialog(parent_, tables, &CAutoCalcDlg::tables);
}

bool QtVobDialogs::chooseFrameTypes(vob::FrameTypes& types) {
    return editInDialog(parent_, types, &CTemplateDlg::types);
}

bool QtVobDialogs::chooseExtrasOptions(vob::ExtrasDialogState& state) {
    return editInDialog(parent_, state, &CVobExtrasDlg::state);
}

bool QtVobDialogs::chooseStrip(vob::StripDialog& strip) {
    return editInDialog(parent_, strip, &CStripDlg::result);
}

std::string QtVobDialogs::chooseTemplateFile(const std::string& proposed,
                                             const std::string& filter) {
    QFileDialog dialog(parent_, QString(), QString::fromStdString(proposed),
                       qtFileFilter(QString::fromStdString(filter)));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.selectFile(QString::fromStdString(proposed));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first().toStdString();
}

std::unique_ptr<Progress> QtVobDialogs::showProgress(const std::string& text) {
    auto window = std::make_unique<CProgressWindow>(parent_);
    window->setModalMode(true);
    window->SetText(text);
    window->PeekAndPump();  // let it paint before the work starts
    return window;
}

QString scanLogPath() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(folder);
    return folder + QStringLiteral("/navtab-scan.log");
}

void OnCreateTemplate(QWidget* window, BrowserSession& session) {
    QtVobDialogs dialogs(window);
    QtInteraction ui(window);
    vob::OnCreateTemplate(session.currentDocument(), dialogs, ui);
}

void OnAutoCalc(QWidget* window, BrowserSession& session) {
    QFile log(scanLogPath());
    const bool logging = log.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text);
    const vob::ScanLog sink = [&](const std::string& text) {
        if (logging) log.write(text.data(), static_cast<qint64>(text.size()));
    };
    QtVobDialogs dialogs(window);
    QtInteraction ui(window);
    if (vob::OnAutoCalc(session.workspace(), session.currentDocument(), dialogs, ui, sink))
        session.refresh();
}

}  // namespace navtab::ui
