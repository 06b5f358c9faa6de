// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/mainwindow.h"

#include "controls/browsercontrol.h"
#include "controls/busycursor.h"
#include "core/apperror.h"
#include "core/errorreport.h"
#include "core/germantext.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "files/calendarfile.h"
#include "shell/casefiles.h"
#include "shell/commandbar.h"
#include "shell/gdtbridge.h"
#include "shell/outsidecommands.h"
#include "shell/windowplacement.h"
#include "views/childview.h"
#include "views/documentview.h"
#include "views/inputview.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSessionManager>
#include <QStatusBar>
#include <QTimer>

MainWindow::MainWindow(UserInterface *ui, QWidget *parent)
    : QMainWindow(parent)
    , m_qtUi(this)
    , m_ui(ui ? ui : &m_qtUi)
    , m_errors(m_settings.errorReporter(*m_ui))
    , m_derived(m_case, m_errors)
    , m_views(new ChildViews(*this, *this, m_settings)) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowIcon(CommandBar::icon("korvalo"));
    m_bar = new CommandBar(*this);
    connect(m_bar, &CommandBar::triggered, this, &MainWindow::run);
    m_files = new CaseFiles(*this, m_case, m_settings, m_errors, *m_ui, *m_bar);
    connect(m_files, &CaseFiles::loaded, m_views, &ChildViews::showLoadedCase);
    connect(m_files, &CaseFiles::failed, this, &MainWindow::report);
    connect(m_views, &ChildViews::caseChosen, m_files, &CaseFiles::load);
    connect(m_views, &ChildViews::failed, this, &MainWindow::report);
    m_gdt = new GdtBridge(*this, *this, *m_files, *m_views);
    m_outside =
        new OutsideCommands(*this, m_settings, m_errors, *m_ui, [this](const QString &address) {
            return browserModuleAvailable() && openBrowser(address);
        });
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
    // Qt sets its own command (program, -session and the id) afresh before each request.
    connect(qApp, &QGuiApplication::saveStateRequest, this, [this](QSessionManager &manager) {
        manager.setRestartCommand(restartCommand(manager.restartCommand()));
    });
}

MainWindow::~MainWindow() = default;

void MainWindow::setLauncher(Launcher *launcher) {
    m_outside->setLauncher(launcher);
}

void MainWindow::setCompanions(Companions *companions) {
    m_outside->setCompanions(companions);
}

QStringList MainWindow::recentFiles() const {
    return m_files->recentFiles();
}

QStringList MainWindow::restartCommand(const QStringList &qtCommand) const {
    if (m_case.filePath().isEmpty())
        return qtCommand;
    return qtCommand + QStringList{m_case.filePath()};
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

    InputView *input = m_views->createInput();
    m_files->setForm(input);
    input->parentWidget()->installEventFilter(this);
    show();
    input->activate();
    input->focusField(DietCase::Field::ownerName);

    m_bar->showCompanions(m_outside->installedCompanions());
    m_gdt->watch();
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
        if (InputView *input = m_views->input())
            input->compute();
        break;
    case Command::InfoSheet:
        m_views->showDocument();
        break;
    case Command::DietPlan:
        m_views->showSheet();
        break;
    case Command::FollowUp:
        m_views->showFollowUp();
        break;
    case Command::ExportDates:
        export_ics(m_case, m_errors);
        break;
    case Command::CaseList:
        m_views->showCaseList();
        break;
    case Command::SendToPractice:
        m_gdt->send();
        break;
    case Command::Settings:
        m_gdt->editSettings();
        break;
    case Command::ChangeLogo:
        changeLogo(*this, m_settings,
                   activeView() && activeView()->kind() == View::Document ? documentView()
                                                                          : nullptr);
        break;
    case Command::ReductionValues:
        m_views->showRecalc(fromToolbar); // the button's dialog waits for its answer
        break;
    case Command::ChartOptions:
        m_views->showOptions(!fromToolbar);
        break;
    case Command::Print:
        m_views->printActive(false);
        break;
    case Command::PrintPreview:
        m_views->printActive(true);
        break;
    case Command::Copy:
        m_views->copyActive();
        break;
    case Command::ClearInputs:
        clearInputs();
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

void MainWindow::openGdtRequest(const QString &path) {
    m_gdt->open(path);
}

void MainWindow::clearInputs() {
    if (!m_files->confirmDiscard())
        return;
    try {
        BusyCursor busy;
        if (InputView *input = m_views->input()) {
            input->clearInputs();
            input->focusField(DietCase::Field::ownerName);
        }
    } catch (const AppError &e) {
        report(e, QStringLiteral("mnuEditDelete_Click"));
    }
}

void MainWindow::report(const AppError &error, const QString &procedure, const QString &info) {
    QString working = info.isEmpty() ? activeViewName() : info;
    if (working.isEmpty())
        working = objectName();
    m_errors.ReportError(error, u"frmMain-" + procedure, working);
}

void MainWindow::exitOrBack() {
    try {
        if (!mdiArea()->activeSubWindow() ||
            (activeView() && activeView()->kind() == View::Input)) {
            const auto answer =
                m_ui->message(str(S::Quit), UserInterface::Icon::Question, str(S::AppTitle),
                              UserInterface::Buttons::YesNo, UserInterface::Answer::No);
            if (answer == UserInterface::Answer::Yes && m_files->confirmDiscard()) {
                m_closeConfirmed = true;
                close();
            }
            return;
        }
        mdiArea()->activeSubWindow()->close();
    } catch (const AppError &e) {
        report(e, QStringLiteral("mnuFileExit_Click"));
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
    if (event->type() == QEvent::Close && inputView() && watched == inputView()->parentWidget()) {
        event->ignore();
        if (isVisible())
            QTimer::singleShot(0, this, [this] { run(Command::ExitOrBack); });
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
