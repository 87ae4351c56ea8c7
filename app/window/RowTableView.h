#pragma once

#include <QTableView>

// A list of rows in columns, as the folder list and the result list show
// them: whole rows selected, no grid, no row headings, and every row as tall
// as one line of text (with its check box). Rows of one fixed height let the
// view place a million rows without measuring or laying out each of them,
// which a tree view does on every insertion.
class RowTableView : public QTableView {
    Q_OBJECT

public:
    explicit RowTableView(QWidget* parent = nullptr);

    // Makes a column hold dates: it shows them whole, never elided, and is
    // as wide as the longest date text of the current locale.
    void SetDateColumn(int column);
    // Sets a column's width; a date column takes its dates' width instead.
    void SetColumnWidth(int column, int width);

protected:
    void changeEvent(QEvent* event) override;
    // Home and End go to the first and the last row, as in a list.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    // Sets the row height from the style's item size for the current font.
    void FitRowHeight();
    // The blank heading area right of the last column is filled with the
    // window colour; it takes the headings' face instead of the form's white.
    void PaintBlankHeadingAsHeadings();
    // The width the longest date text of the current locale needs.
    int DateColumnWidth();

    int m_dateColumn = -1;
};
