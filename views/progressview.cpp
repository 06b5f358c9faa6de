// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/progressview.h"

#include "core/chartcalc.h"
#include "core/clock.h"
#include "core/dietcase.h"
#include "core/feeding.h"
#include "core/germantext.h"
#include "core/printtexts.h"
#include "core/progress.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "core/userinterface.h"
#include "views/accessibility.h"
#include "views/viewhost.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

using F = DietCase::Field;

constexpr int statusColumn = 7;

/** Gains and deviations above the plan carry their sign: "+0,40". */
QString signedKg(double value) {
    const QString text = GermanText::fromNumber(value, 2);
    return value > 0 && text != GermanText::fromNumber(0, 2) ? u'+' + text : text;
}

QString escaped(const QString &text) {
    return text.toHtmlEscaped();
}

} // namespace

ProgressView::ProgressView(ViewHost &host, QWidget *parent)
    : ChildView(host, "frmVerlauf", str(S::ProgressCaption),
                {View::FollowUp, {{"Copy", S::CopyProgress}, {"Back", S::Back}}, S::Back}, parent)
    , m_title(new QLabel(this))
    , m_table(new QTableWidget(this))
    , m_advice(new QLabel(this))
    , m_adjustRation(new QPushButton(str(S::AdjustRation), this))
    , m_ration(new QLabel(this)) {
    for (int n = S::ProgressFirstColumn; n <= S::StatusColumn; ++n)
        m_columns << str(n);

    QFont titleFont = m_title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    m_title->setObjectName(QStringLiteral("lblTitle"));

    m_table->setObjectName(QStringLiteral("tblVerlauf"));
    m_table->setColumnCount(int(m_columns.size()));
    m_table->setHorizontalHeaderLabels(m_columns);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setTabKeyNavigation(false); // arrows move within, Tab moves on
    m_table->verticalHeader()->setVisible(false);
    m_table->horizontalHeader()->setMinimumSectionSize(72);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setStretchLastSection(true);

    m_advice->setObjectName(QStringLiteral("lblAdvice"));
    m_advice->setWordWrap(true);
    QFont adviceFont = m_advice->font();
    adviceFont.setBold(true);
    m_advice->setFont(adviceFont);

    m_adjustRation->setObjectName(QStringLiteral("cmdRation"));
    m_adjustRation->hide();
    connect(m_adjustRation, &QPushButton::clicked, this, &ProgressView::adjustRation);
    m_ration->setObjectName(QStringLiteral("lblRation"));
    connect(&host.dietCase(), &DietCase::rationChanged, this, &ProgressView::showRation);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(10);
    layout->addWidget(m_title);
    // The table no taller than its rows: the advice stands right below the last one.
    layout->addWidget(m_table, 100);
    auto *advice = new QHBoxLayout;
    advice->addWidget(m_advice, 1);
    advice->addWidget(m_adjustRation, 0, Qt::AlignTop);
    layout->addLayout(advice);
    layout->addWidget(m_ration);
    layout->addStretch(1);
    Accessibility::setReadingOrder({m_table, m_adjustRation});
    showRation();
}

void ProgressView::adjustRation() {
    DietCase &c = m_host.dietCase();
    const auto percent = Feeding::adjustedRation(Feeding::kindOf(c.text(F::species)),
                                                 c.rationPercent(), *m_latestStatus);
    if (!percent) {
        m_host.ui().message(str(S::CatRationFloor), UserInterface::Icon::Exclamation,
                            str(S::Product));
        return;
    }
    c.setRationPercent(*percent);
    // Once per weighing: the next advice comes with the next one.
    m_adjustRation->setEnabled(false);
}

void ProgressView::showRation() {
    m_rationText = Feeding::rationPercentText(m_host.dietCase().rationPercent());
    m_ration->setText(m_rationText);
    m_ration->setVisible(!m_rationText.isEmpty());
}

