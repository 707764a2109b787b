#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

// The cells of a flex grid and their presentation to a Qt table view. Row 0 is the heading row and is
// shown as the view's header; rows 1 and on are the model's rows 0 and on. Changes to the row count
// are published to the view in one batch (publish()), so filling a grid one row at a time stays cheap.
class FlexGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    struct Selection
    {
        int top = 0;
        int left = 0;
        int bottom = -1;
        int right = -1;
    };

    explicit FlexGridModel(QObject* parent = nullptr);

    int gridRows() const { return static_cast<int>(m_cells.size()); }
    int gridCols() const { return m_cols; }
    void setGridRows(int rows);
    void setGridCols(int cols);
    QString text(int row, int col) const;
    void setText(int row, int col, const QString& text);
    void removeGridRow(int row);
    void setSelection(const Selection& selection);

    // Tells the view about rows added since the last call. Runs by itself once the event loop turns.
    void publish();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    bool isSelected(int gridRow, int col) const;

    QList<QStringList> m_cells; // m_cells[0] is the heading row
    int m_cols = 2;
    int m_publishedRows = 0; // record rows the view knows of
    bool m_publishScheduled = false;
    Selection m_selection;
};
