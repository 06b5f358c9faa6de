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
class QToolButton;
class CaseListModel;

/**
 * The recall list: the cases of the case folder and of further folders (kept in the
 * settings), by the date the next weighing is due or by any column, filtered by owner and
 * pet as the user types. Choosing a row asks the host to load that case. Unchanged files
 * are taken from the index of the last scan.
 */
class CaseListView : public ChildView {
    Q_OBJECT

public:
    explicit CaseListView(ViewHost &host, QWidget *parent = nullptr);
    ~CaseListView() override;

    /** Reads the folders again, off the user-interface thread. */
    void rescan();
    /** Asks for one more folder and keeps it in the settings. */
    void addFolder();
    /** Forgets a further folder. */
    void removeFolder(const QString &folder);
    /** The case folder, then the further folders. */
    QStringList folders() const;
    QStringList extraFolders() const { return m_extraFolders; }

    QTableView *table() const { return m_table; }
    QLineEdit *searchBox() const { return m_search; }
    /** "abgeschlossene anzeigen": cases at their target are hidden unless it is on. */
    QCheckBox *showClosedBox() const { return m_showClosed; }
    QLabel *statusLine() const { return m_status; }
    /** Folders that could not be read and the link to the skipped files. */
    QLabel *problemLine() const { return m_problems; }
    /** Lists the skipped files with their reasons. */
    void showSkipped();
    QPushButton *cancelButton() const { return m_cancel; }
    bool isScanning() const { return m_scanning; }

signals:
    /** A case was chosen by double-click or Enter. */
    void caseChosen(const QString &path);
    /** A scan ended, finished or cancelled. */
    void scanEnded();

private:
    void showList(const CaseList &list);
    void scanStopped();
    void choose(const QModelIndex &index);
    void chooseFromSearch();
    void showCount();
    void saveFolders();
    void updateRemoveMenu();

    CaseScanner *m_scanner;
    QStringList m_extraFolders;
    QString m_indexPath;
    CaseList m_list; ///< of the last scan, for the count and the skipped files
    CaseListModel *m_model;
    QSortFilterProxyModel *m_filter;
    QLineEdit *m_search;
    QCheckBox *m_showClosed;
    QPushButton *m_addFolder;
    QToolButton *m_removeFolder;
    QLabel *m_folders;
    QTableView *m_table;
    QProgressBar *m_progress;
    QPushButton *m_cancel;
    QLabel *m_status;
    QLabel *m_problems;
    bool m_scanning = false;
};
