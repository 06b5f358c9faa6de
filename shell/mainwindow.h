// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/derivedfields.h"
#include "core/dietcase.h"
#include "files/appsettings.h"
#include "shell/childviews.h"
#include "shell/commandtable.h"
#include "shell/qtuserinterface.h"
#include "views/viewhost.h"

#include <QMainWindow>

class BrowserView;
class CaseFiles;
class CommandBar;
class GdtBridge;
class Companions;
class Launcher;
class OutsideCommands;
class QLabel;
class QToolButton;

/**
 * The main window: a multiple-document frame with the menu bar, the toolbar and the
 * status bar; it owns the current case and routes every command.
 */
class MainWindow : public QMainWindow, public ViewHost {
    Q_OBJECT

public:
    /** Builds the window; `load` does the rest of the start. */
    explicit MainWindow(UserInterface *ui = nullptr, QWidget *parent = nullptr);
    ~MainWindow() override;

    /** Placement, texts, the input form, companions: everything of the start. */
    void load();

    /** Runs a command; from the toolbar, two show their dialog otherwise than from the menu. */
    void run(Command command, bool fromToolbar = false);
    /** Loads a case file named on the command line, asking first about input not saved yet. */
    void openCaseFile(const QString &path);
    /** Opens the patient of a practice system's request file. */
    void openGdtRequest(const QString &path);
    /** The case files opened or saved last, the newest first; eight at most. */
    QStringList recentFiles() const;
    /**
     * Qt's restart command for the session manager with the case's file added, so that a
     * restored session opens it again; a case never saved has none.
     */
    QStringList restartCommand(const QStringList &qtCommand) const;
    /** A click on a toolbar button: the command of its key, if any. */
    void dispatch(const QString &key);

    // ViewHost
    void set_toolbar(View view) override;
    void setToolTip(ToolKey key, const QString &text) override;
    void setExitCaption(const QString &text) override;
    DietCase &dietCase() override { return m_case; }
    UserInterface &ui() override { return *m_ui; }
    const AppSettings &settings() const override { return m_settings; }
    const ErrorReporter &errors() const override { return m_errors; }

    QAction *action(Command command) const;
    QAction *menuSeparator(const QString &name) const;
    /** The toolbar place of a key (its visibility) and its button, if it has one. */
    QAction *toolbarSlot(const QString &key) const;
    QToolButton *toolbarButton(const QString &key) const;
    QMdiArea *mdiArea() const { return m_views->area(); }
    InputView *inputView() const { return m_views->input(); }
    ChartView *chartView() const { return m_views->chart(); }
    RecalcDialog *recalcDialog() const { return m_views->recalc(); }
    SheetView *sheetView() const { return m_views->sheet(); }
    DocumentView *documentView() const { return m_views->document(); }
    ProgressView *progressView() const { return m_views->progress(); }
    CaseListView *caseListView() const { return m_views->caseList(); }
    /** The name of the active child view, empty when none is. */
    QString activeViewName() const { return m_views->activeViewName(); }
    /** The active child view, which prints and copies itself; null when none is. */
    ChildView *activeView() const { return m_views->activeView(); }

    /** Who opens documents and links, and who finds and starts companions (tests fake them). */
    void setLauncher(Launcher *launcher);
    void setCompanions(Companions *companions);

    /** Opens a further browser window at `address`. */
    BrowserView *openBrowser(const QString &address) { return m_views->openBrowser(address); }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildStatusBar();
    void clearInputs();
    void exitOrBack();
    /** An error of a command, with what it was working on: by default the active view. */
    void report(const AppError &error, const QString &procedure, const QString &info = {});

    AppSettings m_settings;
    QtUserInterface m_qtUi;
    UserInterface *m_ui;
    ErrorReporter m_errors;
    DietCase m_case;
    DerivedFields m_derived;

    ChildViews *m_views;
    CommandBar *m_bar;
    CaseFiles *m_files;
    OutsideCommands *m_outside;
    GdtBridge *m_gdt;
    QLabel *m_date = nullptr;
    QLabel *m_time = nullptr;
    bool m_closeConfirmed = false;
};
