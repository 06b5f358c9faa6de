// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/mainwindow.h"

#include "controls/chartcontrol.h"
#include "controls/logoloader.h"
#include "controls/richtextcontrol.h"
#include "controls/sheetcontrol.h"
#include "core/apperror.h"
#include "core/clock.h"
#include "core/errorreport.h"
#include "core/germantext.h"
#include "core/printtexts.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "files/calendarfile.h"
#include "files/casefile.h"
#include "files/programfolder.h"
#include "output/companions.h"
#include "output/launcher.h"
#include "output/printing.h"
#include "views/aboutdialog.h"
#include "views/browserview.h"
#include "views/busycursor.h"
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
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QSessionManager>
#include <QStatusBar>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <algorithm>
#include <optional>

namespace {

/** Each picture is read once, however many commands show it. */
QIcon icon(const char *name) {
    static QHash<QString, QIcon> icons;
    const QString key = QLatin1StringView(name);
    auto it = icons.find(key);
    if (it == icons.end())
        it = icons.insert(key, QIcon(u":/korvalo/icons/" + key + u".svg"));
    return *it;
}

/** A toolbar button shows a picture only: its tip is also its name for screen readers. */
void setButtonTip(QToolButton *button, const QString &tip) {
    button->setToolTip(tip);
    button->setAccessibleName(tip);
}

} // namespace

MainWindow::MainWindow(UserInterface *ui, QWidget *parent)
    : QMainWindow(parent)
    , m_qtUi(this)
    , m_ui(ui ? ui : &m_qtUi)
    , m_errors(m_settings.errorReporter(*m_ui))
    , m_derived(m_case, m_errors)
    , m_mdi(new QMdiArea(this))
    , m_xdgLauncher(std::make_unique<XdgLauncher>())
    , m_launcher(m_xdgLauncher.get())
    , m_x11Companions(std::make_unique<X11Companions>())
    , m_companions(m_x11Companions.get()) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowIcon(icon("korvalo"));
    m_mdi->setObjectName(QStringLiteral("mdiArea"));
    m_mdi->setBackground(QColor(0xE8, 0xEE, 0xEE));
    setCentralWidget(m_mdi);
    buildMenus();
    buildToolbar();
    buildStatusBar();
    // A session that ends (log out, shut down) closes without "Programm beenden?", but
    // input not saved yet is asked about while the session manager still lets us.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager &manager) {
        if (hasUnsavedInput() && manager.allowsInteraction()) {
            const bool go = confirmDiscard();
            manager.release();
            if (!go) {
                manager.cancel();
                return;
            }
        }
        m_closeConfirmed = true;
    });
    setAcceptDrops(true); // a case file dropped on the window opens
    // Rates set in the reduction values dialog and a ration adjusted in Verlauf are input
    // too; loading and clearing set them as well, but count as saved when they are done.
    connect(&m_case, &DietCase::rationChanged, this, [this] {
        if (m_input)
            m_input->markChanged();
    });
    connect(&m_case, &DietCase::textChanged, this, [this](DietCase::Field field) {
        if (m_input &&
            (field == DietCase::Field::weeklyRateDuring || field == DietCase::Field::weeklyRateEnd))
            m_input->markChanged();
    });
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow *window) {
        if (auto *view = window ? qobject_cast<ChildView *>(window->widget()) : nullptr)
            view->activate();
    });
}

MainWindow::~MainWindow() = default;

void MainWindow::setLauncher(Launcher *launcher) {
    m_launcher = launcher ? launcher : m_xdgLauncher.get();
}

