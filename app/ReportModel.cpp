#include "app/ReportModel.h"

#include <iterator>
#include <utility>

ReportModel::ReportModel(QStringList headers, QList<Qt::Alignment> alignments, QObject* parent)
    : QAbstractTableModel(parent), headers_(std::move(headers)), alignments_(std::move(alignments))
{
    Q_ASSERT(headers_.size() == alignments_.size());
}

int ReportModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(cells_.size() / std::size_t(headers_.size()));
}

int ReportModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(headers_.size());
}

const std::string& ReportModel::cell(int row, int column) const
{
    return cells_[std::size_t(row) * std::size_t(headers_.size()) + std::size_t(column)];
}

QVariant ReportModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(cell(index.row(), index.column()));
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(alignments_[index.column()] | Qt::AlignVCenter);
    return {};
}

QVariant ReportModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= headers_.size())
        return {};
    if (role == Qt::DisplayRole)
        return headers_[section];
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(alignments_[section] | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags ReportModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void ReportModel::append(std::vector<std::string>& cells)
{
    const std::size_t columns = std::size_t(headers_.size());
    const int added = int(cells.size() / columns);
    if (added == 0)
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + added - 1);
    cells_.insert(cells_.end(), std::make_move_iterator(cells.begin()),
                  std::make_move_iterator(cells.begin() + std::ptrdiff_t(std::size_t(added) * columns)));
    endInsertRows();
    cells.clear();
}

void ReportModel::replaceAll(std::vector<std::string>& cells)
{
    beginResetModel();
    cells_.swap(cells);
    endResetModel();
    cells.clear();
}
