#include "ui/navtab_dlg.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "core/path_parts.h"
#include "ui/about_dlg.h"
#include "ui/app_icon.h"
#include "ui/disc_image_command.h"
#include "ui/dvd_play_dlg.h"
#include "ui/field_list_model.h"
#include "ui/fixed_font.h"
#include "ui/vob_dialogs.h"

namespace navtab::ui {
namespace {

struct Place {
    const char* label;
    int x, y, width, height;  // x counted from the right edge when `fromRight`, y from the bottom
    bool fromRight;
};

// The buttons along the bottom edge; y is the distance of the top edge from the bottom.
constexpr Place kButtons[] = {
    {"Open", 10, 35, 72, 23, false},
    {"Save", 84, 35, 72, 23, false},
    {"HexEdit", 160, 35, 72, 23, false},
    {"Get VTS sectors", 234, 35, 90, 23, false},
    {"Delete Playback", 234, 58, 90, 23, false},
    {"Remove P-UPs", 328, 35, 90, 23, false},
    {"Create Tmpg T.", 328, 58, 90, 23, false},
    {"Copy2Clipboard", 420, 35, 90, 23, false},
    {"Create IFOs", 420, 58, 90, 23, false},
    {"VOB Extras", 520, 35, 72, 21, false},
    {"Menu Extras", 520, 58, 72, 21, false},
    {"DVD Play", 600, 35, 72, 23, false},
    {"Disc Image", 600, 58, 72, 23, false},
    {"About", 152, 35, 72, 23, true},
    {"Quit", 80, 35, 72, 23, true},
};

constexpr int kNodeRole = Qt::UserRole;

// The buttons have fixed pixel sizes; the largest font (up to the system's) whose labels fit them.
QFont buttonFont(const QFont& base, QWidget* styleSource) {
    const QStyle* style = styleSource->style();
    const int box = style->pixelMetric(QStyle::PM_IndicatorWidth) +
                    style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
    QFont font = base;
    for (int px = QFontInfo(base).pixelSize(); px >= 9; --px) {
        font.setPixelSize(px);
        const QFontMetrics m(font);
        bool fits = box + m.horizontalAdvance(QStringLiteral("Show Reserved Values")) + 4 <= 144;
        for (const Place& p : kButtons)
            fits = fits && m.horizontalAdvance(QString::fromLatin1(p.label)) + 8 <= p.width;
        if (fits) break;
    }
    return font;
}

}  // namespace

CNavtabDlg::CNavtabDlg(QWidget* parent)
    : QDialog(parent), interaction_(this), session_(interaction_, interaction_) {
    setWindowTitle(QStringLiteral("Navtab v0.88"));
    setWindowIcon(appIcon());
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);
    session_.setListener(this);

    menuBar_ = new QMenuBar(this);
    client_ = new QWidget(this);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->setMenuBar(menuBar_);
    outer->addWidget(client_);
    createMenus();
    client_->setFont(buttonFont(client_->font(), client_));

