#include "ui/progress_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "ui/settings.h"

namespace navtab::ui {

CProgressWindow::CProgressWindow(QWidget* parent, const QString& title, bool smooth)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      mainWindow_(parent),
      title_(title.isEmpty() ? QStringLiteral("Progress") : title) {
    setWindowTitle(title_);
    setCursor(Qt::BusyCursor);
    setFont(QApplication::font("QMessageBox"));
    message_ = new QLabel(this);
    message_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    message_->setWordWrap(true);
    bar_ = new QProgressBar(this);
    bar_->setTextVisible(false);
    bar_->setRange(state_.lower(), state_.upper());
    // Qt's styles draw one kind of bar; the tools' wish for a smooth one is always met.
    (void)smooth;
    cancel_ = new QPushButton(QStringLiteral(" Cancel "), this);
    cancel_->setCursor(Qt::ArrowCursor);
    connect(cancel_, &QPushButton::clicked, this, &CProgressWindow::Cancel);
    layOut();
    place();
    show();
}

CProgressWindow::~CProgressWindow() {
    if (rememberPosition_) {
        auto settings = navtabSettings();
        settings->setValue(QStringLiteral("Settings/X"), pos().x());
        settings->setValue(QStringLiteral("Settings/Y"), pos().y());
    }
    if (modal_ && mainWindow_) mainWindow_->setEnabled(true);
}

void CProgressWindow::layOut() {
    const QFontMetrics metrics(font());
    const int inner = kWidth - 2 * kMargin;
    QStringList sample;
    for (int i = 0; i < lines_; ++i) sample << QStringLiteral("Xg");
    const int textHeight =
        metrics.boundingRect(QRect(0, 0, inner, 10000), Qt::AlignLeft, sample.join('\n')).height();
    message_->setGeometry(kMargin, kMargin, inner, textHeight);
    const int barTop = kMargin + textHeight + kMargin;
    const int barHeight = std::max(metrics.height(), 16);
    bar_->setGeometry(kMargin, barTop, inner, barHeight);
    const QSize button(metrics.horizontalAdvance(cancel_->text()) + 2 * kMargin,
                       cancel_->sizeHint().height());
    const int buttonTop = barTop + barHeight + kMargin;
    cancel_->setGeometry(kWidth - kMargin - button.width(), buttonTop, button.width(),
                         button.height());
    setFixedSize(kWidth, buttonTop + button.height() + kMargin);
}

void CProgressWindow::place() {
    if (rememberPosition_) {
        auto settings = navtabSettings();
        const QVariant x = settings->value(QStringLiteral("Settings/X"));
        const QVariant y = settings->value(QStringLiteral("Settings/Y"));
        const QPoint saved(x.toInt(), y.toInt());
        // A place that no screen shows any more is forgotten.
        if (x.isValid() && y.isValid() && QGuiApplication::screenAt(saved) != nullptr) {
            move(saved);
            return;
        }
    }
    QRect area;
    if (mainWindow_)
        area = mainWindow_->frameGeometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
}

void CProgressWindow::setModalMode(bool modal) {
    modal_ = modal;
    if (mainWindow_) mainWindow_->setEnabled(!modal);
}

void CProgressWindow::setCancelText(const QString& text) {
    cancel_->setText(text);
    layOut();
}

void CProgressWindow::SetRange(int lower, int upper, int step) {
    state_.setRange(lower, upper, step);
    bar_->setRange(lower, upper);
}

void CProgressWindow::showPercent() {
    setWindowTitle(
        QString::fromStdString(ProgressState::caption(title_.toStdString(), state_.percent())));
}

int CProgressWindow::SetPos(int pos) {
    const int previous = state_.pos();
    if (state_.setPos(pos)) showPercent();
    bar_->setValue(std::clamp(pos, bar_->minimum(), bar_->maximum()));
    return previous;
}

int CProgressWindow::OffsetPos(int delta) {
    return SetPos(state_.pos() + delta);
}

int CProgressWindow::StepIt() {
    return SetPos(state_.pos() + state_.step());
}

int CProgressWindow::SetStep(int step) {
    return state_.setStep(step);
}

void CProgressWindow::SetText(const std::string& text) {
    message_->setText(QString::fromStdString(text));
}

void CProgressWindow::Clear() {
    message_->clear();
    state_.reset();
    bar_->setValue(bar_->minimum());
    cancelled_ = false;
}

void CProgressWindow::Show() {
    show();
}

void CProgressWindow::Hide() {
    hide();
}

void CProgressWindow::PeekAndPump(bool cancelOnEscape) {
    if (modal_ && !isActiveWindow() && isVisible()) activateWindow();
    if (cancelled_) return;
    if (QCoreApplication::closingDown()) return;
    cancelOnEscape_ = cancelOnEscape;
    // Escape typed into any window of the program while the tool works cancels it.
    qApp->installEventFilter(this);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    qApp->removeEventFilter(this);
}

bool CProgressWindow::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress && cancelOnEscape_ &&
        static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
        Cancel();
        return true;
    }
    return QWidget::eventFilter(watched, e);
}

void CProgressWindow::Cancel() {
    cancelled_ = true;
    hide();
    if (mainWindow_) {
        mainWindow_->raise();
        mainWindow_->activateWindow();
    }
}

void CProgressWindow::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        Cancel();
        return;
    }
    QWidget::keyPressEvent(e);
}

void CProgressWindow::closeEvent(QCloseEvent* e) {
    Cancel();
    e->ignore();
}

}  // namespace navtab::ui
