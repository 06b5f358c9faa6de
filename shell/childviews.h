// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/apperror.h"

#include <QObject>
#include <QPointer>

class AppSettings;
class BrowserView;
class CaseListView;
class ChartView;
class ChildView;
class DocumentView;
class InputView;
class ProgressView;
class QMainWindow;
class QMdiArea;
class QMdiSubWindow;
class RecalcDialog;
class SheetView;
class ViewHost;
struct ChartSetup;

/**
 * The main window's MDI area and what the commands show in it: one view of each kind,
 * created on first use and brought forward after, browser windows as many as asked for, and
 * the reduction values and chart options dialogs beside them. The active view prints and
 * copies itself.
 */
class ChildViews : public QObject {
    Q_OBJECT

public:
    /** Makes the MDI area the window's central widget. */
    ChildViews(QMainWindow &window, ViewHost &host, AppSettings &settings);

    QMdiArea *area() const { return m_mdi; }
    InputView *input() const;
    ChartView *chart() const;
    RecalcDialog *recalc() const;
    SheetView *sheet() const;
    DocumentView *document() const;
    ProgressView *progress() const;
    CaseListView *caseList() const;
    /** The name of the active child view, empty when none is. */
    QString activeViewName() const;
    /** The active child view, which prints and copies itself; null when none is. */
    ChildView *activeView() const;

    /** The input form, maximised; the start creates it. */
    InputView *createInput();
    /** Brings the input form forward with the focus on today's weight. */
    void showLoadedCase();
    /** Brings the input form forward with the focus on the species, for a new patient. */
    void showNewCase();
    void showDocument();
    void showSheet();
    /** Applies a new computation to the chart view, creating it if needed, and shows it. */
    void showChart(const ChartSetup &setup);
    void showFollowUp();
    void showCaseList();
    /** Opens a further browser window at `address`. */
    BrowserView *openBrowser(const QString &address);
    void showRecalc(bool modal);
    void showOptions(bool busy);
    void printActive(bool preview);
    void copyActive();

signals:
    /** A case chosen in the recall list. */
    void caseChosen(const QString &path);
    void failed(const AppError &error, const QString &procedure, const QString &info);

private:
    QMdiSubWindow *addView(QWidget *view);
    template <typename ViewType> void showView(QPointer<ViewType> &view, const QString &procedure);
    void bringForward(QWidget *view);
    void refreshChart(const ChartSetup &setup);

    QMainWindow &m_window;
    ViewHost &m_host;
    AppSettings &m_settings;
    QMdiArea *m_mdi;
    QPointer<InputView> m_input;
    QPointer<ChartView> m_chart;
    QPointer<SheetView> m_sheet;
    QPointer<DocumentView> m_document;
    QPointer<ProgressView> m_progress;
    QPointer<CaseListView> m_cases;
    QPointer<RecalcDialog> m_recalc;
};
