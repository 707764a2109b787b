#include "platform/grid/FlexGridModel.h"

#include <QApplication>
#include <QPalette>

FlexGridModel::FlexGridModel(QObject* parent) : QAbstractTableModel(parent)
{
    m_cells.append(QStringList());
}

void FlexGridModel::setGridRows(int rows)
{
    rows = std::max(rows, 1); // the heading row always stays
    if (rows < gridRows()) {
        publish();
        beginRemoveRows({}, rows - 1, gridRows() - 2);
        m_cells.resize(rows);
        m_publishedRows = rows - 1;
        endRemoveRows();
        return;
    }
    while (gridRows() < rows)
        m_cells.append(QStringList());
    if (!m_publishScheduled) {
        m_publishScheduled = true;
        QMetaObject::invokeMethod(this, &FlexGridModel::publish, Qt::QueuedConnection);
    }
}

void FlexGridModel::setGridCols(int cols)
{
    cols = std::max(cols, 1);
    if (cols == m_cols)
        return;
    publish();
    beginResetModel();
    m_cols = cols;
    for (QStringList& row : m_cells) {
        if (row.size() > cols)
            row.resize(cols);
    }
    m_publishedRows = gridRows() - 1;
    endResetModel();
}

QString FlexGridModel::text(int row, int col) const
{
    if (row < 0 || row >= gridRows() || col < 0 || col >= m_cols)
        return {};
    const QStringList& cells = m_cells.at(row);
    return col < cells.size() ? cells.at(col) : QString();
}

void FlexGridModel::setText(int row, int col, const QString& text)
{
    if (row < 0 || row >= gridRows() || col < 0 || col >= m_cols)
        return;
    QStringList& cells = m_cells[row];
    if (cells.size() <= col)
        cells.resize(col + 1);
    cells[col] = text;
    if (row == 0)
        emit headerDataChanged(Qt::Horizontal, col, col);
    else if (row - 1 < m_publishedRows)
        emit dataChanged(index(row - 1, col), index(row - 1, col));
}

void FlexGridModel::removeGridRow(int row)
{
    if (row < 1 || row >= gridRows())
        return;
    publish();
    beginRemoveRows({}, row - 1, row - 1);
    m_cells.removeAt(row);
    --m_publishedRows;
    endRemoveRows();
}

void FlexGridModel::setSelection(const Selection& selection)
{
    m_selection = selection;
    if (m_publishedRows > 0)
        emit dataChanged(index(0, 0), index(m_publishedRows - 1, m_cols - 1), {Qt::BackgroundRole});
}

void FlexGridModel::publish()
{
    m_publishScheduled = false;
    const int records = gridRows() - 1;
    if (records > m_publishedRows) {
        beginInsertRows({}, m_publishedRows, records - 1);
        m_publishedRows = records;
        endInsertRows();
    }
}

int FlexGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_publishedRows;
}

int FlexGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_cols;
}

bool FlexGridModel::isSelected(int gridRow, int col) const
{
    return gridRow >= m_selection.top && gridRow <= m_selection.bottom && col >= m_selection.left &&
           col <= m_selection.right;
}

QVariant FlexGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int gridRow = index.row() + 1;
    switch (role) {
    case Qt::DisplayRole:
        return text(gridRow, index.column());
    case Qt::BackgroundRole:
        if (isSelected(gridRow, index.column()))
            return QApplication::palette().brush(QPalette::Highlight);
        return {};
    case Qt::ForegroundRole:
        if (isSelected(gridRow, index.column()))
            return QApplication::palette().brush(QPalette::HighlightedText);
        return {};
    default:
        return {};
    }
}

QVariant FlexGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return text(0, section);
    return {};
}
