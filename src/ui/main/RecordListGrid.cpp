#include "ui/main/RecordListGrid.h"

#include "domain/crypto/dsEncrypt.h"
#include "domain/data/NumberText.h"
#include "platform/grid/FlexGrid.h"
#include "platform/screen/Screen.h"
#include "platform/screen/Twips.h"
#include "system/app/HandlerGuard.h"
#include "system/app/StoredTextBatch.h"
#include "system/app/UnitOfWork.h"
#include "system/app/basModule1.h"

#include <QFontMetricsF>
#include <cmath>

namespace {

// The width pass looks at the heading and at most this many record rows per column.
constexpr int MeasuredRecordRows = 60;
constexpr int ListOrderColumn = 3;

} // namespace

RecordListGrid::RecordListGrid(FlexGrid& grid, RecordListSettings settings)
    : m_grid(grid), m_settings(std::move(settings))
{}

double RecordListGrid::ColumnWidthTwips(double widestTextTwips)
{
    double twips = std::min(widestTextTwips, MaxColumnWidthTwips);
    if (twips < 6000)
        twips = std::nearbyint((1 - twips / 6000) * 500 + twips);
    return std::max(twips, MinColumnWidthTwips);
}

double RecordListGrid::TextWidthTwips(const QString& text) const
{
    return Twips::fromPixels(QFontMetricsF(m_grid.font()).horizontalAdvance(text));
}

// A stored text that another program wrote with a character the cipher lacks, or a protected file's value that
// fails its check, shows what is wrong with it.
QString RecordListGrid::cellText(int column, const Recordset& record, StoredTextBatch* batch, std::size_t recordIndex)
{
    const QString stored = record.fields(column).text();
    const auto deciphered = std::find_if(m_settings.decipheredColumns.cbegin(), m_settings.decipheredColumns.cend(),
                                         [column](const auto& shown) { return shown.column == column; });
    if (deciphered == m_settings.decipheredColumns.cend())
        return stored;
    const QString key = record.fields(0).text();
    const std::size_t index = recordIndex * std::size_t(m_settings.decipheredColumns.size()) +
                              std::size_t(deciphered - m_settings.decipheredColumns.cbegin());
    const std::optional<QString>* decipheredText = batch && index < batch->size() ? &batch->text(index) : nullptr;
    QString reason;
    QString foreign; // a protected value that holds one fails its check, as it should
    if (storedTextForm() == StoredTextForm::FieldCipher)
        foreign = gobjEncrypt->foreignCharacter(stored);
    if (!foreign.isEmpty())
        reason = QStringLiteral("it holds the character %1").arg(foreign);
    else if (const std::optional<QString> text =
                 decipheredText
                     ? *decipheredText
                     : RevealStoredText(deciphered->place(record.fields(deciphered->keyColumn).text()), stored)) {
        m_unreadable.remove({key, column});
        return *text;
    } else
        reason = FailedCheckReason;
    m_unreadable.insert({key, column}, reason);
    return QStringLiteral("(cannot be read: %1)").arg(reason);
}

QString RecordListGrid::unreadableReason(int row, int col) const
{
    return m_unreadable.value({m_grid.textMatrix(row, 0), col});
}

void RecordListGrid::FillGrid()
{
    m_grid.setRows(1);
    m_unreadable.clear();
    UnitOfWork work;
    Recordset& records = work.read(m_settings.fillStatement());
    if (records.eof()) {
        m_grid.setColWidthTwips(0, 1000);
        m_grid.setTextMatrix(0, 0, QStringLiteral("0 Records"));
        return;
    }
    const int columnCount = records.fieldCount();
    m_grid.setCols(m_settings.keepsListOrder ? columnCount + 1 : columnCount);
    for (int i = 0; i < columnCount; ++i)
        m_grid.setTextMatrix(0, i, FieldNameToCaption(records.fieldNames().at(i)));
    fillRows(records, columnCount);
    setColumnWidths(columnCount);
}

// Every deciphered cell of the rows, row by row in the order of the deciphered columns: a batch that deciphers them
// on the other cores while the rows are filled.
std::unique_ptr<StoredTextBatch> RecordListGrid::decipheredTexts(Recordset& records) const
{
    std::vector<StoredTextBatch::Value> values;
    values.reserve(std::size_t(records.recordCount()) * std::size_t(m_settings.decipheredColumns.size()));
    for (; !records.eof(); records.moveNext()) {
        QString key; // of the row's key column, read once when the columns share it
        int keyColumn = -1;
        for (const auto& shown : m_settings.decipheredColumns) {
            if (shown.keyColumn != keyColumn) {
                keyColumn = shown.keyColumn;
                key = records.fields(keyColumn).text();
            }
            values.emplace_back(shown.place(key), records.fields(shown.column).text());
        }
    }
    records.moveFirst();
    return std::make_unique<StoredTextBatch>(std::move(values));
}