void MainWindow::setCompanions(Companions *companions) {
    m_companions = companions ? companions : m_x11Companions.get();
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

void MainWindow::buildMenus() {
    for (const CommandInfo &info : CommandTable::commands()) {
        auto *action = new QAction(icon(info.icon), str(info.caption), this);
        action->setObjectName(QLatin1StringView(info.menuEntry));
        if (info.shortcut != QKeySequence::UnknownKey)
            action->setShortcut(info.shortcut);
        const Command command = info.command;
        connect(action, &QAction::triggered, this, [this, command] { run(command); });
        // Companion entries appear only for programs found installed.
        action->setVisible(command < Command::Companion1);
        m_actions.insert(command, action);
    }
    for (const MenuInfo &info : CommandTable::menus()) {
        QMenu *menu = menuBar()->addMenu(str(info.caption));
        menu->setObjectName(QLatin1StringView(info.name));
        for (const MenuEntry &entry : info.entries) {
            if (entry.separator) {
                QAction *separator = menu->addSeparator();
                separator->setObjectName(QLatin1StringView(entry.separator));
                m_separators.insert(separator->objectName(), separator);
            } else {
                menu->addAction(m_actions.value(entry.command));
                if (entry.command == Command::SaveCase) {
                    m_recent = menu->addMenu(str(S::RecentFiles));
                    m_recent->setObjectName(QStringLiteral("mnuFileRecent"));
                    m_recent->setToolTipsVisible(true); // the paths
                }
            }
        }
    }
    showRecentFiles();
}

namespace {

constexpr int recentCount = 8;
const QString recentKey = QStringLiteral("Zuletzt%1");

} // namespace

QStringList MainWindow::recentFiles() const {
    QStringList files;
    for (int i = 1; i <= recentCount; ++i) {
        const QString file = m_settings.value(AppSettings::applicationName, recentKey.arg(i), {});
        if (!file.isEmpty())
            files << file;
    }
    return files;
}

void MainWindow::rememberRecent(const QString &path) {
    if (path.isEmpty())
        return;
    QStringList files = recentFiles();
    files.removeAll(path);
    files.prepend(path);
    try {
        for (int i = 1; i <= recentCount; ++i) {
            const QString file = files.value(i - 1);
            if (m_settings.value(AppSettings::applicationName, recentKey.arg(i), {}) != file)
                m_settings.setValue(AppSettings::applicationName, recentKey.arg(i), file);
        }
    } catch (const AppError &e) {
        report(e, QStringLiteral("mnuFileRecent_Click"));
    }
    showRecentFiles();
}

void MainWindow::showRecentFiles() {
    if (!m_recent)
        return;
    m_recent->clear();
    int n = 0;
    for (const QString &file : recentFiles()) {
        // "&1 bello.kvl", the folder in the tip: eight names fit the menu, paths would not.
        QAction *action =
            m_recent->addAction(u'&' + QString::number(++n) + u' ' + QFileInfo(file).fileName());
        action->setToolTip(QDir::toNativeSeparators(file));
        action->setStatusTip(QDir::toNativeSeparators(file));
        connect(action, &QAction::triggered, this, [this, file] { loadCase(file); });
    }
    m_recent->setEnabled(n > 0);
}

void MainWindow::buildToolbar() {
    QToolBar *toolbar = addToolBar(QString());
    toolbar->setObjectName(QStringLiteral("tbToolBar"));
    toolbar->setMovable(false);
    toolbar->setIconSize(QSize(24, 24));
    for (const ToolbarSlot &slot : CommandTable::toolbar()) {
        const QString key = QLatin1StringView(slot.key);
        QAction *place = nullptr;
        switch (slot.kind) {
        case SlotKind::Separator:
            place = toolbar->addSeparator();
            break;
        case SlotKind::Placeholder: {
            auto *gap = new QWidget(toolbar);
            gap->setFixedSize(toolbar->iconSize() + QSize(8, 8));
            place = toolbar->addWidget(gap);
            break;
        }
        case SlotKind::Button: {
            // The button mirrors its command's action, but clicks go through the key:
            // some keys run their command differently from the menu.
            auto *button = new QToolButton(toolbar);
            button->setObjectName(key);
            button->setAutoRaise(true);
            if (slot.command) {
                QAction *action = m_actions.value(*slot.command);
                const auto mirror = [button, action] {
                    button->setIcon(action->icon());
                    button->setEnabled(action->isEnabled());
                };
                mirror();
                connect(action, &QAction::changed, button, mirror);
            }
            setButtonTip(button, slot.toolTip ? str(slot.toolTip) : QString());
            connect(button, &QToolButton::clicked, this, [this, key] { dispatch(key); });
            place = toolbar->addWidget(button);
            m_buttons.insert(key, button);
            break;
        }
        }
        place->setObjectName(key);
        place->setVisible(slot.visibleAtLoad);
        m_slots.insert(key, place);
    }
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
        restorePlacement();
    } catch (const AppError &e) {
        report(e, QStringLiteral("MDIForm_LOad"));
    }
    m_slots.value(QStringLiteral("Help2"))->setVisible(false);
    m_slots.value(QStringLiteral("Plan"))->setVisible(true);
    m_separators.value(QStringLiteral("mnuFileSep"))->setVisible(false);
    setWindowTitle(str(S::Product));

    m_input = new InputView(*this);
    connect(m_input, &InputView::curveComputed, this, &MainWindow::showChart);
    QMdiSubWindow *inputWindow = addView(m_input);
    inputWindow->installEventFilter(this);
    inputWindow->showMaximized();
    show();
    m_input->activate();
    m_input->focusField(DietCase::Field::ownerName);

    detectCompanions();
}

