#include "ui_test_support.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardPaths>

namespace navtab::uitest {
namespace {

int pending = 0;
// No test reads or writes the user's own settings.
[[maybe_unused]] const bool testMode = (QStandardPaths::setTestModeEnabled(true), true);

void clickOn(QMessageBox* box, QMessageBox::StandardButton button) {
    if (QAbstractButton* b = box->button(button)) return b->click();
    qWarning("the message box has no such button: %s", qPrintable(box->text()));
    box->reject();
}

}  // namespace

QString sample(const QString& disc, const QString& name) {
    return QStringLiteral(NAVTAB_TEST_DATA) + '/' + disc + "/VIDEO_TS/" + name;
}

QString ScratchCopies::copy(const QString& disc, const QString& name, const QString& as) {
    const QString target = path(as.isEmpty() ? name : as);
    QFile::remove(target);
    if (!QFile::copy(sample(disc, name), target))
        qFatal("cannot copy the sample %s", qPrintable(name));
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    return target;
}

void ScratchCopies::copyAll(const QString& disc, const QString& except, const QString& folder) {
    if (!folder.isEmpty()) QDir().mkpath(path(folder));
    for (const QString& name :
         QDir(QFileInfo(sample(disc, "VIDEO_TS.IFO")).path()).entryList(QDir::Files))
        if (name != except) copy(disc, name, folder.isEmpty() ? name : folder + '/' + name);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

void patchFile(const QString& path, const std::function<void(QByteArray&)>& change) {
    QByteArray bytes = readFile(path);
    change(bytes);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

void onNextModal(const char* typeName, std::function<void(QWidget*)> act) {
    ++pending;
    auto* timer = new QTimer(qApp);
    const QDeadlineTimer deadline(10000);
    const QByteArray wanted(typeName);
    QObject::connect(timer, &QTimer::timeout, qApp, [=] {
        QWidget* w = QApplication::activeModalWidget();
        const bool found = w != nullptr && w->isVisible() && w->inherits(wanted.constData());
        if (!found && !deadline.hasExpired()) return;
        timer->stop();
        timer->deleteLater();
        if (!found) return qWarning("no %s appeared", wanted.constData());
        --pending;
        act(w);
    });
    timer->start(5);
}

void answerNextMessage(QMessageBox::StandardButton button, QString* text) {
    onNext<QMessageBox>([button, text](QMessageBox* box) {
        if (text != nullptr) *text = box->text();
        clickOn(box, button);
    });
}

void acceptNextFile(const QString& file, QString* proposed, QString* filters) {
    onNext<QFileDialog>([=](QFileDialog* d) {
        if (proposed != nullptr) *proposed = d->selectedFiles().value(0);
        if (filters != nullptr) *filters = d->nameFilters().join(";;");
        if (!file.isEmpty()) d->selectFile(file);
        static_cast<QDialog*>(d)->accept();
    });
}

Player::Player(std::function<void(QWidget*)> act, QList<QMessageBox::StandardButton> answers) {
    QObject::connect(&timer_, &QTimer::timeout, [this, act, answers]() mutable {
        QWidget* w = QApplication::activeModalWidget();
        if (w == nullptr || !w->isVisible()) return;
        auto* box = qobject_cast<QMessageBox*>(w);
        if (box == nullptr) {
            if (act) act(w);
            return;
        }
        messages << box->text();
        if (!answers.isEmpty()) return clickOn(box, answers.takeFirst());
        QAbstractButton* yes = box->button(QMessageBox::Yes);
        clickOn(box, yes != nullptr ? QMessageBox::Yes : QMessageBox::Ok);
    });
    timer_.start(5);
}

int pendingAnswers() {
    return pending;
}

QString messageAfter(const std::function<void()>& act, QMessageBox::StandardButton button) {
    QString text = QStringLiteral("(none)");
    answerNextMessage(button, &text);
    act();
    // Past the waiting helper's own deadline, so that it no longer holds `text`; a message that
    // never came leaves "(none)" for the caller's comparison.
    static_cast<void>(QTest::qWaitFor([] { return pending == 0; }, 10500));
    return text;
}

QTreeWidgetItem* findItem(ui::CNavtabDlg& dlg, const QString& shortName, QTreeWidgetItem* under) {
    QTreeWidgetItemIterator it(dlg.tree());
    for (; *it; ++it) {
        if (under != nullptr) {
            const QTreeWidgetItem* p = (*it)->parent();
            while (p != nullptr && p != under) p = p->parent();
            if (p == nullptr) continue;
        }
        if ((*it)->text(0).trimmed().startsWith(shortName)) return *it;
    }
    return nullptr;
}

void select(ui::CNavtabDlg& dlg, QTreeWidgetItem* item) {
    dlg.tree()->setCurrentItem(item);
    QApplication::processEvents();
}

int findRow(ui::CNavtabDlg& dlg, const QString& description) {
    for (int r = 0; r < dlg.model()->rowCount(); ++r)
        if (cell(dlg, r, ui::FieldListModel::Description).trimmed() == description) return r;
    return -1;
}

QString cell(ui::CNavtabDlg& dlg, int row, int column) {
    return dlg.model()->data(dlg.model()->index(row, column)).toString();
}

void doubleClickRow(ui::CNavtabDlg& dlg, int row) {
    QTreeView* view = dlg.list();
    const QModelIndex index = dlg.model()->index(row, ui::FieldListModel::Description);
    view->scrollTo(index);
    const QPoint at = view->visualRect(index).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

bool saveScreenshot(QWidget& w, const QString& folder, const QString& name) {
    QApplication::processEvents();
    const bool ok = w.grab().save(QDir(folder).filePath(name));
    if (!ok) qWarning("cannot write %s", qPrintable(name));
    return ok;
}

QByteArray runCli(const QStringList& args) {
    QProcess cli;
    cli.start(QStringLiteral(NAVTAB_CLI), args);
    if (!cli.waitForFinished(30000) || cli.exitCode() != 0)
        qWarning("navtab-cli %s failed: %s", qPrintable(args.join(' ')),
                 cli.readAllStandardError().constData());
    return cli.readAllStandardOutput();
}

}  // namespace navtab::uitest