    const QFont font = fixedFont();
    tree_ = new QTreeWidget(client_);
    tree_->setFont(font);
    tree_->setHeaderHidden(true);
    tree_->setRootIsDecorated(true);
    tree_->setDragDropMode(QAbstractItemView::NoDragDrop);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tree_->header()->setStretchLastSection(false);
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this] { ShowSelected(); });

    model_ = new FieldListModel(session_, this);
    list_ = new QTreeView(client_);
    list_->setFont(font);
    list_->setModel(model_);
    list_->setRootIsDecorated(false);
    list_->setItemsExpandable(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setTextElideMode(Qt::ElideNone);
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(QHeaderView::Interactive);
    list_->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(list_, &QTreeView::doubleClicked, this, [this] { OnListDoubleClick(); });

    showReserved_ = new QCheckBox(QStringLiteral("Show Reserved Values"), client_);
    connect(showReserved_, &QCheckBox::toggled, this, &CNavtabDlg::OnShowReserved);

    extrasFrame_ = new QGroupBox(client_);
    for (const Place& p : kButtons) {
        const QString label = QString::fromLatin1(p.label);
        const bool built = label == "Open" || label == "Save" || label == "HexEdit" ||
                           label == "Copy2Clipboard" || label == "About" || label == "Quit" ||
                           label == "Create Tmpg T." || label == "Get VTS sectors" ||
                           label == "Delete Playback" || label == "Remove P-UPs" ||
                           label == "Disc Image" || label == "Create IFOs";
        addButton(label, built);
    }
    connect(button("Open"), &QPushButton::clicked, this, &CNavtabDlg::OnOpen);
    connect(button("Save"), &QPushButton::clicked, this, &CNavtabDlg::OnSave);
    connect(button("HexEdit"), &QPushButton::clicked, this, &CNavtabDlg::OnHexEdit);
    connect(button("Copy2Clipboard"), &QPushButton::clicked, this, &CNavtabDlg::OnCopyToClipboard);
    connect(button("About"), &QPushButton::clicked, this, &CNavtabDlg::OnAbout);
    connect(button("Quit"), &QPushButton::clicked, this, &CNavtabDlg::OnQuit);
    connect(button("Get VTS sectors"), &QPushButton::clicked, this, &CNavtabDlg::OnGetVtsSectors);
    connect(button("Delete Playback"), &QPushButton::clicked, this, &CNavtabDlg::DeletePlayback);
    connect(button("Remove P-UPs"), &QPushButton::clicked, this, &CNavtabDlg::RemoveProhibitedUops);
    connect(button("Create Tmpg T."), &QPushButton::clicked, this,
            [this] { OnCreateTemplate(this, session_); });
    connect(button("VOB Extras"), &QPushButton::clicked, this, &CNavtabDlg::OnVobExtras);
    connect(button("Menu Extras"), &QPushButton::clicked, this, &CNavtabDlg::OnMenuExtras);
    connect(button("Create IFOs"), &QPushButton::clicked, this, &CNavtabDlg::OnCreateIfos);
    connect(button("DVD Play"), &QPushButton::clicked, this, &CNavtabDlg::OnDvdPlay);
    connect(button("Disc Image"), &QPushButton::clicked, this,
            [this] { OnDiscImage(this, session_); });

    // Made with the window but never offered: it stays hidden, disabled and where it was made.
    QPushButton* autoCalc = addButton(QStringLiteral("Auto-Calc Sector's"), false);
    autoCalc->setGeometry(10, 10, 90, 23);
    autoCalc->hide();
    connect(autoCalc, &QPushButton::clicked, this, [this] { OnAutoCalc(this, session_); });

    client_->installEventFilter(this);
    resize(900, 640);
    layoutControls(client_->width(), client_->height());
}

CNavtabDlg::~CNavtabDlg() {
    // The views read the session; they go first.
    session_.setListener(nullptr);
    disconnect(tree_, nullptr, this, nullptr);
    delete client_;
    delete model_;
}

QPushButton* CNavtabDlg::addButton(const QString& label, bool enabled) {
    auto* b = new QPushButton(label, client_);
    b->setObjectName(label);
    b->setAutoDefault(false);
    b->setEnabled(enabled);
    return b;
}

QPushButton* CNavtabDlg::button(const QString& label) const {
    return client_->findChild<QPushButton*>(label, Qt::FindDirectChildrenOnly);
}

void CNavtabDlg::createMenus() {
    // "Create Image" is the "Disc Image" button; "Test1" runs it with the image program the
    // settings hold from an earlier run, and "Test2" does nothing.
    QMenu* tools = menuBar_->addMenu(QStringLiteral("Tools"));
    tools->addAction(QStringLiteral("Create Image"), this, [this] { OnDiscImage(this, session_); });
    tools->addAction(QStringLiteral("Test1"), this, [this] { OnDiscImage(this, session_, false); });
    tools->addAction(QStringLiteral("Test2"));
    QMenu* help = menuBar_->addMenu(QStringLiteral("Help"));
    help->addAction(QStringLiteral("Inf&o about Navtab..."), this, &CNavtabDlg::OnAbout);
}

bool CNavtabDlg::eventFilter(QObject* watched, QEvent* e) {
    if (watched == client_ && e->type() == QEvent::Resize) {
        const QSize size = static_cast<QResizeEvent*>(e)->size();
        if (!laidOut_ || size.width() > kMinLayoutWidth)
            layoutControls(size.width(), size.height());
    }
    return QDialog::eventFilter(watched, e);
}

