// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/caselistview.h"

#include "core/clinical.h"
#include "core/clock.h"
#include "core/germantext.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "core/userinterface.h"
#include "files/appsettings.h"
#include "files/caseindex.h"
#include "files/programfolder.h"
#include "views/accessibility.h"
#include "views/viewhost.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// What the front desk looks for first comes first.
// The last weighing is one column, date and weight: all fit a window of 800 pixels.
enum Column { Due, Status, Pet, Owner, Patient, Species, LastWeighing, Folder, ColumnCount };

// The key a column sorts by: dates as dates, rows without one last.
constexpr int SortRole = Qt::UserRole;

} // namespace

/** The scanned cases as table rows; overdue due dates in bold red. */
class CaseListModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setCases(QList<CaseSummary> cases) {
        beginResetModel();
        m_cases = std::move(cases);
        m_today = Clock::today();
        endResetModel();
    }
    const CaseSummary &at(int row) const { return m_cases[row]; }

    int rowCount(const QModelIndex &parent = {}) const override {
        return parent.isValid() ? 0 : int(m_cases.size());
    }
    int columnCount(const QModelIndex &parent = {}) const override {
        return parent.isValid() ? 0 : ColumnCount;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        static constexpr std::array<int, ColumnCount> titles{
            S::DueColumn,     S::StatusColumn,  S::PetColumn,    S::OwnerColumn,
            S::PatientColumn, S::SpeciesColumn, S::LastWeighing, S::FolderColumn};
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return str(titles[section]);
        return QAbstractTableModel::headerData(section, orientation, role);
    }

    QVariant data(const QModelIndex &index, int role) const override {
        const CaseSummary &c = m_cases[index.row()];
        switch (role) {
        case Qt::DisplayRole:
            return text(c, index.column());
        case SortRole:
            return sortKey(c, index.column());
        case Qt::ToolTipRole:
            return QDir::toNativeSeparators(c.file);
        case Qt::FontRole:
            if (index.column() == Due && c.isOverdue(m_today)) {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
            break;
        case Qt::ForegroundRole:
            if (index.column() == Due && c.isOverdue(m_today))
                return QColor(0xB0, 0x1E, 0x1E);
            break;
        default:
            break;
        }
        return {};
    }

private:
    static QString text(const CaseSummary &c, int column) {
        switch (column) {
        case Owner:
            return c.owner;
        case Pet:
            return c.pet;
        case Patient:
            return c.patientNumber;
        case Species:
            return c.species;
        case LastWeighing:
            if (!c.lastDate.isValid() || !c.lastWeight)
                return {};
            return GermanText::fromDate(c.lastDate) + u", " +
                   Clinical::weightText(*c.lastWeight, Clinical::animalOf(c.species));
        case Status:
            return c.status ? Progress::statusText(*c.status) : QString();
        case Due:
            return c.due.isValid() ? GermanText::fromDate(c.due) : QString();
        case Folder:
            return QDir::toNativeSeparators(c.folder);
        default:
            return {};
        }
    }

    static QVariant sortKey(const CaseSummary &c, int column) {
        // Whichever way a date column is sorted, rows without a date stay together at
        // one end instead of being scattered among them.
        const auto date = [](QDate d) { return d.isValid() ? d.toJulianDay() : qint64(1) << 40; };
        switch (column) {
        case Due:
            return date(c.due);
        case LastWeighing:
            return date(c.lastDate);
        default:
            return text(c, column);
        }
    }

    QList<CaseSummary> m_cases;
    QDate m_today;
};

namespace {

/** Keeps the rows whose owner, pet or patient number contains the search text. */
class OwnerPetFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setSearch(const QString &text) {
        m_search = text.trimmed();
        invalidateRowsFilter();
    }
    void setShowClosed(bool show) {
        m_showClosed = show;
        invalidateRowsFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex &) const override {
        const CaseSummary &c = static_cast<const CaseListModel *>(sourceModel())->at(row);
        if (c.isClosed() && !m_showClosed)
            return false;
        if (m_search.isEmpty())
            return true;
        return c.owner.contains(m_search, Qt::CaseInsensitive) ||
               c.pet.contains(m_search, Qt::CaseInsensitive) ||
               c.patientNumber.contains(m_search, Qt::CaseInsensitive);
    }

private:
    QString m_search;
    bool m_showClosed = false; // a diet that reached its target needs no recall
};

} // namespace

/** Paths are told apart by their ends: the folder column is cut at the start. */
class FolderDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->textElideMode = Qt::ElideLeft;
    }
};

