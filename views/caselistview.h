// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "files/casescanner.h"
#include "views/childview.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QModelIndex;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class CaseListModel;

/**
 * The recall list: the cases of the case folder and of one further folder, by the date
 * the next weighing is due, filtered by owner and pet as the user types. Choosing a row
 * asks the host to load that case.
 */
class CaseListView : public ChildView {
    Q_OBJECT

public:
    explicit CaseListView(ViewHost &host, QWidget *parent = nullptr);
    ~CaseListView() override;

    /** Reads the folders again, off the user-interface thread. */
    void rescan();
    /** Asks for one further folder; it replaces the one asked for before. */
    void addFolder();
    QStringList folders() const;

    QTableView *table() const { return m_table; }
    QLineEdit *searchBox() const { return m_search; }
    /** "abgeschlossene anzeigen": cases at their target are hidden unless it is on. */
    QCheckBox *showClosedBox() const { return m_showClosed; }
    QLabel *statusLine() const { return m_status; }
    QPushButton *cancelButton() const { return m_cancel; }
    bool isScanning() const { return m_scanning; }

signals:
    /** A case was chosen by double-click or Enter. */
    void caseChosen(const QString &path);
    /** A scan ended, finished or cancelled. */
    void scanEnded();

private:
    void showList(const CaseList &list);
    void scanStopped(const QString &status);
    void choose(const QModelIndex &index);

    CaseScanner *m_scanner;
    QString m_extraFolder;
    CaseListModel *m_model;
    QSortFilterProxyModel *m_filter;
    QLineEdit *m_search;
    QCheckBox *m_showClosed;
    QPushButton *m_addFolder;
    QLabel *m_folders;
    QTableView *m_table;
    QProgressBar *m_progress;
    QPushButton *m_cancel;
    QLabel *m_status;
    bool m_scanning = false;
};
