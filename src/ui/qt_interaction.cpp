#include "ui/qt_interaction.h"

#include <QFileDialog>
#include <QMessageBox>

#include "ui/enter_value_dlg.h"
#include "ui/file_filter.h"
#include "ui/hex_edit_dlg.h"
#include "ui/uop_dlg.h"
#include "ui/video_attr_dlg.h"

namespace navtab::ui {
namespace {

const QString kTitle = QStringLiteral("Navtab");

QString fromStd(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

void QtInteraction::message(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, kTitle, fromStd(text), QMessageBox::Ok, parent_);
    box.exec();
}

bool QtInteraction::askYesNo(const std::string& text) {
    QMessageBox box(QMessageBox::Question, kTitle, fromStd(text),
                    QMessageBox::Yes | QMessageBox::No, parent_);
    return box.exec() == QMessageBox::Yes;
}

std::string QtInteraction::chooseFileToOpen(const std::string& filter) {
    QFileDialog dialog(parent_, QString(), QString(), qtFileFilter(fromStd(filter)));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first().toStdString();
}

std::string QtInteraction::chooseFileToSave(const std::string& proposed,
                                            const std::string& filter) {
    QFileDialog dialog(parent_, QString(), fromStd(proposed), qtFileFilter(fromStd(filter)));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Saving asks about the backup copy; the dialog itself asks nothing about overwriting.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(fromStd(proposed));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first().toStdString();
}

std::optional<std::string> QtInteraction::enterNewValue(const std::string& current) {
    CEnterValueDlg dialog(parent_, fromStd(current));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.value().toStdString();
}

std::optional<std::uint16_t> QtInteraction::editVideoAttributes(std::uint16_t word) {
    CVideoAttrDlg dialog(parent_, word);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.word();
}

std::optional<std::uint32_t> QtInteraction::editUserOperations(std::uint32_t mask) {
    CUopDlg dialog(parent_, mask);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.mask();
}

std::optional<std::vector<std::uint8_t>> QtInteraction::editBytes(
    std::span<const std::uint8_t> bytes) {
    CHexEditDlg dialog(parent_, bytes);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.data();
}

}  // namespace navtab::ui
