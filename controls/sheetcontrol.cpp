// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/sheetcontrol.h"

#include "core/apperror.h"
#include "core/germantext.h"
#include "core/stringtable.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

enum Role { LockedRole = Qt::UserRole, DateRole, FormatRole };

constexpr double cellPaddingPoints = 1.5;
// A column of n characters is n digits of the standard font plus this many pixels.
constexpr double columnPaddingPixels = 5;

QFont fontFrom(const QJsonObject &o) {
    QFont font(o[u"family"].toString());
    font.setPointSizeF(o[u"pointSize"].toDouble(10));
    font.setBold(o[u"bold"].toBool());
    if (o[u"fixedPitch"].toBool()) {
        // Families the system lacks still resolve to a fixed-pitch face.
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
    }
    return font;
}

/** General alignment: date values to the right, text to the left, all at the bottom. */
Qt::Alignment alignmentOf(const QTableWidgetItem *item) {
    const bool date = item->data(FormatRole).toString() == u"date";
    return (date ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignBottom;
}

QString quotedField(const QString &text) {
    if (!text.contains(u'\t') && !text.contains(u'\n') && !text.contains(u'"'))
        return text;
    return u'"' + QString(text).replace(u"\""_qs, u"\"\""_qs) + u'"';
}

QString cssOf(const QFont &font) {
    return u"font-family:'" + font.family() + u"';font-size:" + QString::number(font.pointSizeF()) +
           u"pt;font-weight:" + (font.bold() ? u"bold"_qs : u"normal"_qs);
}

void drawCellText(QPainter *painter, const QRectF &rect, const QTableWidgetItem *item,
                  double padding) {
    painter->save();
    painter->setClipRect(rect, Qt::IntersectClip);
    painter->setFont(item->font());
    const QRectF inner = rect.adjusted(padding, 0, -padding, 0);
    // A caption beside a filled cell has no room to run into: the tall header rows take it
    // on two lines rather than cut it.
    const QString shown = item->text().trimmed();
    const bool wrap = shown.contains(u' ') &&
                      painter->fontMetrics().horizontalAdvance(shown) > rect.width() - padding;
    painter->drawText(inner,
                      int(alignmentOf(item)) | (wrap ? Qt::TextWordWrap : Qt::TextSingleLine),
                      item->text());
    painter->restore();
}

/** Paints cells like the paper: text runs into empty neighbours, no elision. */
class SheetDelegate : public QStyledItemDelegate {
public:
    explicit SheetDelegate(SheetControl *sheet)
        : QStyledItemDelegate(sheet)
        , m_sheet(sheet) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        opt.text.clear();
        const QWidget *widget = opt.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

        const QTableWidgetItem *item = m_sheet->table()->item(index.row(), index.column());
        if (!item)
            return;
        const bool selected = opt.state & QStyle::State_Selected;
        if (!selected && !item->data(LockedRole).toBool()) {
            // A faint writing line shows on screen where typing is possible; paper has none.
            painter->save();
            painter->setPen(QColor(0xd0, 0xd4, 0xda));
            painter->drawLine(opt.rect.bottomLeft(), opt.rect.bottomRight());
            painter->restore();
        }
        if (item->text().isEmpty())
            return;
        QRectF rect = opt.rect;
        const int extra =
            m_sheet->overflowColumns(index.row() + 1, index.column() + 1, m_sheet->columnCount());
        for (int c = 1; c <= extra; ++c)
            rect.setRight(rect.right() + m_sheet->table()->columnWidth(index.column() + c));
        painter->save();
        painter->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        drawCellText(painter, rect, item, cellPaddingPoints * m_sheet->logicalDpiX() / 72.0);
        painter->restore();
    }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        editor->setFont(index.data(Qt::FontRole).value<QFont>());
        return editor;
    }

private:
    SheetControl *m_sheet;
};

} // namespace