QMdiSubWindow *MainWindow::addView(QWidget *view) {
    QMdiSubWindow *window = m_mdi->addSubWindow(view);
    window->setObjectName(view->objectName());
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowIcon(windowIcon());
    return window;
}

double MainWindow::screenHeightTwips() const {
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen->geometry().height() * 1440.0 / screen->logicalDotsPerInchY();
}

void MainWindow::restorePlacement() {
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double twipsPerPixel = 1440.0 / screen->logicalDotsPerInchY();
    const auto toRect = [&](const AppSettings::Placement &p) {
        return QRect(qRound(p.left / twipsPerPixel), qRound(p.top / twipsPerPixel),
                     qRound(p.width / twipsPerPixel), qRound(p.height / twipsPerPixel));
    };
    const AppSettings::Placement defaults = AppSettings::defaultPlacement(screenHeightTwips());
    QRect rect = toRect(defaults);
    std::optional<AppError> unreadable; // told after the window is placed
    try {
        rect = toRect(m_settings.placement(screenHeightTwips()));
    } catch (const AppError &e) {
        unreadable = e;
    }
    // A placement on a screen that is gone would open the program out of sight.
    if (rect.width() <= 0 || rect.height() <= 0 || !QGuiApplication::screenAt(rect.center()))
        rect = toRect(defaults);
    // The title bar stays where the mouse can take it: inside the screen's free area.
    // A window larger than the screen keeps its size, its corner at the screen's.
    const QRect free = QGuiApplication::screenAt(rect.center())->availableGeometry();
    rect.moveLeft(std::clamp(rect.left(), free.left(),
                             std::max(free.left(), free.right() + 1 - rect.width())));
    rect.moveTop(std::clamp(rect.top(), free.top(),
                            std::max(free.top(), free.bottom() + 1 - rect.height())));
    resize(rect.size());
    move(rect.topLeft());
    if (unreadable)
        throw *unreadable;
}

void MainWindow::storePlacement() {
    if (isMinimized())
        return;
    const double twipsPerPixel = 1440.0 / QGuiApplication::primaryScreen()->logicalDotsPerInchY();
    const QPoint at = pos();
    const QSize size = this->size();
    m_settings.setPlacement({float(at.x() * twipsPerPixel), float(at.y() * twipsPerPixel),
                             float(size.width() * twipsPerPixel),
                             float(size.height() * twipsPerPixel)});
}

void MainWindow::detectCompanions() {
    bool any = false;
    for (int k = 1; k <= 6; ++k) {
        const QString programName = str(19 + 2 * k);
        if (m_settings.companionPath(programName) == AppSettings::notInstalled)
            continue;
        m_slots.value(u"Extra" + QString::number(k))->setVisible(true);
        m_actions.value(static_cast<Command>(int(Command::Companion1) + k - 1))->setVisible(true);
        any = true;
    }
    // An empty menu would open onto nothing: it is shown greyed instead.
    if (auto *extras = menuBar()->findChild<QMenu *>(QStringLiteral("mnuextras")))
        extras->menuAction()->setEnabled(any);
}

