// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/mainwindow.h"

#include "controls/busycursor.h"
#include "controls/chartcontrol.h"
#include "core/apperror.h"
#include "core/errorreport.h"
#include "core/germantext.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "files/calendarfile.h"
#include "output/printing.h"
#include "shell/casefiles.h"
#include "shell/commandbar.h"
#include "shell/outsidecommands.h"
#include "shell/windowplacement.h"
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
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QSessionManager>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <optional>

MainWindow::MainWindow(UserInterface *ui, QWidget *parent)
    : QMainWindow(parent)
    , m_qtUi(this)
    , m_ui(ui ? ui : &m_qtUi)
    , m_errors(m_settings.errorReporter(*m_ui))
    , m_derived(m_case, m_errors)
    , m_mdi(new QMdiArea(this)) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowIcon(CommandBar::icon("korvalo"));
    m_mdi->setObjectName(QStringLiteral("mdiArea"));
    m_mdi->setBackground(QColor(0xE8, 0xEE, 0xEE));
    setCentralWidget(m_mdi);
    m_bar = new CommandBar(*this);
    connect(m_bar, &CommandBar::triggered, this, &MainWindow::run);
    m_files = new CaseFiles(*this, m_case, m_settings, m_errors, *m_ui, *m_bar);
    connect(m_files, &CaseFiles::loaded, this, &MainWindow::showLoadedCase);
    connect(m_files, &CaseFiles::failed, this, &MainWindow::report);
    m_outside = new OutsideCommands(*this, m_settings, m_errors, *m_ui,
                                    [this](const QString &address) { openBrowser(address); });
    connect(m_outside, &OutsideCommands::failed, this, &MainWindow::report);
    buildStatusBar();
    // A session that ends (log out, shut down) closes without "Programm beenden?", but
    // input not saved yet is asked about while the session manager still lets us.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager &manager) {
        if (m_files->hasUnsavedInput() && manager.allowsInteraction()) {
            const bool go = m_files->confirmDiscard();
            manager.release();
            if (!go) {
                manager.cancel();
                return;
            }
        }
        m_closeConfirmed = true;
    });
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow *window) {
        if (auto *view = window ? qobject_cast<ChildView *>(window->widget()) : nullptr)
            view->activate();
    });
}

MainWindow::~MainWindow() = default;

void MainWindow::setLauncher(Launcher *launcher) {
    m_outside->setLauncher(launcher);
}

void MainWindow::setCompanions(Companions *companions) {
    m_outside->setCompanions(companions);
}

InputView *MainWindow::inputView() const {
    return m_input;
}

ChartView *MainWindow::chartView() const {
    return m_chart;
}

RecalcDialog *MainWindow::recalcDialog() const {
    return m_recalc;
}

SheetView *MainWindow::sheetView() const {
    return m_sheet;
}

DocumentView *MainWindow::documentView() const {
    return m_document;
}

ProgressView *MainWindow::progressView() const {
    return m_progress;
}

CaseListView *MainWindow::caseListView() const {
    return m_cases;
}

QStringList MainWindow::recentFiles() const {
    return m_files->recentFiles();
}

void MainWindow::buildStatusBar() {
    auto *status = new QLabel(str(S::Status), this);
    m_date = new QLabel(this);
    m_time = new QLabel(this);
    statusBar()->setObjectName(QStringLiteral("sbStatusBar"));
    statusBar()->addWidget(status, 1);
    statusBar()->addPermanentWidget(m_date);
    statusBar()->addPermanentWidget(m_time);
    const auto tick = [this] {
        const QDateTime now = QDateTime::currentDateTime();
        m_date->setText(GermanText::fromDate(now.date()));
        m_time->setText(GermanText::fromTime(now.time()));
    };
    tick();
    auto *clock = new QTimer(this);
    connect(clock, &QTimer::timeout, this, tick);
    clock->start(1000);
}

void MainWindow::load() {
    BusyCursor busy;
    try {
        WindowPlacement::restore(*this, m_settings);
    } catch (const AppError &e) {
        report(e, QStringLiteral("MDIForm_LOad"));
    }
    m_bar->showStart();
    setWindowTitle(str(S::Product));

    m_input = new InputView(*this);
    m_files->setForm(m_input);
    connect(m_input, &InputView::curveComputed, this, &MainWindow::showChart);
    QMdiSubWindow *inputWindow = addView(m_input);
    inputWindow->installEventFilter(this);
    inputWindow->showMaximized();
    show();
    m_input->activate();
    m_input->focusField(DietCase::Field::ownerName);

    m_bar->showCompanions(m_outside->installedCompanions());
}

QMdiSubWindow *MainWindow::addView(QWidget *view) {
    QMdiSubWindow *window = m_mdi->addSubWindow(view);
    window->setObjectName(view->objectName());
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowIcon(windowIcon());
    return window;
}

void MainWindow::set_toolbar(View view) {
    m_bar->set_toolbar(view);
}

void MainWindow::setToolTip(ToolKey key, const QString &text) {
    m_bar->setToolTip(key, text);
}