SheetControl::SheetControl(QWidget *parent)
    : QWidget(parent)
    , m_table(new QTableWidget(this)) {
    setObjectName(QStringLiteral("sheet1"));
    m_table->horizontalHeader()->hide();
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setMinimumSectionSize(1);
    m_table->setShowGrid(false);
    m_table->setWordWrap(false);
    m_table->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    m_table->setItemDelegate(new SheetDelegate(this));
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_table->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    QPalette paper = m_table->palette();
    paper.setColor(QPalette::Base, Qt::white);
    paper.setColor(QPalette::Text, Qt::black);
    m_table->setPalette(paper);
    QPalette desk = palette(); // around the paper
    desk.setColor(QPalette::Window, QColor(0xe4, 0xe6, 0xea));
    setPalette(desk);
    setAutoFillBackground(true);
    m_table->installEventFilter(this);
    setRowColumnEditingEnabled(true);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_table, 0, Qt::AlignLeft);

    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &SheetControl::selectionChanged);
    connect(m_table->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &SheetControl::selectionChanged);
    // A text may run into its neighbour, so a changed cell can change the look of others.
    connect(m_table, &QTableWidget::itemChanged, m_table->viewport(),
            qOverload<>(&QWidget::update));
}

void SheetControl::loadTemplate(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(AppError::FileNotFound);
    QJsonParseError parseError;
    const QJsonObject sheet = QJsonDocument::fromJson(file.readAll(), &parseError).object();
    const QJsonArray widths = sheet[u"columnWidths"].toArray();
    const int rows = sheet[u"rowCount"].toInt();
    const int columns = sheet[u"hiddenColumnsFrom"].toInt() - 1;
    if (parseError.error != QJsonParseError::NoError || rows < 1 || columns < 1 ||
        widths.size() != columns)
        throw AppError(AppError::TypeMismatch);

    QHash<QString, QFont> fonts;
    const QJsonObject fontList = sheet[u"fonts"].toObject();
    for (auto it = fontList.begin(); it != fontList.end(); ++it)
        fonts.insert(it.key(), fontFrom(it.value().toObject()));
    m_standardFont = fonts.value(sheet[u"standardFont"].toString(), QFont(u"Arial"_qs, 10));
    // A face the system lacks (the dates' terminal font) takes the sheet's own family rather
    // than some fixed-pitch stand-in, on screen and on paper alike.
    for (QFont &font : fonts) {
        if (QFontInfo(font).family().compare(font.family(), Qt::CaseInsensitive) != 0 &&
            font.fixedPitch()) {
            font.setFamily(m_standardFont.family());
            font.setFixedPitch(false);
            font.setStyleHint(QFont::AnyStyle);
        }
    }
    m_sheetName = sheet[u"sheet"].toString();

    const QSignalBlocker blocker(m_table);
    m_table->clear();
    m_table->setRowCount(rows);
    m_table->setColumnCount(columns);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            auto *cell = new QTableWidgetItem;
            cell->setFont(m_standardFont);
            cell->setData(LockedRole, true);
            m_table->setItem(r, c, cell);
        }
    }

    const auto apply = [&](QTableWidgetItem *cell, const QJsonObject &o) {
        if (o.contains(u"locked"))
            cell->setData(LockedRole, o[u"locked"].toBool());
        if (o.contains(u"font"))
            cell->setFont(fonts.value(o[u"font"].toString(), m_standardFont));
        if (o.contains(u"format"))
            cell->setData(FormatRole, o[u"format"].toString());
        if (o.contains(u"string"))
            cell->setText(str(o[u"string"].toInt()));
        else if (o.contains(u"text"))
            cell->setText(o[u"text"].toString());
    };
    for (const QJsonValue &v : sheet[u"ranges"].toArray()) {
        const QJsonObject o = v.toObject();
        const QJsonArray rs = o[u"rows"].toArray();
        const QJsonArray cs = o[u"cols"].toArray();
        checkRange(rs[0].toInt(), cs[0].toInt(), rs[1].toInt(), cs[1].toInt());
        for (int r = rs[0].toInt(); r <= rs[1].toInt(); ++r)
            for (int c = cs[0].toInt(); c <= cs[1].toInt(); ++c)
                apply(item(r, c), o);
    }
    for (const QJsonValue &v : sheet[u"cells"].toArray()) {
        const QJsonObject o = v.toObject();
        apply(item(o[u"row"].toInt(), o[u"col"].toInt()), o);
    }
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            QTableWidgetItem *cell = m_table->item(r, c);
            cell->setTextAlignment(alignmentOf(cell));
            Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
            if (!cell->data(LockedRole).toBool())
                flags |= Qt::ItemIsEditable;
            cell->setFlags(flags);
        }
    }

    const double digit = QFontMetricsF(m_standardFont, this).horizontalAdvance(u'0');
    const double pointsPerPixel = 72.0 / logicalDpiX();
    m_columnPoints.clear();
    for (const QJsonValue &w : widths)
        m_columnPoints.push_back(std::round(w.toDouble() * digit + columnPaddingPixels) *
                                 pointsPerPixel);
    m_rowPoints.assign(rows, sheet[u"defaultRowHeight"].toDouble(12.75));
    for (const QJsonValue &v : sheet[u"rowHeights"].toArray()) {
        const QJsonObject o = v.toObject();
        const QJsonArray rs = o[u"rows"].toArray();
        for (int r = std::max(1, rs[0].toInt()); r <= std::min(rows, rs[1].toInt()); ++r)
            m_rowPoints[r - 1] = o[u"points"].toDouble();
    }
    applyMetrics();
    // Beyond the last column lies no paper.
    m_table->setMaximumWidth(sizeHint().width());

    const QJsonObject page = sheet[u"pageSetup"].toObject();
    const QJsonObject margins = page[u"marginsInch"].toObject();
    m_pageSetup.layout = QPageLayout(
        QPageSize(page[u"paper"].toString() == u"A4" ? QPageSize::A4 : QPageSize::Letter),
        page[u"orientation"].toString() == u"landscape" ? QPageLayout::Landscape
                                                        : QPageLayout::Portrait,
        QMarginsF(margins[u"left"].toDouble(), margins[u"top"].toDouble(),
                  margins[u"right"].toDouble(), margins[u"bottom"].toDouble()),
        QPageLayout::Inch);
    m_pageSetup.scalePercent = page[u"scale"].toInt(100);
    m_pageSetup.headerMarginCm = page[u"headerMarginCm"].toDouble();
    m_pageSetup.footerMarginCm = page[u"footerMarginCm"].toDouble();
    m_pageSetup.header = page[u"header"].toString();
    m_pageSetup.footer = page[u"footer"].toString();
    m_pageSetup.gridLines = page[u"gridLines"].toBool();
    m_pageSetup.headings = page[u"headings"].toBool();
    updateGeometry();
}