void CNavtabDlg::layoutControls(int w, int h) {
    laidOut_ = true;
    tree_->setGeometry(10, 10, w - 20, 188);
    list_->setGeometry(10, 200, w - 20, h - 265);
    showReserved_->setGeometry(10, h - 58, 144, 23);
    extrasFrame_->setGeometry(515, h - 70, 82, 62);
    for (const Place& p : kButtons) {
        QPushButton* b = button(QString::fromLatin1(p.label));
        b->setGeometry(p.fromRight ? w - p.x : p.x, h - p.y, p.width, p.height);
    }
}

void CNavtabDlg::openFiles(const QStringList& paths) {
    for (const QString& path : paths) {
        IfoDocument* doc = session_.openFile(path.toStdString());
        if (doc == nullptr) continue;
        tree_->setCurrentItem(AddFileToTree(*doc, true));
    }
}

void CNavtabDlg::OnOpen() {
    IfoDocument* doc = session_.OnOpen();
    if (doc == nullptr) return;
    // Selecting the new file shows its overview.
    tree_->setCurrentItem(AddFileToTree(*doc, true));
}

QTreeWidgetItem* CNavtabDlg::AddFileToTree(IfoDocument& doc, bool expand) {
    auto* root = new QTreeWidgetItem(tree_, QStringList(QString::fromStdString(doc.root.caption)));
    root->setData(0, kNodeRole, QVariant::fromValue(reinterpret_cast<quintptr>(&doc.root)));
    syncTree(root, doc.root);
    enableVobTools();
    if (expand) {
        root->setExpanded(true);
        if (root->childCount() > 0) tree_->scrollToItem(root->child(root->childCount() - 1));
        tree_->scrollToItem(root);
    }
    return root;
}

void CNavtabDlg::syncTree(QTreeWidgetItem* item, TreeNode& node) {
    // Nodes are only ever added at the end, so the items that exist match the first children.
    for (std::size_t i = 0; i < node.children.size(); ++i) {
        TreeNode& child = *node.children[i];
        QTreeWidgetItem* childItem = nullptr;
        if (static_cast<int>(i) < item->childCount()) {
            childItem = item->child(static_cast<int>(i));
        } else {
            childItem =
                new QTreeWidgetItem(item, QStringList(QString::fromStdString(child.caption)));
            childItem->setData(0, kNodeRole,
                               QVariant::fromValue(reinterpret_cast<quintptr>(&child)));
        }
        syncTree(childItem, child);
    }
}

TreeNode* CNavtabDlg::nodeOf(const QTreeWidgetItem* item) {
    if (item == nullptr) return nullptr;
    return reinterpret_cast<TreeNode*>(item->data(0, kNodeRole).value<quintptr>());
}

QTreeWidgetItem* CNavtabDlg::itemOf(const TreeNode* node) const {
    if (node == nullptr) return nullptr;
    for (QTreeWidgetItemIterator it(tree_); *it; ++it)
        if (nodeOf(*it) == node) return *it;
    return nullptr;
}

void CNavtabDlg::ShowSelected() {
    session_.ShowSelected(nodeOf(tree_->currentItem()));
    enableVobTools();
}

void CNavtabDlg::enableVobTools() {
    const IfoDocument* doc = session_.currentDocument();
    const IfoKind kind = doc != nullptr ? ifoKind(doc->ifo.get()) : IfoKind::Unknown;
    button("VOB Extras")->setEnabled(kind == IfoKind::Vts);
    button("Menu Extras")->setEnabled(kind != IfoKind::Unknown);
    button("DVD Play")->setEnabled(doc != nullptr);
}

void CNavtabDlg::listAboutToChange() {
    model_->beginListChange();
}

void CNavtabDlg::listChanged() {
    model_->endListChange();
    sizeColumns();
}

void CNavtabDlg::rowChanged(int row) {
    model_->rowValuesChanged(row);
    sizeColumns();
}

void CNavtabDlg::treeChanged(IfoDocument& doc) {
    if (QTreeWidgetItem* root = itemOf(&doc.root)) syncTree(root, doc.root);
}

