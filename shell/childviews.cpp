// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/childviews.h"

#include "controls/busycursor.h"
#include "controls/chartcontrol.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "output/printing.h"
#include "views/browserview.h"
#include "views/caselistview.h"
#include "views/chartview.h"
#include "views/documentview.h"
#include "views/inputview.h"
#include "views/optionsdialog.h"
#include "views/progressview.h"
#include "views/recalcdialog.h"
#include "views/sheetview.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <optional>

ChildViews::ChildViews(QMainWindow &window, ViewHost &host, AppSettings &settings)
    : QObject(&window)
    , m_window(window)
    , m_host(host)
    , m_settings(settings)
    , m_mdi(new QMdiArea(&window)) {
    m_mdi->setObjectName(QStringLiteral("mdiArea"));
    m_mdi->setBackground(QColor(0xE8, 0xEE, 0xEE));
    window.setCentralWidget(m_mdi);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [](QMdiSubWindow *subWindow) {
        if (auto *view = subWindow ? qobject_cast<ChildView *>(subWindow->widget()) : nullptr)
            view->activate();
    });
}

InputView *ChildViews::input() const {
    return m_input;
}

ChartView *ChildViews::chart() const {
    return m_chart;
}

RecalcDialog *ChildViews::recalc() const {
    return m_recalc;
}

SheetView *ChildViews::sheet() const {
    return m_sheet;
}

DocumentView *ChildViews::document() const {
    return m_document;
}

ProgressView *ChildViews::progress() const {
    return m_progress;
}

CaseListView *ChildViews::caseList() const {
    return m_cases;
}

QString ChildViews::activeViewName() const {
    const QMdiSubWindow *subWindow = m_mdi->activeSubWindow();
    return subWindow && subWindow->widget() ? subWindow->widget()->objectName() : QString();
}

ChildView *ChildViews::activeView() const {
    const QMdiSubWindow *subWindow = m_mdi->activeSubWindow();
    return subWindow ? qobject_cast<ChildView *>(subWindow->widget()) : nullptr;
}

QMdiSubWindow *ChildViews::addView(QWidget *view) {
    QMdiSubWindow *subWindow = m_mdi->addSubWindow(view);
    subWindow->setObjectName(view->objectName());
    subWindow->setAttribute(Qt::WA_DeleteOnClose);
    subWindow->setWindowIcon(m_window.windowIcon());
    return subWindow;
}

void ChildViews::bringForward(QWidget *view) {
    auto *subWindow = qobject_cast<QMdiSubWindow *>(view->parentWidget());
    subWindow->show();
    m_mdi->setActiveSubWindow(subWindow);
}

InputView *ChildViews::createInput() {
    m_input = new InputView(m_host);
    connect(m_input, &InputView::curveComputed, this, &ChildViews::showChart);
    addView(m_input)->showMaximized();
    return m_input;
}

void ChildViews::showLoadedCase() {
    if (!m_input)
        return;
    bringForward(m_input);
    // A loaded case is a follow-up visit: the pet has just been weighed.
    m_input->focusField(DietCase::Field::todayWeight);
}

void ChildViews::showNewCase() {
    if (!m_input)
        return;
    bringForward(m_input);
    m_input->speciesList()->setFocus(Qt::OtherFocusReason);
}

template <typename ViewType>
void ChildViews::showView(QPointer<ViewType> &view, const QString &procedure) {
    // One window of each kind: created on first use, brought forward after.
    try {
        BusyCursor busy;
        if (!view) {
            view = new ViewType(m_host);
            addView(view)->showMaximized();
        }
        bringForward(view);
    } catch (const AppError &e) {
        emit failed(e, procedure, {});
    }
}

void ChildViews::showDocument() {
    showView(m_document, QStringLiteral("mnuEditDoc_Click"));
}

void ChildViews::showSheet() {
    showView(m_sheet, QStringLiteral("mnuEditPlan_Click"));
}

