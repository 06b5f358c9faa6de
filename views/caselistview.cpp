// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/caselistview.h"

#include "core/clock.h"
#include "core/germantext.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "core/userinterface.h"
#include "files/programfolder.h"
#include "views/accessibility.h"
#include "views/viewhost.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QDir>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

enum Column { Owner, Pet, Species, LastDate, LastWeight, Target, Status, Due, ColumnCount };

QString kgText(const QString &asWritten) {
    const auto value = GermanText::toNumber(asWritten);
    return value ? GermanText::fromNumber(*value, 2) : asWritten;
}

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
            S::OwnerColumn,  S::PetColumn,    S::SpeciesColumn, S::LastWeighing,
            S::WeightColumn, S::TargetColumn, S::StatusColumn,  S::DueColumn};
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return str(titles[section]);
        return QAbstractTableModel::headerData(section, orientation, role);
    }

    QVariant data(const QModelIndex &index, int role) const override {
        const CaseSummary &c = m_cases[index.row()];
        switch (role) {
        case Qt::DisplayRole:
            return text(c, index.column());
        case Qt::ToolTipRole:
            return QDir::toNativeSeparators(c.file);
        case Qt::TextAlignmentRole: {
            const bool number = index.column() == LastWeight || index.column() == Target;
            return int(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
        }
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
        case Species:
            return c.species;
        case LastDate:
            return c.lastDate.isValid() ? GermanText::fromDate(c.lastDate) : QString();
        case LastWeight:
            return c.lastWeight ? GermanText::fromNumber(*c.lastWeight, 2) : QString();
        case Target:
            return kgText(c.targetWeight);
        case Status:
            return c.status ? Progress::statusText(*c.status) : QString();
        case Due:
            return c.due.isValid() ? GermanText::fromDate(c.due) : QString();
        default:
            return {};
        }
    }

    QList<CaseSummary> m_cases;
    QDate m_today;
};

namespace {

/** Keeps the rows whose owner or pet contains the search text. */
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
               c.pet.contains(m_search, Qt::CaseInsensitive);
    }

private:
    QString m_search;
    bool m_showClosed = false; // a diet that reached its target needs no recall
};

} // namespace

CaseListView::CaseListView(ViewHost &host, QWidget *parent)
    : ChildView(host, "frmFaelle", str(S::CaseListCaption),
                {View::CaseList, {{"Back", S::Back}}, S::Back}, parent)
    , m_scanner(new CaseScanner(this))
    , m_model(new CaseListModel(this))
    , m_filter(new OwnerPetFilter(this))
    , m_search(new QLineEdit(this))
    , m_showClosed(new QCheckBox(str(S::ShowClosed), this))
    , m_addFolder(new QPushButton(str(S::AddFolder), this))
    , m_folders(new QLabel(this))
    , m_table(new QTableView(this))
    , m_progress(new QProgressBar(this))
    , m_cancel(new QPushButton(str(S::CancelScan), this))
    , m_status(new QLabel(this)) {
    m_search->setObjectName(QStringLiteral("txtSuche"));
    m_search->setClearButtonEnabled(true);
    m_showClosed->setObjectName(QStringLiteral("chkAbgeschlossen"));
    m_addFolder->setObjectName(QStringLiteral("cmdOrdner"));
    m_folders->setObjectName(QStringLiteral("lblOrdner"));
    m_folders->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_table->setObjectName(QStringLiteral("tblFaelle"));
    m_progress->setObjectName(QStringLiteral("pbEinlesen"));
    m_cancel->setObjectName(QStringLiteral("cmdAbbrechen"));
    m_status->setObjectName(QStringLiteral("lblStatus"));

    m_filter->setSourceModel(m_model);
    m_table->setModel(m_filter);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setTabKeyNavigation(false); // arrows move within, Tab moves on
    m_table->setAlternatingRowColors(true);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->setVisible(false);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_table->horizontalHeader()->setStretchLastSection(true);

    auto *searchLabel = new QLabel(str(S::SearchCases), this);
    Accessibility::nameField(searchLabel, m_search);
    m_table->setAccessibleName(str(S::CaseListCaption));
    auto *top = new QHBoxLayout;
    top->addWidget(searchLabel);
    top->addWidget(m_search, 1);
    top->addSpacing(12);
    top->addWidget(m_showClosed);
    top->addSpacing(12);
    top->addWidget(m_addFolder);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_status, 1);
    bottom->addWidget(m_progress);
    bottom->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addLayout(top);
    layout->addWidget(m_folders);
    layout->addWidget(m_table, 1);
    layout->addLayout(bottom);
    Accessibility::setReadingOrder({m_search, m_showClosed, m_addFolder, m_table, m_cancel});

    connect(m_search, &QLineEdit::textChanged, this, [this](const QString &text) {
        static_cast<OwnerPetFilter *>(m_filter)->setSearch(text);
    });
    connect(m_showClosed, &QCheckBox::toggled, this,
            [this](bool show) { static_cast<OwnerPetFilter *>(m_filter)->setShowClosed(show); });
    // Enter in the search box takes the row in hand, else the first one found.
    connect(m_search, &QLineEdit::returnPressed, this, [this] {
        const QModelIndex current = m_table->currentIndex();
        choose(current.isValid() ? current : m_filter->index(0, 0));
    });
    connect(m_table, &QAbstractItemView::activated, this, &CaseListView::choose);
    connect(m_addFolder, &QPushButton::clicked, this, &CaseListView::addFolder);
    connect(m_cancel, &QPushButton::clicked, m_scanner, &CaseScanner::cancel);
    connect(m_scanner, &CaseScanner::progress, this, [this](int done, int total) {
        m_progress->setMaximum(total);
        m_progress->setValue(done);
    });
    connect(m_scanner, &CaseScanner::finished, this, &CaseListView::showList);
    connect(m_scanner, &CaseScanner::cancelled, this, [this] { scanStopped(str(S::Cancelled)); });

    rescan();
}

CaseListView::~CaseListView() = default;

QStringList CaseListView::folders() const {
    QStringList out{ProgramFolder::reportsFolder()};
    if (!m_extraFolder.isEmpty() && QDir(m_extraFolder) != QDir(out.first()))
        out << m_extraFolder;
    return out;
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
    m_scanner->start(folders());
}

void CaseListView::addFolder() {
    const QString start = m_extraFolder.isEmpty() ? ProgramFolder::reportsFolder() : m_extraFolder;
    if (const auto folder = m_host.ui().folderName(start)) {
        m_extraFolder = *folder;
        rescan();
    }
}

void CaseListView::showList(const CaseList &list) {
    m_model->setCases(list.cases);
    m_table->resizeColumnsToContents();
    for (int col = 0; col + 1 < ColumnCount; ++col) // air between the columns
        m_table->setColumnWidth(col, m_table->columnWidth(col) + 16);
    const int count = int(list.cases.size());
    QString status = count == 1 ? str(S::OneCase) : str(S::Cases).arg(count);
    if (list.skipped > 0)
        status += u"  ·  " + CaseScanner::skippedText(list.skipped);
    scanStopped(status);
}

void CaseListView::scanStopped(const QString &status) {
    m_status->setText(status);
    m_progress->hide();
    m_cancel->hide();
    m_scanning = false;
    emit scanEnded();
}

void CaseListView::choose(const QModelIndex &index) {
    if (!index.isValid())
        return;
    emit caseChosen(m_model->at(m_filter->mapToSource(index).row()).file);
}