CaseListView::CaseListView(ViewHost &host, QWidget *parent)
    : ChildView(host, "frmFaelle", str(S::CaseListCaption),
                {View::CaseList, {{ToolKey::Back, S::Back}}, S::Back}, parent)
    , m_scanner(new CaseScanner(this))
    , m_indexPath(CaseIndex::defaultPath())
    , m_model(new CaseListModel(this))
    , m_filter(new OwnerPetFilter(this))
    , m_search(new QLineEdit(this))
    , m_showClosed(new QCheckBox(str(S::ShowClosed), this))
    , m_addFolder(new QPushButton(str(S::AddFolder), this))
    , m_removeFolder(new QToolButton(this))
    , m_folders(new QLabel(this))
    , m_table(new QTableView(this))
    , m_progress(new QProgressBar(this))
    , m_cancel(new QPushButton(str(S::CancelScan), this))
    , m_status(new QLabel(this))
    , m_problems(new QLabel(this)) {
    m_search->setObjectName(QStringLiteral("txtSuche"));
    m_search->setClearButtonEnabled(true);
    m_showClosed->setObjectName(QStringLiteral("chkAbgeschlossen"));
    m_addFolder->setObjectName(QStringLiteral("cmdOrdner"));
    m_removeFolder->setObjectName(QStringLiteral("cmdOrdnerEntfernen"));
    m_removeFolder->setText(str(S::RemoveFolder));
    m_removeFolder->setPopupMode(QToolButton::InstantPopup);
    m_removeFolder->setMenu(new QMenu(m_removeFolder));
    m_folders->setObjectName(QStringLiteral("lblOrdner"));
    m_folders->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_folders->setWordWrap(true);
    m_table->setObjectName(QStringLiteral("tblFaelle"));
    m_progress->setObjectName(QStringLiteral("pbEinlesen"));
    m_cancel->setObjectName(QStringLiteral("cmdAbbrechen"));
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_problems->setObjectName(QStringLiteral("lblProbleme"));
    m_problems->setWordWrap(true);
    m_problems->setTextFormat(Qt::RichText);
    m_problems->setTextInteractionFlags(Qt::TextBrowserInteraction);
    m_problems->hide();

    m_filter->setSourceModel(m_model);
    m_filter->setSortRole(SortRole);
    m_filter->setSortLocaleAware(true);
    m_table->setModel(m_filter);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setTabKeyNavigation(false); // arrows move within, Tab moves on
    m_table->setAlternatingRowColors(true);
    m_table->setWordWrap(false);
    m_table->setTextElideMode(Qt::ElideRight);
    m_table->setItemDelegateForColumn(Folder, new FolderDelegate(m_table));
    m_table->verticalHeader()->setVisible(false);
    // Dates, the status and the figures always whole; names and folders share the rest
    // of the width and are cut with "…" when it is short.
    QHeaderView *header = m_table->horizontalHeader();
    for (int col = 0; col < ColumnCount; ++col) {
        const bool shares = col == Pet || col == Owner || col == Folder;
        header->setSectionResizeMode(col,
                                     shares ? QHeaderView::Stretch : QHeaderView::ResizeToContents);
    }
    header->setMinimumSectionSize(40);
    header->setSortIndicatorShown(true);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(Due, Qt::AscendingOrder);

    auto *searchLabel = new QLabel(str(S::SearchCases), this);
    Accessibility::nameField(searchLabel, m_search);
    m_table->setAccessibleName(str(S::CaseListCaption));
    auto *top = new QHBoxLayout;
    top->addWidget(searchLabel);
    top->addWidget(m_search, 1);
    top->addSpacing(12);
    top->addWidget(m_showClosed);
    // The folder buttons stand by the folders: beside the search they left it too narrow for
    // a surname at 800 pixels.
    auto *folders = new QHBoxLayout;
    folders->addWidget(m_folders, 1);
    folders->addWidget(m_addFolder);
    folders->addWidget(m_removeFolder);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_status, 1);
    bottom->addWidget(m_progress);
    bottom->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addLayout(top);
    layout->addLayout(folders);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_problems);
    layout->addLayout(bottom);
    Accessibility::setReadingOrder(
        {m_search, m_showClosed, m_addFolder, m_removeFolder, m_table, m_problems, m_cancel});

    connect(m_search, &QLineEdit::textChanged, this, [this](const QString &text) {
        static_cast<OwnerPetFilter *>(m_filter)->setSearch(text);
        showCount();
    });
    connect(m_showClosed, &QCheckBox::toggled, this, [this](bool show) {
        static_cast<OwnerPetFilter *>(m_filter)->setShowClosed(show);
        showCount();
    });
    connect(m_search, &QLineEdit::returnPressed, this, &CaseListView::chooseFromSearch);
    // Enter on a row and a double-click both come as activated.
    connect(m_table, &QAbstractItemView::activated, this, &CaseListView::choose);
    connect(m_addFolder, &QPushButton::clicked, this, &CaseListView::addFolder);
    connect(m_problems, &QLabel::linkActivated, this, &CaseListView::showSkipped);
    connect(m_cancel, &QPushButton::clicked, m_scanner, &CaseScanner::cancel);
    connect(m_scanner, &CaseScanner::progress, this, [this](int done, int total) {
        m_progress->setMaximum(total);
        m_progress->setValue(done);
    });
    connect(m_scanner, &CaseScanner::finished, this, &CaseListView::showList);
    connect(m_scanner, &CaseScanner::cancelled, this, &CaseListView::showList);

    m_extraFolders = AppSettings().extraCaseFolders();
    updateRemoveMenu();
    rescan();
}

