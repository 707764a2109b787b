#include "platform/grid/FlexGrid.h"

#include "platform/grid/FlexGridModel.h"
#include "platform/screen/Twips.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableView>
#include <algorithm>

namespace {

int windowsKeyCode(int qtKey)
{
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey; // letters and digits share their codes
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
        return 112 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    default:
        return 0;
    }
}

int shiftState(Qt::KeyboardModifiers modifiers)
{
    return (modifiers.testFlag(Qt::ShiftModifier) ? 1 : 0) | (modifiers.testFlag(Qt::ControlModifier) ? 2 : 0) |
           (modifiers.testFlag(Qt::AltModifier) ? 4 : 0);
}

int buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

} // namespace

// The Qt view under the grid: it turns mouse and key input into the grid's own events and leaves
// selection to the grid.
class FlexGridView : public QTableView
{
public:
    explicit FlexGridView(FlexGrid* grid) : QTableView(grid), m_grid(grid) {}

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        setFocus(Qt::MouseFocusReason);
        emitMouse(event, &FlexGrid::mouseDown);
        const QModelIndex cell = indexAt(event->position().toPoint());
        if (cell.isValid() && event->button() == Qt::LeftButton)
            m_grid->pressCell(cell.row() + 1, cell.column());
    }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (!event->buttons().testFlag(Qt::LeftButton))
            return;
        const QModelIndex cell = indexAt(event->position().toPoint());
        if (cell.isValid())
            m_grid->dragToCell(cell.row() + 1, cell.column());
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        emitMouse(event, &FlexGrid::mouseUp);
        if (event->button() == Qt::LeftButton)
            emit m_grid->click();
    }

    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            emit m_grid->dblClick();
    }

    // The heading row is drawn by the header, which would keep its clicks to itself: they reach the grid's
    // handlers as mouse-down, mouse-up and click, like clicks anywhere else in the grid. A double-click on
    // it counts as a click: it opens no record.
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        QWidget* heading = horizontalHeader()->viewport();
        if (watched != heading)
            return QTableView::eventFilter(watched, event);
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            emitMouse(static_cast<QMouseEvent*>(event), &FlexGrid::mouseDown, heading);
            break;
        case QEvent::MouseButtonDblClick:
            emitMouse(static_cast<QMouseEvent*>(event), &FlexGrid::mouseDown, heading);
            emit m_grid->click();
            break;
        case QEvent::MouseButtonRelease:
            emitMouse(static_cast<QMouseEvent*>(event), &FlexGrid::mouseUp, heading);
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
                emit m_grid->click();
            break;
        default:
            break;
        }
        return QTableView::eventFilter(watched, event);
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        int keyCode = windowsKeyCode(event->key());
        emit m_grid->keyDown(keyCode, shiftState(event->modifiers()));
        if (keyCode == 0 || !navigate(event->key()))
            event->ignore();
    }

private:
    // The position is taken in the widget that got the event: the cells' viewport, or the heading's.
    template <class Signal>
    void emitMouse(QMouseEvent* event, Signal signal, QWidget* under = nullptr)
    {
        const QPointF at = (under ? under : viewport())->mapTo(m_grid, event->position().toPoint());
        emit(m_grid->*signal)(buttonCode(event->button()), shiftState(event->modifiers()), Twips::fromPixels(at.x()),
                              Twips::fromPixels(at.y()));
    }

    // Arrow and paging keys move the current cell; other keys are left to the window.
    bool navigate(int key)
    {
        const int page = std::max(1, viewport()->height() / std::max(1, rowHeight(0)));
        int row = m_grid->row();
        int col = m_grid->col();
        switch (key) {
        case Qt::Key_Up:
            --row;
            break;
        case Qt::Key_Down:
            ++row;
            break;
        case Qt::Key_PageUp:
            row -= page;
            break;
        case Qt::Key_PageDown:
            row += page;
            break;
        case Qt::Key_Home:
            row = 1;
            break;
        case Qt::Key_End:
            row = m_grid->rows() - 1;
            break;
        case Qt::Key_Left:
            --col;
            break;
        case Qt::Key_Right:
            ++col;
            break;
        default:
            return false;
        }
        if (m_grid->rows() > 1)
            m_grid->moveCurrentCell(std::clamp(row, 1, m_grid->rows() - 1), std::clamp(col, 0, m_grid->cols() - 1));
        return true;
    }

    FlexGrid* m_grid;
};

