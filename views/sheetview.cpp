// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/sheetview.h"

#include "controls/printouts.h"
#include "controls/sheetcontrol.h"
#include "core/apperror.h"
#include "core/clock.h"
#include "core/dietcase.h"
#include "core/errorreport.h"
#include "core/feeding.h"
#include "core/printtexts.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "core/userinterface.h"
#include "views/viewhost.h"

#include <QClipboard>
#include <QKeyEvent>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// Rows 5 to 36 of columns A and C hold dates, except the weighing reminders.
constexpr int firstDateRow = 5;
constexpr int lastDateRow = 36;
constexpr bool isReminderRow(int row) {
    return row == 6 || row == 14 || row == 22 || row == 30;
}

// Dates are written with four-digit years; a day past the last one cannot be written.
const QDate lastDate(9999, 12, 31);

} // namespace

SheetView::SheetView(ViewHost &host, QWidget *parent)
    : ChildView(
          host, "frmSheet", str(S::DietPlan),
          {View::Sheet, {{ToolKey::Copy, S::CopyDietPlan}, {ToolKey::Back, S::Back}}, S::Back},
          parent)
    , m_sheet(new SheetControl(this)) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_sheet);

    try {
        m_sheet->loadTemplate();
        const DietCase &c = host.dietCase();
        const QString petName = c.text(DietCase::Field::petName);
        if (!petName.isEmpty())
            m_sheet->setCellText(1, 2, petName);
        fill_ration(c);
        m_sheet->table()->installEventFilter(this);
        m_sheet->table()->viewport()->installEventFilter(this);
        m_sheet->setRowColumnEditingEnabled(false);
        m_sheet->setEditingEnabled(false);
        fill_dates();
    } catch (const AppError &e) {
        report(e, QStringLiteral("Form_Load"));
    }
    connect(m_sheet, &SheetControl::selectionChanged, this, &SheetView::updateEditing);
    if (m_sheet->rowCount() > 0)
        m_sheet->selectRange(1, 1, 1, 1);
}

void SheetView::fill_ration(const DietCase &c) {
    // "Verwendetes Futter:" and "Erlaubte Snacks:" where the case knows them.
    const QString food = c.text(DietCase::Field::foodName).trimmed();
    if (!food.isEmpty())
        m_sheet->setCellText(2, 2, food);
    const Feeding::Figures f = Feeding::figures(c);
    if (f.shown && f.treatKcal)
        m_sheet->setCellText(3, 2, str(S::TreatsPerDay).arg(*f.treatKcal));
}

void SheetView::fill_dates() {
    try {
        QDate date = Clock::today();
        for (const int col : {1, 3}) {
            for (int row = firstDateRow; row <= lastDateRow; ++row) {
                if (isReminderRow(row))
                    ++row;
                m_sheet->setCellDate(row, col, date);
                if (date >= lastDate)
                    throw AppError(AppError::Overflow);
                date = date.addDays(1);
            }
        }
    } catch (const AppError &e) {
        report(e, QStringLiteral("Function fill_dates"));
    }
}

bool SheetView::isTypedKey(const QKeyEvent *event) {
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false; // shortcuts, not typing
    switch (event->key()) {
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
    case Qt::Key_F2:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return true;
    default:
        return !event->text().isEmpty() && event->text().front().isPrint();
    }
}

bool SheetView::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress && isTypedKey(static_cast<QKeyEvent *>(event))) {
        try {
            if (m_sheet->isSelectionLocked()) {
                m_host.ui().message(str(S::Locked), UserInterface::Icon::Information,
                                    str(S::Product));
                return true;
            }
        } catch (const AppError &e) {
            report(e, QStringLiteral("Form_KeyPress"));
            return true;
        }
    } else if (event->type() == QEvent::MouseButtonRelease &&
               watched == m_sheet->table()->viewport()) {
        // After the table has taken the click into its selection.
        QMetaObject::invokeMethod(this, &SheetView::updateEditing, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

void SheetView::updateEditing() {
    m_sheet->setEditingEnabled(!m_sheet->isSelectionLocked());
    m_sheet->setRowColumnEditingEnabled(false);
}

QString SheetView::workingOn() const {
    return m_sheet->sheetName();
}

bool SheetView::print(QPrinter &printer, int copies, int orientation) {
    try {
        print_sheet(*m_sheet, printer, planSheetHeader(m_host.dietCase()),
                    planSheetFooter(Clock::today()), copies, orientation);
    } catch (const AppError &e) {
        m_host.errors().ReportError(e, QStringLiteral("printmod - print_sheet"));
        return false;
    }
    return true;
}

void SheetView::copy(QClipboard &) {
    m_sheet->selectRange(1, 1, 36, 4);
    m_sheet->copySelection();
    m_sheet->selectRange(1, 1, 1, 1);
}
