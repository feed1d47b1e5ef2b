#include "ui/field_list_model.h"

#include <algorithm>

#include "session/browser_session.h"

namespace navtab::ui {

int FieldListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : session_.rowCount();
}

int FieldListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

const std::string& FieldListModel::text(int row, int column) const {
    switch (column) {
        case Address:
            return session_.row(row).address;
        case Description:
            return session_.row(row).description;
        case Dec:
            return session_.decText(row);
        default:
            return session_.hexText(row);
    }
}

QVariant FieldListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= session_.rowCount()) return {};
    if (role == Qt::DisplayRole) return QString::fromStdString(text(index.row(), index.column()));
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    return {};
}

QVariant FieldListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    if (role != Qt::DisplayRole) return {};
    switch (section) {
        case Address:
            return QStringLiteral("Address");
        case Description:
            return QStringLiteral("Description");
        case Dec:
            return QStringLiteral("Value (dec)");
        case Hex:
            return QStringLiteral("Value (hex)");
        default:
            return {};
    }
}

int FieldListModel::longestText(int column) const {
    std::size_t longest = 0;
    for (int row = 0; row < session_.rowCount(); ++row)
        longest = std::max(longest, text(row, column).size());
    return static_cast<int>(longest);
}

void FieldListModel::rowValuesChanged(int row) {
    emit dataChanged(index(row, Dec), index(row, Hex));
}

}  // namespace navtab::ui