FlexGrid::FlexGrid(QWidget* parent) : QWidget(parent), m_model(new FlexGridModel(this)), m_view(new FlexGridView(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    setFocusProxy(m_view);

    m_view->setModel(m_model);
    m_view->setSelectionMode(QAbstractItemView::NoSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setTabKeyNavigation(false);
    m_view->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    m_view->setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    m_view->verticalHeader()->hide();
    m_view->horizontalHeader()->setSectionsClickable(false);
    m_view->horizontalHeader()->setHighlightSections(false);
    m_view->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_view->horizontalHeader()->setMinimumSectionSize(1);
    m_view->horizontalHeader()->viewport()->installEventFilter(m_view);

    const int rowPixels = std::max(16, fontMetrics().height() + 2);
    m_view->verticalHeader()->setMinimumSectionSize(rowPixels);
    m_view->verticalHeader()->setDefaultSectionSize(rowPixels);
    m_view->horizontalHeader()->setFixedHeight(rowPixels);
    setCols(2);
}

FlexGrid::~FlexGrid() = default;

void FlexGrid::setAccessibleListName(const QString& name)
{
    setAccessibleName(name);
    m_view->setAccessibleName(name);
}

int FlexGrid::rows() const
{
    return m_model->gridRows();
}

void FlexGrid::setRows(int rows)
{
    m_model->setGridRows(rows);
    const int last = this->rows() - 1;
    m_row = std::min(m_row, last);
    m_rowSel = std::min(m_rowSel, last);
    if (m_row == 0 && last >= 1)
        m_row = m_rowSel = 1; // a grid with record rows always has one current
    applySelection();
}

int FlexGrid::cols() const
{
    return m_model->gridCols();
}

void FlexGrid::setCols(int cols)
{
    m_model->setGridCols(cols);
    m_colWidthsTwips.resize(this->cols(), DefaultColWidthTwips);
    for (int c = 0; c < this->cols(); ++c)
        applyColWidth(c);
    m_col = std::min(m_col, this->cols() - 1);
    m_colSel = std::min(m_colSel, this->cols() - 1);
    applySelection();
}

void FlexGrid::setRow(int row)
{
    m_row = m_rowSel = std::clamp(row, 0, rows() - 1);
    applySelection();
}

void FlexGrid::setCol(int col)
{
    m_col = m_colSel = std::clamp(col, 0, cols() - 1);
    applySelection();
}

void FlexGrid::setRowSel(int row)
{
    m_rowSel = std::clamp(row, 0, rows() - 1);
    applySelection();
}

void FlexGrid::setColSel(int col)
{
    m_colSel = std::clamp(col, 0, cols() - 1);
    applySelection();
}

QString FlexGrid::textMatrix(int row, int col) const
{
    return m_model->text(row, col);
}

void FlexGrid::setTextMatrix(int row, int col, const QString& text)
{
    m_model->setText(row, col, text);
}

void FlexGrid::removeItem(int row)
{
    m_model->removeGridRow(row);
    setRows(rows()); // keeps the current row within the grid
}

double FlexGrid::colWidthTwips(int col) const
{
    return col >= 0 && col < cols() ? m_colWidthsTwips[col] : 0;
}

void FlexGrid::setColWidthTwips(int col, double twips)
{
    if (col < 0 || col >= cols())
        return;
    m_colWidthsTwips[col] = std::max(0.0, twips);
    applyColWidth(col);
}

void FlexGrid::applyColWidth(int col)
{
    QHeaderView* header = m_view->horizontalHeader();
    const int pixels = Twips::toPixels(m_colWidthsTwips[col]);
    header->setSectionHidden(col, pixels == 0);
    if (pixels > 0)
        header->resizeSection(col, pixels);
}

double FlexGrid::rowHeightTwips(int /*row*/) const
{
    return Twips::fromPixels(m_view->horizontalHeader()->height());
}

int FlexGrid::topRow()
{
    m_model->publish();
    return m_view->verticalScrollBar()->value() + 1;
}

void FlexGrid::setTopRow(int row)
{
    m_model->publish();
    m_view->verticalScrollBar()->setValue(row - 1);
}

int FlexGrid::leftCol()
{
    return m_view->horizontalScrollBar()->value();
}

void FlexGrid::setLeftCol(int col)
{
    m_view->horizontalScrollBar()->setValue(col);
}

double FlexGrid::leftTwips() const
{
    return Twips::fromPixels(x());
}

double FlexGrid::topTwips() const
{
    return Twips::fromPixels(y());
}

double FlexGrid::widthTwips() const
{
    return Twips::fromPixels(width());
}

double FlexGrid::heightTwips() const
{
    return Twips::fromPixels(height());
}

void FlexGrid::moveTwips(double left, double top, double width, double height)
{
    setGeometry(Twips::toPixels(left), Twips::toPixels(top), std::max(0, Twips::toPixels(width)),
                std::max(0, Twips::toPixels(height)));
}

void FlexGrid::applySelection()
{
    FlexGridModel::Selection selection;
    selection.top = std::min(m_row, m_rowSel);
    selection.bottom = std::max(m_row, m_rowSel);
    selection.left = std::min(m_col, m_colSel);
    selection.right = std::max(m_col, m_colSel);
    if (selection.top == 0)
        selection.top = 1; // the heading row is never highlighted
    m_model->setSelection(selection);
}

void FlexGrid::pressCell(int row, int col)
{
    m_row = m_rowSel = row;
    m_col = m_colSel = col;
    applySelection();
    emit selChange();
}

void FlexGrid::dragToCell(int row, int col)
{
    if (row == m_rowSel && col == m_colSel)
        return;
    m_rowSel = row;
    m_colSel = col;
    applySelection();
    emit selChange();
}

void FlexGrid::moveCurrentCell(int row, int col)
{
    pressCell(row, col);
    m_model->publish();
    m_view->scrollTo(m_model->index(row - 1, col));
}
