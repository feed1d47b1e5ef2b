// The field list as a table model over the session's rows: four columns of text, no copies, so a
// table of a hundred thousand rows appears at once. The view asks only for the rows it draws.
#pragma once

#include <QAbstractTableModel>

namespace navtab {
class BrowserSession;
}

namespace navtab::ui {

class FieldListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { Address, Description, Dec, Hex, ColumnCount };

    explicit FieldListModel(const BrowserSession& session, QObject* parent = nullptr)
        : QAbstractTableModel(parent), session_(session) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The longest text of a column in characters (bytes of its UTF-8 form), header excluded.
    int longestText(int column) const;

    // The session's list is about to change and has changed; one row's values have changed.
    void beginListChange() { beginResetModel(); }
    void endListChange() { endResetModel(); }
    void rowValuesChanged(int row);

  private:
    const std::string& text(int row, int column) const;

    const BrowserSession& session_;
};

}  // namespace navtab::ui
