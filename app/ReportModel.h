#pragma once
// The rows of a report-view list (the result list, the statistics list). Cells stay UTF-8
// std::strings until a row is painted, so filling and emptying the list costs no conversion.

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

#include <string>
#include <vector>

class ReportModel : public QAbstractTableModel {
public:
    ReportModel(QStringList headers, QList<Qt::Alignment> alignments, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // `cells` holds whole rows, columnCount() cells each, one row after the other. Both take
    // the cells over and leave `cells` empty (with its capacity, to be filled again).
    void append(std::vector<std::string>& cells);
    void replaceAll(std::vector<std::string>& cells);

    const std::string& cell(int row, int column) const;

private:
    QStringList headers_;
    QList<Qt::Alignment> alignments_;
    std::vector<std::string> cells_;
};