void SheetControl::applyMetrics() {
    const double dpiX = logicalDpiX() / 72.0;
    const double dpiY = logicalDpiY() / 72.0;
    for (int c = 0; c < columnCount(); ++c)
        m_table->setColumnWidth(c, qRound(m_columnPoints[c] * dpiX));
    for (int r = 0; r < rowCount(); ++r)
        m_table->setRowHeight(r, qRound(m_rowPoints[r] * dpiY));
}

int SheetControl::rowCount() const {
    return m_table->rowCount();
}

int SheetControl::columnCount() const {
    return m_table->columnCount();
}

QTableWidgetItem *SheetControl::item(int row, int col) const {
    checkRange(row, col, row, col);
    return m_table->item(row - 1, col - 1);
}

void SheetControl::checkRange(int row1, int col1, int row2, int col2) const {
    if (row1 < 1 || col1 < 1 || row2 > rowCount() || col2 > columnCount() || row1 > row2 ||
        col1 > col2)
        throw AppError(AppError::SubscriptOutOfRange);
}

void SheetControl::setCellText(int row, int col, const QString &text) {
    QTableWidgetItem *cell = item(row, col);
    cell->setData(DateRole, QVariant());
    cell->setText(text);
}

void SheetControl::setCellDate(int row, int col, QDate date) {
    QTableWidgetItem *cell = item(row, col);
    cell->setData(DateRole, date);
    cell->setText(GermanText::fromDate(date));
}

QString SheetControl::cellText(int row, int col) const {
    return item(row, col)->text();
}

QDate SheetControl::cellDate(int row, int col) const {
    return item(row, col)->data(DateRole).toDate();
}