void RecordListGrid::fillRows(Recordset& records, int columnCount)
{
    std::unique_ptr<StoredTextBatch> deciphered;
    if (storedTextForm() == StoredTextForm::Unlocked)
        deciphered = decipheredTexts(records);
    double previousOrder = 0;
    for (int row = 1; !records.eof(); ++row) {
        m_grid.setRows(m_grid.rows() + 1);
        for (int i = 0; i < columnCount; ++i) {
            // a cell that cannot be read or deciphered stays empty; the rest of the list still shows
            IgnoreFailures(
                [&] { m_grid.setTextMatrix(row, i, cellText(i, records, deciphered.get(), std::size_t(row - 1))); });
        }
        if (m_settings.keepsListOrder)
            fillInListOrder(row, previousOrder);
        records.moveNext();
    }
}

// A website never placed in the list follows the one before it; nothing is written to the data file.
void RecordListGrid::fillInListOrder(int row, double& previousOrder)
{
    QString order = m_grid.textMatrix(row, ListOrderColumn);
    if (order.isEmpty()) {
        order = NumberToText(previousOrder + 1);
        m_grid.setTextMatrix(row, ListOrderColumn, order);
    }
    previousOrder = NumberTextBeginsWith(order);
    m_grid.setTextMatrix(row, ListOrderColumn + 1, order);
}

void RecordListGrid::setColumnWidths(int columnCount)
{
    const int lastMeasuredRow = std::min(MeasuredRecordRows, m_grid.rows() - 1);
    for (int column = 0; column < columnCount; ++column) {
        double widestTwips = 0;
        for (int row = 0; row <= lastMeasuredRow; ++row) {
            const double textTwips = TextWidthTwips(m_grid.textMatrix(row, column));
            if (textTwips > widestTwips)
                widestTwips = std::nearbyint(textTwips);
        }
        m_grid.setColWidthTwips(column, ColumnWidthTwips(widestTwips));
    }
    for (int column : m_settings.hiddenColumns)
        m_grid.setColWidthTwips(column, 0);
    // The measuring pass leaves the current cell on the last cell it measured.
    m_grid.setRow(lastMeasuredRow);
    m_grid.setCol(columnCount - 1);
}

void RecordListGrid::UpdateGridRow(double key)
{
    UnitOfWork work;
    const Recordset& record = work.read(m_settings.refreshStatement(key));
    if (!record.eof()) {
        for (int i = 1; i < record.fieldCount(); ++i)
            m_grid.setTextMatrix(m_grid.row(), i, cellText(i, record));
    }
}

double RecordListGrid::AddGridRow()
{
    UnitOfWork work;
    double key = 0;
    const Recordset& newest = work.read(m_settings.newKeyStatement);
    if (!newest.eof())
        key = NumberTextBeginsWith(newest.fields(0).text());
    const Recordset& record = work.read(m_settings.refreshStatement(key));
    if (!record.eof()) {
        m_grid.setCols(record.fieldCount());
        m_grid.setRows(m_grid.rows() + 1);
        const int row = m_grid.rows() - 1;
        m_grid.setTextMatrix(row, 0, record.fields(0).text());
        for (int i = 1; i < m_grid.cols(); ++i)
            m_grid.setTextMatrix(row, i, cellText(i, record));
    }
    scrollToLastRow();
    Screen::setMousePointer(Screen::vbDefault);
    return key;
}

void RecordListGrid::scrollToLastRow()
{
    const double rowsThatFit = m_grid.heightTwips() / m_grid.rowHeightTwips(0);
    const double top = m_grid.rows() - rowsThatFit + 3;
    if (top > 0)
        m_grid.setTopRow(static_cast<int>(std::nearbyint(top)));
    else if (m_grid.rows() > 1)
        m_grid.setTopRow(1);
}

void RecordListGrid::RemoveCurrentRow()
{
    if (m_grid.rows() == 2) {
        m_grid.setRows(1);
        return;
    }
    m_grid.removeItem(m_grid.row());
    m_grid.setFocus();
    if (m_grid.row() <= m_grid.rows() - 1)
        SelectWholeRow(m_grid.row());
}

void RecordListGrid::SelectWholeRow(int row)
{
    m_grid.setRowSel(row);
    m_grid.setCol(0);
    m_grid.setColSel(m_grid.cols() - 1);
}

void RecordListGrid::MouseDown()
{
    if (m_grid.rows() >= 2)
        gdblGridLeftCol = m_grid.leftCol();
}

void RecordListGrid::MouseUp()
{
    if (m_grid.rows() > 1) {
        m_grid.setCol(0);
        m_grid.setColSel(m_grid.cols() - 1);
        m_grid.setLeftCol(static_cast<int>(gdblGridLeftCol));
    }
}

void RecordListGrid::SelChange()
{
    if (m_grid.rows() > 1) {
        m_grid.setCol(0);
        m_grid.setColSel(m_grid.cols() - 1);
    }
}

void RecordListGrid::FitToWindow(double innerWidthTwips, double innerHeightTwips)
{
    m_grid.moveTwips(m_grid.leftTwips(), m_grid.topTwips(), innerWidthTwips - 2 * m_grid.leftTwips(),
                     innerHeightTwips - 1.5 * m_grid.topTwips());
}

bool HasCurrentRecord(const FlexGrid& grid)
{
    return grid.rows() > 1 && grid.row() != 0;
}

double CurrentKey(const FlexGrid& grid)
{
    return NumberTextBeginsWith(grid.textMatrix(grid.row(), 0));
}