void MainWindow::set_toolbar(View view) {
    const auto flags = CommandTable::flags(view);
    const auto keys = CommandTable::flagKeys();
    const auto flagOf = [&](const char *key) {
        const auto it = std::find_if(keys.begin(), keys.end(),
                                     [key](const char *k) { return qstrcmp(k, key) == 0; });
        return flags[it - keys.begin()];
    };
    m_separators.value(QStringLiteral("mnuFileSep"))->setVisible(true);
    for (const auto &menu : CommandTable::flagMenus())
        m_actions.value(menu.command)->setEnabled(flagOf(menu.key));
    m_actions.value(Command::ChangeLogo)->setEnabled(true);
    m_separators.value(QStringLiteral("mnueditsep2"))->setEnabled(true);
    m_actions.value(Command::Help)->setEnabled(true);
    m_actions.value(Command::About)->setEnabled(true);
    for (int i = 0; i < CommandTable::flagCount; ++i)
        m_slots.value(QLatin1StringView(keys[i]))->setVisible(flags[i]);
    m_slots.value(QStringLiteral("Help2"))->setVisible(true); // in every view
}

void MainWindow::setToolTip(const QString &key, const QString &text) {
    if (QToolButton *button = m_buttons.value(key))
        setButtonTip(button, text);
}

void MainWindow::setExitCaption(const QString &text) {
    m_actions.value(Command::ExitOrBack)->setText(text);
}

QString MainWindow::activeViewName() const {
    const QMdiSubWindow *window = m_mdi->activeSubWindow();
    return window && window->widget() ? window->widget()->objectName() : QString();
}

void MainWindow::dispatch(const QString &key) {
    // Two buttons show their dialog differently from their menu entries.
    if (key == u"Recalc") {
        showRecalc(true);
        return;
    }
    if (key == u"Options") {
        showOptions(false);
        return;
    }
    for (const ToolbarSlot &slot : CommandTable::toolbar()) {
        if (key == QLatin1StringView(slot.key)) {
            if (slot.command)
                run(*slot.command);
            return;
        }
    }
}

void MainWindow::run(Command command) {
    switch (command) {
    case Command::LoadCase:
        if (confirmDiscard() && read_txt(m_case, m_errors))
            showLoadedCase();
        break;
    case Command::SaveCase:
        saveCase();
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
                   activeViewName().toUpper() == u"FRMDOCUMENT" ? m_document.data() : nullptr);
        break;
    case Command::ReductionValues:
        showRecalc(false);
        break;
    case Command::ChartOptions:
        showOptions(true);
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
        if (!confirmDiscard())
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
        sendEmail();
        break;
    case Command::Help:
        openHelp();
        break;
    case Command::WebPage:
        openWebPage();
        break;
    case Command::About:
        showAbout();
        break;
    case Command::Companion1:
    case Command::Companion2:
    case Command::Companion3:
    case Command::Companion4:
    case Command::Companion5:
    case Command::Companion6:
        openCompanion(int(command) - int(Command::Companion1) + 1);
        break;
    }
}

void MainWindow::openCaseFile(const QString &path) {
    loadCase(path);
}

void MainWindow::loadCase(const QString &path) {
    if (confirmDiscard() && read_txt(m_case, m_errors, path))
        showLoadedCase();
}

bool MainWindow::saveCase() {
    if (!create_txt(m_case, m_errors))
        return false;
    if (m_input)
        m_input->markSaved();
    rememberRecent(m_case.filePath());
    return true;
}

bool MainWindow::hasUnsavedInput() const {
    return m_input && m_input->hasUnsavedInput();
}

bool MainWindow::confirmDiscard() {
    if (!hasUnsavedInput())
        return true;
    const QString pet = m_case.text(DietCase::Field::petName).trimmed();
    const QString question = pet.isEmpty() ? str(S::SaveChanges) : str(S::SaveChangesTo).arg(pet);
    switch (m_ui->message(question, UserInterface::Icon::Question, str(S::Product),
                          UserInterface::Buttons::YesNoCancel, UserInterface::Answer::Yes)) {
    case UserInterface::Answer::Yes:
        return saveCase(); // a save cancelled or failed keeps the input
    case UserInterface::Answer::No:
        m_input->markSaved(); // given up: not asked again
        return true;
    default:
        return false;
    }
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event) {
    if (!droppedCaseFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event) {
    const QString path = droppedCaseFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // After the drop has ended: the question and the load may show dialogs.
    QTimer::singleShot(0, this, [this, path] { loadCase(path); });
}

QString MainWindow::droppedCaseFile(const QMimeData *data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1 ||
        !data->urls().first().isLocalFile())
        return {};
    const QString path = data->urls().first().toLocalFile();
    return QFileInfo(path).suffix().compare(u"kvl", Qt::CaseInsensitive) == 0 ? path : QString();
}