QFont SheetControl::cellFont(int row, int col) const {
    return item(row, col)->font();
}

bool SheetControl::isCellLocked(int row, int col) const {
    return item(row, col)->data(LockedRole).toBool();
}

bool SheetControl::isSelectionLocked() const {
    QModelIndexList cells = m_table->selectionModel()->selectedIndexes();
    if (cells.isEmpty())
        cells << m_table->currentIndex();
    return std::any_of(cells.cbegin(), cells.cend(), [](const QModelIndex &i) {
        return !i.isValid() || i.data(LockedRole).toBool();
    });
}

void SheetControl::setEditingEnabled(bool enabled) {
    m_table->setEditTriggers(enabled ? QAbstractItemView::DoubleClicked |
                                           QAbstractItemView::EditKeyPressed |
                                           QAbstractItemView::AnyKeyPressed
                                     : QAbstractItemView::NoEditTriggers);
}

bool SheetControl::isEditingEnabled() const {
    return m_table->editTriggers() != QAbstractItemView::NoEditTriggers;
}

void SheetControl::setRowColumnEditingEnabled(bool enabled) {
    m_rowColumnEditing = enabled;
    const auto mode = enabled ? QHeaderView::Interactive : QHeaderView::Fixed;
    m_table->horizontalHeader()->setSectionResizeMode(mode);
    m_table->verticalHeader()->setSectionResizeMode(mode);
}

void SheetControl::selectRange(int row1, int col1, int row2, int col2) {
    checkRange(row1, col1, row2, col2);
    QItemSelectionModel *selection = m_table->selectionModel();
    const QAbstractItemModel *model = m_table->model();
    selection->setCurrentIndex(model->index(row1 - 1, col1 - 1), QItemSelectionModel::NoUpdate);
    selection->select(
        QItemSelection(model->index(row1 - 1, col1 - 1), model->index(row2 - 1, col2 - 1)),
        QItemSelectionModel::ClearAndSelect);
}

SheetBlock SheetControl::copyBlockText(int row1, int col1, int row2, int col2) const {
    checkRange(row1, col1, row2, col2);
    SheetBlock block;
    block.html = u"<table style=\"border-collapse:collapse\">\n"_qs;
    for (int r = row1; r <= row2; ++r) {
        QStringList fields;
        block.html += u"<tr style=\"height:" + QString::number(m_rowPoints[r - 1]) + u"pt\">";
        for (int c = col1; c <= col2; ++c) {
            const QTableWidgetItem *cell = item(r, c);
            fields << quotedField(cell->text());
            const bool right = alignmentOf(cell) & Qt::AlignRight;
            block.html += u"<td style=\"width:" + QString::number(m_columnPoints[c - 1]) +
                          u"pt;white-space:pre;vertical-align:bottom;" + cssOf(cell->font()) +
                          (right ? u";text-align:right"_qs : QString()) + u"\">" +
                          cell->text().toHtmlEscaped() + u"</td>";
        }
        block.text += fields.join(u'\t') + u'\n';
        block.html += u"</tr>\n";
    }
    block.html += u"</table>\n";
    return block;
}

void SheetControl::copySelection() const {
    QModelIndexList cells = m_table->selectionModel()->selectedIndexes();
    if (cells.isEmpty())
        cells << m_table->currentIndex();
    if (!cells.first().isValid())
        return;
    int row1 = rowCount(), col1 = columnCount(), row2 = 0, col2 = 0;
    for (const QModelIndex &i : cells) {
        row1 = std::min(row1, i.row() + 1);
        col1 = std::min(col1, i.column() + 1);
        row2 = std::max(row2, i.row() + 1);
        col2 = std::max(col2, i.column() + 1);
    }
    const SheetBlock block = copyBlockText(row1, col1, row2, col2);
    auto *data = new QMimeData;
    data->setText(block.text);
    data->setHtml(block.html);
    QGuiApplication::clipboard()->setMimeData(data);
}

int SheetControl::overflowColumns(int row, int col, int lastCol) const {
    const QTableWidgetItem *cell = item(row, col);
    if (cell->text().isEmpty() || (alignmentOf(cell) & Qt::AlignRight))
        return 0;
    int extra = 0;
    while (col + extra < lastCol && item(row, col + extra + 1)->text().isEmpty())
        ++extra;
    return extra;
}