void MainWindow::setExitCaption(const QString &text) {
    m_bar->setExitCaption(text);
}

QAction *MainWindow::action(Command command) const {
    return m_bar->action(command);
}

QAction *MainWindow::menuSeparator(const QString &name) const {
    return m_bar->separator(name);
}

QAction *MainWindow::toolbarSlot(const QString &key) const {
    const auto id = CommandTable::toolKey(key);
    return id ? m_bar->place(*id) : nullptr;
}

QToolButton *MainWindow::toolbarButton(const QString &key) const {
    const auto id = CommandTable::toolKey(key);
    return id ? m_bar->button(*id) : nullptr;
}

QString MainWindow::activeViewName() const {
    const QMdiSubWindow *window = m_mdi->activeSubWindow();
    return window && window->widget() ? window->widget()->objectName() : QString();
}

ChildView *MainWindow::activeView() const {
    const QMdiSubWindow *window = m_mdi->activeSubWindow();
    return window ? qobject_cast<ChildView *>(window->widget()) : nullptr;
}

void MainWindow::dispatch(const QString &key) {
    if (const auto id = CommandTable::toolKey(key))
        m_bar->dispatch(*id);
}

void MainWindow::run(Command command, bool fromToolbar) {
    switch (command) {
    case Command::LoadCase:
        m_files->open();
        break;
    case Command::SaveCase:
        m_files->save();
        break;
    case Command::ExitOrBack:
        exitOrBack();
        break;
    case Command::ReductionCurve:
        if (m_input)
            m_input->compute();
        break;
    case Command::InfoSheet:
        showView(m_document, QStringLiteral("mnuEditDoc_Click"));
        break;
    case Command::DietPlan:
        showView(m_sheet, QStringLiteral("mnuEditPlan_Click"));
        break;
    case Command::FollowUp:
        showFollowUp();
        break;
    case Command::ExportDates:
        export_ics(m_case, m_errors);
        break;
    case Command::CaseList:
        showCaseList();
        break;
    case Command::ChangeLogo:
        changeLogo(*this, m_settings,
                   activeView() && activeView()->kind() == View::Document ? m_document.data()
                                                                          : nullptr);
        break;
    case Command::ReductionValues:
        showRecalc(fromToolbar); // the button's dialog waits for its answer
        break;
    case Command::ChartOptions:
        showOptions(!fromToolbar);
        break;
    case Command::Print:
        printActive(false);
        break;
    case Command::PrintPreview:
        printActive(true);
        break;
    case Command::Copy:
        copyActive();
        break;
    case Command::ClearInputs:
        if (!m_files->confirmDiscard())
            break;
        try {
            BusyCursor busy;
            if (m_input) {
                m_input->clearInputs();
                m_input->focusField(DietCase::Field::ownerName);
            }
        } catch (const AppError &e) {
            report(e, QStringLiteral("mnuEditDelete_Click"));
        }
        break;
    case Command::Email:
        m_outside->sendEmail();
        break;
    case Command::Help:
        m_outside->openHelp();
        break;
    case Command::WebPage:
        m_outside->openWebPage();
        break;
    case Command::About:
        m_outside->showAbout();
        break;
    case Command::Companion1:
    case Command::Companion2:
    case Command::Companion3:
    case Command::Companion4:
    case Command::Companion5:
    case Command::Companion6:
        m_outside->openCompanion(int(command) - int(Command::Companion1) + 1);
        break;
    }
}

void MainWindow::openCaseFile(const QString &path) {
    m_files->load(path);
}

BrowserView *MainWindow::openBrowser(const QString &address) {
    // Every call makes a further window with its own history.
    auto *browser = new BrowserView(*this, address);
    addView(browser)->showMaximized();
    m_mdi->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(browser->parentWidget()));
    return browser;
}

void MainWindow::report(const AppError &error, const QString &procedure, const QString &info) {
    QString working = info.isEmpty() ? activeViewName() : info;
    if (working.isEmpty())
        working = objectName();
    m_errors.ReportError(error, u"frmMain-" + procedure, working);
}

void MainWindow::exitOrBack() {
    try {
        if (!m_mdi->activeSubWindow() || (activeView() && activeView()->kind() == View::Input)) {
            const auto answer =
                m_ui->message(str(S::Quit), UserInterface::Icon::Question, str(S::AppTitle),
                              UserInterface::Buttons::YesNo, UserInterface::Answer::No);
            if (answer == UserInterface::Answer::Yes && m_files->confirmDiscard()) {
                m_closeConfirmed = true;
                close();
            }
            return;
        }
        m_mdi->activeSubWindow()->close();
    } catch (const AppError &e) {
        report(e, QStringLiteral("mnuFileExit_Click"));
    }
}

template <typename ViewType>
void MainWindow::showView(QPointer<ViewType> &view, const QString &procedure) {
    // One window of each kind: created on first use, brought forward after.
    try {
        BusyCursor busy;
        if (!view) {
            view = new ViewType(*this);
            addView(view)->showMaximized();
        }
        auto *window = qobject_cast<QMdiSubWindow *>(view->parentWidget());
        window->show();
        m_mdi->setActiveSubWindow(window);
    } catch (const AppError &e) {
        report(e, procedure);
    }
}