void MainWindow::sendEmail() {
    // Composed as is: the address and the subject need no encoding.
    const QString link = u"mailto:" + str(S::Contact) + u"?subject=" + str(S::MailSubject);
    try {
        BusyCursor busy;
        open_prog(*m_launcher, *m_ui, link);
    } catch (const AppError &e) {
        report(e, QStringLiteral("mnuEditEmail_Click"), link);
    }
}

void MainWindow::openHelp() {
    QString document;
    try {
        BusyCursor busy;
        document = ProgramFolder::dataFile(QStringLiteral("Anleitung.mht"));
        StartDoc(*m_launcher, document, [this, document](int result) {
            try {
                // Desktops without a viewer for web archives still get their help.
                if (result == Launcher::noAssociation && QFileInfo::exists(document))
                    openBrowser(QUrl::fromLocalFile(document).toString());
                else
                    showLauncherError(*m_ui, result);
            } catch (const AppError &e) {
                report(e, QStringLiteral("mnuHelpHelp_Click"), document);
            }
        });
    } catch (const AppError &e) {
        report(e, QStringLiteral("mnuHelpHelp_Click"), document);
    }
}

void MainWindow::openWebPage() {
    QString address;
    try {
        BusyCursor busy;
        address = m_settings.value(AppSettings::WebPage);
        if (address.size() < 5) {
            address = str(S::HomePage);
            m_settings.setValue(AppSettings::WebPage, address);
        }
        openBrowser(address);
    } catch (const AppError &e) {
        report(e, QStringLiteral("mnuEditInet_Click"), address);
    }
}

BrowserView *MainWindow::openBrowser(const QString &address) {
    // Every call makes a further window with its own history.
    auto *browser = new BrowserView(*this, address);
    addView(browser)->showMaximized();
    m_mdi->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(browser->parentWidget()));
    return browser;
}

void MainWindow::openCompanion(int k) {
    BusyCursor busy;
    // Reports its own errors.
    open_extra(str(20 + 2 * (k - 1)), str(21 + 2 * (k - 1)), m_errors, m_settings, *m_companions);
}