void ProgressView::refresh(const ReductionPlan &plan) {
    const DietCase &c = m_host.dietCase();
    const CaseHistory history = c.recordedHistory();
    const double target = GermanText::toNumber(c.text(F::targetWeight)).value_or(0);
    const QList<ProgressRow> rows = Progress::rows(history, plan, target);

    m_titleText = str(S::ProgressTitle).arg(c.text(F::petName), c.text(F::ownerName));
    m_cells.clear();
    if (!history.isEmpty()) {
        const Weighing &first = history.weighings().first();
        m_cells << QStringList{GermanText::fromDate(first.date),
                               GermanText::fromNumber(first.weight, 2),
                               {},
                               {},
                               {},
                               {},
                               {},
                               str(S::FirstWeighing)};
    }
    for (const ProgressRow &row : rows)
        m_cells << QStringList{GermanText::fromDate(row.date),
                               GermanText::fromNumber(row.weight, 2),
                               QString::number(row.days),
                               signedKg(row.changeKg),
                               GermanText::fromNumber(row.weeklyLossPercent, 1),
                               GermanText::fromNumber(row.planned, 2),
                               signedKg(row.deviationKg),
                               Progress::statusText(row.status)};
    m_adviceText = rows.isEmpty() ? str(S::NoProgress) : Progress::advice(rows);
    m_latestStatus = rows.isEmpty() ? std::nullopt : std::optional(rows.last().status);
    m_adjustRation->setVisible(m_latestStatus && *m_latestStatus != ProgressStatus::OnPlan &&
                               Feeding::hasFigures(Feeding::kindOf(c.text(F::species))));
    m_adjustRation->setEnabled(true);

    m_title->setText(m_titleText);
    m_advice->setText(m_adviceText);
    m_table->setAccessibleName(m_titleText); // the title above names the table
    m_table->setAccessibleDescription(m_adviceText);
    m_table->setRowCount(int(m_cells.size()));
    for (int r = 0; r < m_cells.size(); ++r) {
        for (int col = 0; col < m_cells[r].size(); ++col) {
            auto *item = new QTableWidgetItem(m_cells[r][col]);
            const bool left = col == 0 || col == statusColumn;
            item->setTextAlignment(Qt::AlignVCenter | (left ? Qt::AlignLeft : Qt::AlignRight));
            m_table->setItem(r, col, item);
        }
    }
    m_table->setMaximumHeight(m_table->horizontalHeader()->sizeHint().height() +
                              m_table->verticalHeader()->length() + 2 * m_table->frameWidth());
    // Off-plan weighings stand out: they are what the advice is about.
    for (int r = 0; r < rows.size(); ++r) {
        if (rows[r].status != ProgressStatus::OnPlan)
            m_table->item(r + 1, statusColumn)->setForeground(QColor(0xB0, 0x3A, 0x2E));
    }
}

QString ProgressView::html() const {
    QString out = u"<h2 style=\"margin-bottom: 10px\">" + escaped(m_titleText) + u"</h2>\n"_qs;
    out +=
        QStringLiteral("<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"4\" "
                       "style=\"border-collapse: collapse; border-color: black;\">\n<thead><tr>");
    // Fixed shares: left to itself the layout breaks the longer titles inside a word.
    static constexpr std::array<int, 8> percent{14, 11, 7, 12, 13, 15, 15, 13};
    for (int col = 0; col < m_columns.size(); ++col)
        out += u"<th width=\"" + QString::number(percent[col]) + u"%\">" + escaped(m_columns[col]) +
               u"</th>";
    out += QStringLiteral("</tr></thead>\n"); // repeated on every printed page
    for (const QStringList &row : m_cells) {
        out += QStringLiteral("<tr>");
        for (int col = 0; col < row.size(); ++col) {
            const bool left = col == 0 || col == statusColumn;
            out += (left ? u"<td style=\"white-space: nowrap\">"_qs
                         : u"<td align=\"right\" style=\"white-space: nowrap\">"_qs) +
                   escaped(row[col]) + u"</td>";
        }
        out += QStringLiteral("</tr>\n");
    }
    out += u"</table>\n<p><b>" + escaped(m_adviceText) + u"</b></p>\n";
    if (!m_rationText.isEmpty())
        out += u"<p>" + escaped(m_rationText) + u"</p>\n";
    // Dated like the diet plan: the owner keeps the page beside the next one.
    out += u"<p style=\"font-size: 8pt\">" + escaped(planSheetFooter(Clock::today())) + u"</p>\n";
    return out;
}

QString ProgressView::tabText() const {
    QStringList lines{m_columns.join(u'\t')};
    for (const QStringList &row : m_cells)
        lines << row.join(u'\t');
    lines << m_adviceText;
    if (!m_rationText.isEmpty())
        lines << m_rationText;
    return lines.join(u'\n') + u'\n';
}