CaseListView::~CaseListView() = default;

QStringList CaseListView::folders() const {
    return AppSettings::caseFolders(m_extraFolders);
}

void CaseListView::rescan() {
    QStringList shown;
    for (const QString &folder : folders())
        shown << QDir::toNativeSeparators(folder);
    m_folders->setText(str(S::Folders).arg(shown.join(QStringLiteral("; "))));
    m_status->setText(str(S::Scanning));
    m_progress->setRange(0, 0); // busy until the first count arrives
    m_progress->show();
    m_cancel->show();
    m_scanning = true;
    // The program's own folder is made at the first save: until then it holds no case.
    QStringList scanned = folders();
    if (!QFileInfo::exists(scanned.first()))
        scanned.removeFirst();
    m_scanner->start(scanned, m_indexPath);
}

void CaseListView::addFolder() {
    const QString start =
        m_extraFolders.isEmpty() ? ProgramFolder::reportsFolder() : m_extraFolders.last();
    const auto folder = m_host.ui().folderName(start);
    if (!folder)
        return;
    if (!folders().contains(*folder)) {
        m_extraFolders << *folder;
        saveFolders();
    }
    rescan();
}

void CaseListView::removeFolder(const QString &folder) {
    if (!m_extraFolders.removeAll(folder))
        return;
    saveFolders();
    rescan();
}

void CaseListView::saveFolders() {
    AppSettings().setExtraCaseFolders(m_extraFolders);
    updateRemoveMenu();
}

void CaseListView::updateRemoveMenu() {
    QMenu *menu = m_removeFolder->menu();
    menu->clear();
    for (const QString &folder : m_extraFolders) {
        menu->addAction(QDir::toNativeSeparators(folder), this,
                        [this, folder] { removeFolder(folder); });
    }
    m_removeFolder->setEnabled(!m_extraFolders.isEmpty());
}

void CaseListView::showList(const CaseList &list) {
    m_list = list;
    m_model->setCases(list.cases);
    QStringList problems;
    for (const QString &error : list.folderErrors)
        problems << error.toHtmlEscaped();
    if (!list.skipped.isEmpty())
        problems << u"<a href=\"skipped\">"_s +
                        CaseScanner::skippedText(int(list.skipped.size())).toHtmlEscaped() +
                        u"</a>"_s;
    m_problems->setText(problems.join(u"<br>"_s));
    m_problems->setVisible(!problems.isEmpty());
    scanStopped();
}

void CaseListView::showCount() {
    if (m_scanning)
        return;
    // Of the cases the list would show unfiltered: closed ones count only when shown.
    const int shown = m_filter->rowCount();
    const bool closedToo = m_showClosed->isChecked();
    const int all =
        int(std::count_if(m_list.cases.begin(), m_list.cases.end(),
                          [&](const CaseSummary &c) { return closedToo || !c.isClosed(); }));
    QString status = shown == all ? (all == 1 ? str(S::OneCase) : str(S::Cases).arg(all))
                     : all == 1   ? str(S::CasesFilteredOfOne).arg(shown)
                                  : str(S::CasesFiltered).arg(shown).arg(all);
    if (!m_list.complete)
        status =
            str(S::ScanCancelledPartial).arg(m_list.done).arg(m_list.total) + u"  ·  " + status;
    m_status->setText(status);
}

void CaseListView::scanStopped() {
    m_progress->hide();
    m_cancel->hide();
    m_scanning = false;
    showCount();
    emit scanEnded();
}

void CaseListView::showSkipped() {
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("frmUebersprungen"));
    dialog.setWindowTitle(str(S::SkippedFilesTitle));
    auto *text = new QPlainTextEdit(&dialog);
    text->setObjectName(QStringLiteral("txtUebersprungen"));
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    QStringList lines;
    for (const SkippedFile &f : m_list.skipped)
        lines << QDir::toNativeSeparators(f.file) + u": " + f.reason;
    text->setPlainText(lines.join(u'\n'));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(text);
    layout->addWidget(buttons);
    dialog.resize(640, 320);
    m_host.ui().restoreCursors();
    dialog.exec();
}

void CaseListView::choose(const QModelIndex &index) {
    if (!index.isValid())
        return;
    emit caseChosen(m_model->at(m_filter->mapToSource(index).row()).file);
}

// Enter in the search box loads the row chosen in the list, or the only one found; with
// several found and none chosen it goes to the first for the user to confirm.
void CaseListView::chooseFromSearch() {
    const QModelIndexList selected = m_table->selectionModel()->selectedRows();
    if (!selected.isEmpty()) {
        choose(selected.first());
    } else if (m_filter->rowCount() == 1) {
        choose(m_filter->index(0, 0));
    } else if (m_filter->rowCount() > 1) {
        m_table->setFocus();
        m_table->selectRow(0);
    }
}