QSizeF SheetControl::rangeSize(int row1, int col1, int row2, int col2) const {
    checkRange(row1, col1, row2, col2);
    return {std::accumulate(m_columnPoints.begin() + col1 - 1, m_columnPoints.begin() + col2, 0.0),
            std::accumulate(m_rowPoints.begin() + row1 - 1, m_rowPoints.begin() + row2, 0.0)};
}

void SheetControl::renderRange(QPainter *painter, const QRectF &target, int row1, int col1,
                               int row2, int col2, bool gridLines) const {
    const QSizeF natural = rangeSize(row1, col1, row2, col2);
    const QPaintDevice *device = painter->device();
    // Device units per point; fonts given in points come out right at factor 1.
    const double unitX = (device ? device->logicalDpiX() : 72) / 72.0;
    const double unitY = (device ? device->logicalDpiY() : 72) / 72.0;
    const double factor = std::min(target.width() / (natural.width() * unitX),
                                   target.height() / (natural.height() * unitY));
    if (!(factor > 0))
        return;

    painter->save();
    painter->translate(target.topLeft());
    painter->scale(factor, factor);
    if (gridLines)
        drawGrid(painter, row1, col1, row2, col2, unitX, unitY);
    painter->setPen(Qt::black);
    double y = 0;
    for (int r = row1; r <= row2; ++r) {
        const double height = m_rowPoints[r - 1] * unitY;
        double x = 0;
        for (int c = col1; c <= col2; ++c) {
            const double width = m_columnPoints[c - 1] * unitX;
            const QTableWidgetItem *cell = item(r, c);
            if (!cell->text().isEmpty()) {
                double runWidth = width;
                const int extra = overflowColumns(r, c, col2);
                for (int k = 1; k <= extra; ++k)
                    runWidth += m_columnPoints[c + k - 1] * unitX;
                drawCellText(painter, QRectF(x, y, runWidth, height), cell,
                             cellPaddingPoints * unitX);
            }
            x += width;
        }
        y += height;
    }
    painter->restore();
}

void SheetControl::drawGrid(QPainter *painter, int row1, int col1, int row2, int col2, double unitX,
                            double unitY) const {
    painter->save();
    painter->setPen(QPen(QColor(0x60, 0x60, 0x60), 0.5 * unitX));
    const double width =
        std::accumulate(m_columnPoints.begin() + col1 - 1, m_columnPoints.begin() + col2, 0.0) *
        unitX;
    double y = 0;
    for (int r = row1; r <= row2; ++r) {
        const double height = m_rowPoints[r - 1] * unitY;
        painter->drawLine(QPointF(0, y), QPointF(width, y));
        // A text that runs into its empty neighbours is not crossed by their border.
        int runEnd = col1;
        double x = 0;
        for (int c = col1; c <= col2; ++c) {
            if (c >= runEnd)
                painter->drawLine(QPointF(x, y), QPointF(x, y + height));
            runEnd = std::max(runEnd, c + 1 + overflowColumns(r, c, col2));
            x += m_columnPoints[c - 1] * unitX;
        }
        painter->drawLine(QPointF(x, y), QPointF(x, y + height));
        y += height;
    }
    painter->drawLine(QPointF(0, y), QPointF(width, y));
    painter->restore();
}

QSize SheetControl::sizeHint() const {
    int width = 2 * m_table->frameWidth() + m_table->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < columnCount(); ++c)
        width += m_table->columnWidth(c);
    int height = 2 * m_table->frameWidth();
    for (int r = 0; r < rowCount(); ++r)
        height += m_table->rowHeight(r);
    return {width, std::min(height, 640)};
}

bool SheetControl::eventFilter(QObject *watched, QEvent *event) {
    // Delete empties the selected free cells, as on paper an eraser would.
    if (watched == m_table && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete && isEditingEnabled() &&
        !isSelectionLocked()) {
        for (const QModelIndex &i : m_table->selectionModel()->selectedIndexes())
            setCellText(i.row() + 1, i.column() + 1, QString());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