void MainWindow::refreshChart(const ChartSetup &setup) {
    if (!m_chart) {
        m_chart = new ChartView(*this);
        addView(m_chart)->showMaximized();
    }
    m_chart->apply(setup);
    if (m_progress)
        m_progress->refresh(setup.plan);
}

void MainWindow::showFollowUp() {
    if (!m_chart)
        return; // offered only once a curve is computed
    showView(m_progress, QStringLiteral("mnuEditVerlauf_Click"));
    if (m_progress)
        m_progress->refresh(m_chart->chart()->plan());
}

void MainWindow::showCaseList() {
    const bool open = m_cases;
    showView(m_cases, QStringLiteral("mnuFileFaelle_Click"));
    if (!m_cases)
        return;
    if (open)
        m_cases->rescan(); // cases saved since it opened are listed
    else
        connect(m_cases, &CaseListView::caseChosen, m_files, &CaseFiles::load);
}

void MainWindow::showLoadedCase() {
    if (!m_input)
        return;
    auto *window = qobject_cast<QMdiSubWindow *>(m_input->parentWidget());
    window->show();
    m_mdi->setActiveSubWindow(window);
    // A loaded case is a follow-up visit: the pet has just been weighed.
    m_input->focusField(DietCase::Field::todayWeight);
}

void MainWindow::showChart(const ChartSetup &setup) {
    refreshChart(setup);
    auto *window = qobject_cast<QMdiSubWindow *>(m_chart->parentWidget());
    window->show();
    m_mdi->setActiveSubWindow(window);
}

void MainWindow::printActive(bool preview) {
    ChildView *view = activeView();
    if (!view || !view->prints())
        return;
    if (preview) {
        // One drawing for the printer and the preview: what the preview shows is what prints.
        QPrintPreviewDialog dialog(this);
        dialog.printer()->setPageSize(QPageSize(QPageSize::A4)); // the paper offered first
        connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [view](QPrinter *printer) {
            const bool landscape = printer->pageLayout().orientation() == QPageLayout::Landscape;
            view->print(*printer, printer->copyCount(), landscape ? 2 : 1);
        });
        dialog.exec();
        return;
    }
    const auto request = m_ui->printDialog();
    if (!request) {
        m_ui->restoreCursors();
        return;
    }
    // A queue that went away must not send the job to some other printer unasked, and one
    // that refuses or holds it must not lose it without a word.
    if (request->pdfFile.isEmpty()) {
        if (const QString problem = printerProblem(request->printerName); !problem.isEmpty()) {
            m_ui->message(problem, UserInterface::Icon::Critical, str(S::AppTitle));
            return;
        }
    }
    const auto printer = printerFor(*request);
    printer->setDocName(str(S::Product) + u" - " +
                        m_mdi->activeSubWindow()->windowTitle().trimmed());
    view->print(*printer, request->copies, request->orientation);
}

void MainWindow::copyActive() {
    if (ChildView *view = activeView())
        view->copy(*QGuiApplication::clipboard());
}

void MainWindow::showOptions(bool busy) {
    if (!m_chart)
        return; // offered only beside a computed chart
    std::optional<BusyCursor> hourglass;
    if (busy)
        hourglass.emplace();
    OptionsDialog dialog(*m_chart->chart(), m_settings, m_errors, this);
    hourglass.reset(); // the pointer is normal while the dialog waits for the user
    dialog.exec();
}

void MainWindow::showRecalc(bool modal) {
    try {
        if (!m_recalc) {
            m_recalc = new RecalcDialog(*this, this);
            m_recalc->setAttribute(Qt::WA_DeleteOnClose);
            connect(m_recalc, &RecalcDialog::curveComputed, this, &MainWindow::refreshChart);
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
        report(e, QStringLiteral("mnuEditRecalc_Click"));
    }
}

void MainWindow::closeEvent(QCloseEvent *event) {
    if (!m_closeConfirmed) {
        // Titled with the window's own caption, not the one a maximised view extends.
        const auto answer = m_ui->message(str(S::Quit), UserInterface::Icon::Question,
                                          str(S::Product), UserInterface::Buttons::YesNo);
        if (answer != UserInterface::Answer::Yes || !m_files->confirmDiscard()) {
            event->ignore();
            return;
        }
    }
    m_closeConfirmed = false;
    try {
        WindowPlacement::store(*this, m_settings);
    } catch (const AppError &e) {
        report(e, QStringLiteral("MDIForm_Unload"));
    }
    event->accept();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event) {
    // Closing the input form would close the case: it asks like the exit command.
    if (event->type() == QEvent::Close && m_input && watched == m_input->parentWidget()) {
        event->ignore();
        if (isVisible())
            QTimer::singleShot(0, this, [this] { run(Command::ExitOrBack); });
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
