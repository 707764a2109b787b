#pragma once

#include <QWidget>
#include <vector>

class FlexGridModel;
class FlexGridView;

// The flex grid: a table whose row 0 is a fixed heading row that stays while the other rows scroll.
// Row and column numbers start at 0; row and column counts include the heading row. Sizes are twips.
// A mouse press makes the cell under it current and collapses the selection to it; dragging extends the
// selection to the cell under the pointer. Events are the signals below, raised in the order the
// original control raises them: mouseDown, selChange, mouseUp, click, and dblClick on a double-click.
class FlexGrid : public QWidget
{
    Q_OBJECT

public:
    // The width a column has until it is given one.
    static constexpr double DefaultColWidthTwips = 960;
    // The key code keyDown reports for the Delete key.
    static constexpr int DeleteKeyCode = 46;

    explicit FlexGrid(QWidget* parent = nullptr);
    ~FlexGrid() override;

    int rows() const;
    void setRows(int rows);
    int cols() const;
    void setCols(int cols);

    int row() const { return m_row; }
    void setRow(int row);
    int col() const { return m_col; }
    void setCol(int col);
    int rowSel() const { return m_rowSel; }
    void setRowSel(int row);
    int colSel() const { return m_colSel; }
    void setColSel(int col);

    QString textMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);
    void removeItem(int row);

    double colWidthTwips(int col) const;
    void setColWidthTwips(int col, double twips);
    // The height of a row; every row is as high as the heading row.
    double rowHeightTwips(int row) const;

    // The first record row and the first column shown at the top left of the scrolled area.
    int topRow();
    void setTopRow(int row);
    int leftCol();
    void setLeftCol(int col);

    // Names the grid after the list it shows, for screen readers: the grid and the table in it that takes the
    // focus both carry the name.
    void setAccessibleListName(const QString& name);

    // The outer position and size of the control in its parent, in twips.
    double leftTwips() const;
    double topTwips() const;
    double widthTwips() const;
    double heightTwips() const;
    void moveTwips(double left, double top, double width, double height);

signals:
    void click();
    void dblClick();
    // keyCode is the Windows virtual-key code (46 for Delete); a handler may set it to 0 to swallow the key.
    void keyDown(int& keyCode, int shift);
    void mouseDown(int button, int shift, double xTwips, double yTwips);
    void mouseUp(int button, int shift, double xTwips, double yTwips);
    void selChange();

private:
    friend class FlexGridView;

    void applySelection();
    void pressCell(int row, int col);
    void dragToCell(int row, int col);
    void moveCurrentCell(int row, int col);
    void applyColWidth(int col);

    FlexGridModel* m_model;
    FlexGridView* m_view;
    std::vector<double> m_colWidthsTwips;
    int m_row = 0;
    int m_col = 0;
    int m_rowSel = 0;
    int m_colSel = 0;
};