void ChildViews::refreshChart(const ChartSetup &setup) {
    if (!m_chart) {
        m_chart = new ChartView(m_host);
        addView(m_chart)->showMaximized();
    }
    m_chart->apply(setup);
    if (m_progress)
        m_progress->refresh(setup.plan);
}

void ChildViews::showChart(const ChartSetup &setup) {
    refreshChart(setup);
    bringForward(m_chart);
}

void ChildViews::showFollowUp() {
    if (!m_chart)
        return; // offered only once a curve is computed
    showView(m_progress, QStringLiteral("mnuEditVerlauf_Click"));
    if (m_progress)
        m_progress->refresh(m_chart->chart()->plan());
}

void ChildViews::showCaseList() {
    const bool open = m_cases;
    showView(m_cases, QStringLiteral("mnuFileFaelle_Click"));
    if (!m_cases)
        return;
    if (open)
        m_cases->rescan(); // cases saved since it opened are listed
    else
        connect(m_cases, &CaseListView::caseChosen, this, &ChildViews::caseChosen);
}

BrowserView *ChildViews::openBrowser(const QString &address) {
    // Every call makes a further window with its own history.
    auto *browser = new BrowserView(m_host, address);
    addView(browser)->showMaximized();
    m_mdi->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(browser->parentWidget()));
    return browser;
}

void ChildViews::showRecalc(bool modal) {
    try {
        if (!m_recalc) {
            m_recalc = new RecalcDialog(m_host, &m_window);
            m_recalc->setAttribute(Qt::WA_DeleteOnClose);
            connect(m_recalc, &RecalcDialog::curveComputed, this, &ChildViews::refreshChart);
        }
        if (m_recalc->isVisible()) {
            m_recalc->activateWindow(); // already open beside the main window
            return;
        }
        m_recalc->activate();
        if (modal) {
            m_recalc->setWindowModality(Qt::ApplicationModal);
            m_recalc->exec();
        } else {
            m_recalc->setWindowModality(Qt::NonModal);
            m_recalc->show();
        }
    } catch (const AppError &e) {
        emit failed(e, QStringLiteral("mnuEditRecalc_Click"), {});
    }
}

void ChildViews::showOptions(bool busy) {
    if (!m_chart)
        return; // offered only beside a computed chart
    std::optional<BusyCursor> hourglass;
    if (busy)
        hourglass.emplace();
    OptionsDialog dialog(*m_chart->chart(), m_settings, m_host.errors(), &m_window);
    hourglass.reset(); // the pointer is normal while the dialog waits for the user
    dialog.exec();
}

void ChildViews::printActive(bool preview) {
    ChildView *view = activeView();
    if (!view || !view->prints())
        return;
    if (preview) {
        // One drawing for the printer and the preview: what the preview shows is what prints.
        QPrintPreviewDialog dialog(&m_window);
        dialog.printer()->setPageSize(QPageSize(QPageSize::A4)); // the paper offered first
        connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [view](QPrinter *printer) {
            const bool landscape = printer->pageLayout().orientation() == QPageLayout::Landscape;
            view->print(*printer, printer->copyCount(), landscape ? 2 : 1);
        });
        dialog.exec();
        return;
    }
    UserInterface &ui = m_host.ui();
    const auto request = ui.printDialog();
    if (!request) {
        ui.restoreCursors();
        return;
    }
    // A queue that went away must not send the job to some other printer unasked, and one
    // that refuses or holds it must not lose it without a word.
    if (request->pdfFile.isEmpty()) {
        if (const QString problem = printerProblem(request->printerName); !problem.isEmpty()) {
            ui.message(problem, UserInterface::Icon::Critical, str(S::AppTitle));
            return;
        }
    }
    const auto printer = printerFor(*request);
    printer->setDocName(str(S::Product) + u" - " +
                        m_mdi->activeSubWindow()->windowTitle().trimmed());
    view->print(*printer, request->copies, request->orientation);
}

void ChildViews::copyActive() {
    if (ChildView *view = activeView())
        view->copy(*QGuiApplication::clipboard());
}