void MainWindow::showAbout() {
    try {
        AboutDialog about(m_errors, this);
        about.exec();
    } catch (const AppError &e) {
        report(e, QStringLiteral("mnuHelpAbout_Click"));
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
        if (activeViewName() == u"frminput" || !m_mdi->activeSubWindow()) {
            const auto answer =
                m_ui->message(str(S::Quit), UserInterface::Icon::Question, str(S::AppTitle),
                              UserInterface::Buttons::YesNo, UserInterface::Answer::No);
            if (answer == UserInterface::Answer::Yes && confirmDiscard()) {
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
        connect(m_cases, &CaseListView::caseChosen, this, &MainWindow::loadChosenCase);
}

void MainWindow::loadChosenCase(const QString &path) {
    loadCase(path);
}

void MainWindow::showLoadedCase() {
    rememberRecent(m_case.filePath());
    if (!m_input)
        return;
    m_input->markSaved();
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
    const QString name = activeViewName().toUpper();
    if (name != u"FRMSHEET" && name != u"FRMCHART" && name != u"FRMDOCUMENT" &&
        name != u"FRMVERLAUF")
        return; // the input form and the browser print nothing

    // One drawing for the printer and the preview: what the preview shows is what prints.
    const auto print = [this, name](QPrinter &printer, int copies, int orientation) {
        if (name == u"FRMCHART" && m_chart) {
            BusyCursor busy;
            const QImage userLogo = LogoLoader::LoadPic(LogoLoader::defaultLogoName, m_settings);
            if (userLogo.isNull()) // gone since it was chosen: say so, print without it
                m_ui->message(str(S::NoLogo) + u' ' + str(S::Reinstall),
                              UserInterface::Icon::Exclamation, str(S::NoLogoTitle));
            try {
                print_KHPE_chart(*m_chart->chart(), printer, userLogo,
                                 LogoLoader::LoadPic(LogoLoader::smallLogoName, m_settings));
            } catch (const AppError &e) {
                m_errors.ReportError(e, QStringLiteral("printmod - print_KHPE_chart"));
            }
        } else if (name == u"FRMSHEET" && m_sheet) {
            try {
                print_sheet(*m_sheet->sheet(), printer, planSheetHeader(m_case),
                            planSheetFooter(Clock::today()), copies, orientation);
            } catch (const AppError &e) {
                m_errors.ReportError(e, QStringLiteral("printmod - print_sheet"));
            }
        } else if (name == u"FRMVERLAUF" && m_progress) {
            QTextDocument page;
            page.setDefaultFont(QFont(QStringLiteral("Arial"), 10));
            // The practice's logo as on the owner's other pages; without one the page goes on.
            const QImage logo = LogoLoader::LoadPic(LogoLoader::defaultLogoName, m_settings);
            if (!logo.isNull()) {
                page.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("logo")),
                                 logo.scaled(QSize(150, 150).boundedTo(logo.size()),
                                             Qt::KeepAspectRatio, Qt::SmoothTransformation));
            }
            page.setHtml(m_progress->html(logo.isNull() ? QString() : QStringLiteral("logo")));
            try {
                // 1.5 cm margins: room for eight columns on A4 portrait.
                printRichText(page, printer, 850, 850, 850, 850, copies, orientation);
            } catch (const AppError &e) {
                m_errors.ReportError(e, QStringLiteral("printmod - printRichText"));
            }
        } else if (name == u"FRMDOCUMENT" && m_document) {
            try {
                printRichText(*m_document->textControl()->document(), printer, 1440, 1440, 1440,
                              1440, copies, orientation);
            } catch (const AppError &e) {
                m_ui->message(QString::number(e.number()) + u"  -  " + e.description(),
                              UserInterface::Icon::Critical, str(S::AppTitle));
            }
        }
    };

    if (preview) {
        QPrintPreviewDialog dialog(this);
        dialog.printer()->setPageSize(QPageSize(QPageSize::A4)); // the paper offered first
        connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [&](QPrinter *printer) {
            const bool landscape = printer->pageLayout().orientation() == QPageLayout::Landscape;
            print(*printer, printer->copyCount(), landscape ? 2 : 1);
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
    print(*printer, request->copies, request->orientation);
}

void MainWindow::copyActive() {
    // Copying never complains: what cannot be copied is left alone.
    const QString name = activeViewName();
    if (name == u"frmchart" && m_chart) {
        QGuiApplication::clipboard()->setImage(m_chart->chart()->picture());
    } else if (name == u"frmDocument" && m_document) {
        RichTextControl *text = m_document->textControl();
        auto *data = new QMimeData;
        const QByteArray rtf = text->rtfOfRange(0, 10000);
        data->setData(QStringLiteral("Rich Text Format"), rtf);
        data->setData(QStringLiteral("text/rtf"), rtf);
        QGuiApplication::clipboard()->setMimeData(data);
        QTextCursor start = text->textCursor();
        start.setPosition(0);
        text->setTextCursor(start); // the caret at the start, nothing selected
    } else if (name == u"frmVerlauf" && m_progress) {
        auto *data = new QMimeData;
        data->setText(m_progress->tabText());
        data->setHtml(m_progress->html());
        QGuiApplication::clipboard()->setMimeData(data);
    } else if (name == u"frmSheet" && m_sheet) {
        SheetControl *sheet = m_sheet->sheet();
        sheet->selectRange(1, 1, 36, 4);
        sheet->copySelection();
        sheet->selectRange(1, 1, 1, 1);
    }
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
        if (answer != UserInterface::Answer::Yes || !confirmDiscard()) {
            event->ignore();
            return;
        }
    }
    m_closeConfirmed = false;
    try {
        storePlacement();
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