void CNavtabDlg::sizeColumns() {
    // The font has a fixed pitch, so the longest text gives each column's width without measuring
    // every row; a column is never narrower than its header.
    const QFontMetricsF rows(list_->font());
    const QFontMetrics header(list_->header()->font());
    const qreal charWidth = rows.horizontalAdvance(QLatin1Char('0'));
    constexpr int kPadding = 12;
    for (int c = 0; c < FieldListModel::ColumnCount; ++c) {
        const int content =
            static_cast<int>(std::ceil(model_->longestText(c) * charWidth)) + kPadding;
        const QString title = model_->headerData(c, Qt::Horizontal).toString();
        const int head = header.horizontalAdvance(title) + 2 * kPadding;
        list_->header()->resizeSection(c, std::max(content, head));
    }
}

void CNavtabDlg::documentAdded(IfoDocument& doc) {
    AddFileToTree(doc, false);
}

void CNavtabDlg::documentReloaded(IfoDocument& doc) {
    QTreeWidgetItem* root = itemOf(&doc.root);
    if (root == nullptr) return;
    // The items below the root name nodes that are gone. A current item among them gives way to
    // the root first, as the session already did, so that no signal reaches a freed node.
    for (QTreeWidgetItem* up = tree_->currentItem(); up != nullptr; up = up->parent()) {
        if (up->parent() == root) {
            const QSignalBlocker quiet(tree_);
            tree_->setCurrentItem(root);
            break;
        }
    }
    qDeleteAll(root->takeChildren());
    syncTree(root, doc.root);
}

void CNavtabDlg::RemoveProhibitedUops() {
    session_.RemoveProhibitedUops();
}

void CNavtabDlg::DeletePlayback() {
    const QModelIndexList rows = list_->selectionModel()->selectedRows();
    // The overview is listed anew; the view stays where it was.
    const int scrolled = list_->verticalScrollBar()->value();
    session_.DeletePlayback(rows.isEmpty() ? -1 : rows.first().row());
    list_->verticalScrollBar()->setValue(scrolled);
}

void CNavtabDlg::OnGetVtsSectors() {
    IfoDocument* shown = session_.OnGetVtsSectors();
    // In all-files mode the last IFO of the folder is the file shown at the end.
    if (shown != nullptr && shown != session_.currentDocument())
        tree_->setCurrentItem(itemOf(&shown->root));
}

void CNavtabDlg::OnVobExtras() {
    QtVobDialogs dialogs(this);
    session_.OnVobExtras(dialogs);
    enableVobTools();
}

void CNavtabDlg::OnMenuExtras() {
    QtVobDialogs dialogs(this);
    session_.OnMenuExtras(dialogs);
    enableVobTools();
}

void CNavtabDlg::OnCreateIfos() {
    QtVobDialogs dialogs(this);
    session_.OnCreateIfos(dialogs);
    enableVobTools();
}

void CNavtabDlg::OnDvdPlay() {
    const IfoDocument* doc = session_.currentDocument();
    if (doc == nullptr) return;
    const std::string folder = folderOf(doc->path);
    playFolder(QString::fromStdString(folder.empty() ? std::string(".") : folder));
}

CDvdPlayDlg* CNavtabDlg::playWindow() const {
    return play_;
}

void CNavtabDlg::playFolder(const QString& folder) {
    if (play_) {
        play_->raise();
        return;
    }
    showMinimized();
    play_ = new CDvdPlayDlg(nullptr, folder);
    connect(play_, &CDvdPlayDlg::closed, this, [this] {
        play_->deleteLater();
        play_ = nullptr;
        showNormal();
    });
}

void CNavtabDlg::OnSave() {
    session_.OnSave();
}

void CNavtabDlg::OnShowReserved(bool checked) {
    session_.OnShowReserved(checked);
}

void CNavtabDlg::OnListDoubleClick() {
    const QModelIndexList rows = list_->selectionModel()->selectedRows();
    session_.OnListDoubleClick(rows.isEmpty() ? -1 : rows.first().row());
}

void CNavtabDlg::OnHexEdit() {
    session_.HexEditTable();
}

void CNavtabDlg::OnCopyToClipboard() {
    QApplication::clipboard()->setText(QString::fromStdString(session_.CopyToClipboardText()));
}

void CNavtabDlg::OnAbout() {
    CNavtabAboutDlg about(this);
    about.exec();
}

void CNavtabDlg::OnQuit() {
    reject();
}

void CNavtabDlg::done(int result) {
    if (!session_.confirmQuit()) return;
    QDialog::done(result);
}

}  // namespace navtab::ui
