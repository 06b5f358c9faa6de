// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDate>
#include <QFont>
#include <QPageLayout>
#include <QWidget>

#include <vector>

class QPainter;
class QTableWidget;
class QTableWidgetItem;

/** A block of cells as the clipboard takes it: tab-separated lines and an HTML table. */
struct SheetBlock {
    QString text;
    QString html;
};

/** How a sheet is laid out on paper. */
struct SheetPageSetup {
    QPageLayout layout; ///< paper, orientation and margins
    int scalePercent = 100;
    double headerMarginCm = 0;
    double footerMarginCm = 0;
    QString header;
    QString footer;
    bool gridLines = false;
    bool headings = false;
};

/**
 * A one-sheet spreadsheet over a table: cells with a text or date value, a font and a
 * locked flag, loaded from a template file; selection, copy of a block and drawing of a
 * range onto any painter. Rows and columns count from 1.
 */
class SheetControl : public QWidget {
    Q_OBJECT

public:
    explicit SheetControl(QWidget *parent = nullptr);

    /** Replaces the sheet by the template; a missing or broken template raises an AppError. */
    void loadTemplate(const QString &path = QStringLiteral(":/korvalo/diaetplan.json"));

    QString sheetName() const { return m_sheetName; }
    int rowCount() const;
    int columnCount() const;

    /** Cell access; a cell outside the sheet raises "subscript out of range". */
    void setCellText(int row, int col, const QString &text);
    /** A date value, shown as dd.MM.yyyy. */
    void setCellDate(int row, int col, QDate date);
    QString cellText(int row, int col) const;
    /** The date value of the cell, invalid when it holds none. */
    QDate cellDate(int row, int col) const;
    QFont cellFont(int row, int col) const;
    bool isCellLocked(int row, int col) const;

    /** True when any selected cell (or, without a selection, the current cell) is locked. */
    bool isSelectionLocked() const;
    void setEditingEnabled(bool enabled);
    bool isEditingEnabled() const;
    /** Resizing rows and columns by the user. */
    void setRowColumnEditingEnabled(bool enabled);
    bool isRowColumnEditingEnabled() const { return m_rowColumnEditing; }

    /** Selects the block and makes its first cell the current one. */
    void selectRange(int row1, int col1, int row2, int col2);
    SheetBlock copyBlockText(int row1, int col1, int row2, int col2) const;
    /** Puts the bounding block of the selection on the clipboard as text and HTML. */
    void copySelection() const;

    /** Natural size of a block in points. */
    QSizeF rangeSize(int row1, int col1, int row2, int col2) const;
    /**
     * Draws the block, with its cell grid when asked, scaled by one factor so that it fits
     * target and anchored at its top left; at factor 1 a point of the sheet is a point on
     * the device.
     */
    void renderRange(QPainter *painter, const QRectF &target, int row1, int col1, int row2,
                     int col2, bool gridLines = false) const;

    const SheetPageSetup &pageSetup() const { return m_pageSetup; }

    QTableWidget *table() const { return m_table; }
    QSize sizeHint() const override;

    /** Where the text of a cell may run: its own width plus empty cells to its right. */
    int overflowColumns(int row, int col, int lastCol) const;

signals:
    void selectionChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTableWidgetItem *item(int row, int col) const;
    void checkRange(int row1, int col1, int row2, int col2) const;
    void applyMetrics();
    void drawGrid(QPainter *painter, int row1, int col1, int row2, int col2, double unitX,
                  double unitY) const;

    QTableWidget *m_table;
    QString m_sheetName;
    QFont m_standardFont;
    std::vector<double> m_columnPoints;
    std::vector<double> m_rowPoints;
    SheetPageSetup m_pageSetup;
    bool m_rowColumnEditing = true;
};
