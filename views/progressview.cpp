// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/progressview.h"

#include "controls/logoloader.h"
#include "controls/printouts.h"
#include "core/apperror.h"
#include "core/chartcalc.h"
#include "core/clock.h"
#include "core/dietcase.h"
#include "core/errorreport.h"
#include "core/feeding.h"
#include "core/germantext.h"
#include "core/printtexts.h"
#include "core/progress.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "core/userinterface.h"
#include "views/accessibility.h"
#include "views/viewhost.h"

#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTableWidget>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

namespace {

using F = DietCase::Field;

constexpr int statusColumn = 7;

/** Weights in kg to two places, or in whole grams for the smallest pets. */
struct WeightFormat {
    bool grams = false;

    QString operator()(double kg) const {
        return grams ? GermanText::fromNumber(Feeding::roundHalfAway(kg * 1000), 0)
                     : GermanText::fromNumber(kg, 2);
    }
    /** Gains and deviations above the plan carry their sign: "+0,40". */
    QString signedValue(double kg) const {
        const QString text = (*this)(kg);
        return kg > 0 && text != (*this)(0) ? u'+' + text : text;
    }
};

QString escaped(const QString &text) {
    return text.toHtmlEscaped();
}

} // namespace

ProgressView::ProgressView(ViewHost &host, QWidget *parent)
    : ChildView(
          host, "frmVerlauf", str(S::ProgressCaption),
          {View::FollowUp, {{ToolKey::Copy, S::CopyProgress}, {ToolKey::Back, S::Back}}, S::Back},
          parent)
    , m_title(new QLabel(this))
    , m_case(new QLabel(this))
    , m_table(new QTableWidget(this))
    , m_advice(new QLabel(this))
    , m_adjustRation(new QPushButton(str(S::AdjustRation), this))
    , m_ration(new QLabel(this)) {
    setColumns(false);

    QFont titleFont = m_title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    m_title->setObjectName(QStringLiteral("lblTitle"));
    m_title->setWordWrap(true); // long names of owner and pet
    m_case->setObjectName(QStringLiteral("lblFall"));

    m_table->setObjectName(QStringLiteral("tblVerlauf"));
    m_table->setColumnCount(int(m_columns.size()));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setTabKeyNavigation(false); // arrows move within, Tab moves on
    m_table->verticalHeader()->setVisible(false);
    m_table->horizontalHeader()->setMinimumSectionSize(56);
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
    connect(&host.dietCase(), &DietCase::rationChanged, this, &ProgressView::showAdjustButton);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(10);
    layout->addWidget(m_title);
    layout->addWidget(m_case);
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

void ProgressView::setColumns(bool grams) {
    m_columns.clear();
    for (const int column : S::progressColumns)
        m_columns << str(column);
    if (grams) {
        m_columns[1] = str(S::WeightGramsColumn);
        m_columns[3] = str(S::ChangeGramsColumn);
        m_columns[5] = str(S::PlannedGramsColumn);
        m_columns[6] = str(S::DeviationGramsColumn);
    }
    // On screen the units go on a second line: all eight columns fit a window of 800 pixels.
    QStringList headers;
    for (const QString &column : std::as_const(m_columns))
        headers << QString(column).replace(u" ("_qs, u"\n("_qs);
    m_table->setHorizontalHeaderLabels(headers);
}

std::optional<int> ProgressView::offeredRation() const {
    const DietCase &c = m_host.dietCase();
    if (!m_latest || m_latest->maintained) // raised once, when the target was reached
        return std::nullopt;
    return Feeding::adjustedRation(Clinical::animalOf(c.text(F::species)), c.rationPercent(),
                                   m_latest->status);
}

void ProgressView::adjustRation() {
    DietCase &c = m_host.dietCase();
    const auto percent = offeredRation();
    if (!percent)
        return;
    c.setRationPercent(*percent);
    // Once per weighing, kept with the case: the next advice comes with the next one.
    c.setRationAdjustedFor(m_latest->date);
    showAdjustButton();
}

void ProgressView::showAdjustButton() {
    const DietCase &c = m_host.dietCase();
    const auto adjusted = offeredRation();
    const bool done = m_latest && c.rationAdjustedFor() == m_latest->date;
    m_adjustRation->setVisible(adjusted.has_value() || done);
    m_adjustRation->setEnabled(adjusted.has_value() && !done);
}

void ProgressView::showRation() {
    const DietCase &c = m_host.dietCase();
    const Feeding::Figures f = Feeding::figures(c);
    // The ration as the owner feeds it now: the percent, then kcal and grams.
    QStringList lines;
    if (f.rationPercent)
        lines << Feeding::rationPercentText(*f.rationPercent);
    lines << Feeding::rationSentence(c, f) << f.floorNote;
    lines.removeAll(QString());
    m_rationText = lines.join(u'\n');
    m_ration->setText(m_rationText);
    m_ration->setVisible(!m_rationText.isEmpty());
}

void ProgressView::refresh(const ReductionPlan &plan) {
    const DietCase &c = m_host.dietCase();
    const CaseHistory history = c.recordedHistory();
    const double target = GermanText::toNumber(c.text(F::targetWeight)).value_or(0);
    const Clinical::Animal animal = Clinical::animalOf(c.text(F::species));
    const QList<ProgressRow> rows = Progress::rows(history, plan, target, animal);
    const WeightFormat weight{Clinical::figuresOf(animal).grams};
    setColumns(weight.grams);

    m_titleText = str(S::ProgressTitle).arg(c.text(F::petName), c.text(F::ownerName));
    // The target as typed, or in grams where the rows are.
    m_caseText = str(S::SpeciesColumn) + u": " + c.text(F::species) + u", " +
                 str(DietCase::captionNumber(F::targetWeight)) + u' ' +
                 (weight.grams ? QString(weight(target) + u" g")
                               : QString(c.text(F::targetWeight) + u' ' + str(S::Kg)));
    m_cells.clear();
    if (!history.isEmpty()) {
        const Weighing &first = history.weighings().first();
        m_cells << QStringList{GermanText::fromDate(first.date),
                               weight(first.weight),
                               {},
                               {},
                               {},
                               {},
                               {},
                               str(S::FirstWeighing)};
    }
    for (const ProgressRow &row : rows)
        m_cells << QStringList{GermanText::fromDate(row.date),
                               weight(row.weight),
                               QString::number(row.days),
                               weight.signedValue(row.changeKg),
                               GermanText::fromNumber(row.weeklyLossPercent, 1),
                               weight(row.planned),
                               weight.signedValue(row.deviationKg),
                               Progress::statusText(row.status)};
    m_latest = rows.isEmpty() ? std::nullopt : std::optional(rows.last());
    m_adviceText = rows.isEmpty() ? str(S::NoProgress)
                                  : Progress::advice(rows, animal,
                                                     Feeding::atFloor(animal, c.rationPercent()));
    showAdjustButton();
    showRation();

    m_title->setText(m_titleText);
    m_case->setText(m_caseText);
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
    m_table->scrollToBottom(); // the latest weighing is the one the advice is about
    // Off-plan weighings stand out: they are what the advice is about.
    for (int r = 0; r < rows.size(); ++r) {
        if (Progress::isOffPlan(rows[r].status))
            m_table->item(r + 1, statusColumn)->setForeground(QColor(0xB0, 0x3A, 0x2E));
    }
}

QString ProgressView::html(const QString &logo) const {
    QString out;
    if (!logo.isEmpty())
        out += u"<p align=\"right\"><img src=\"" + logo.toHtmlEscaped() + u"\"></p>\n";
    out += u"<h2 style=\"margin-bottom: 10px\">" + escaped(m_titleText) + u"</h2>\n";
    out += u"<p>" + escaped(m_caseText) + u"</p>\n";
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
        out += u"<p>" + escaped(m_rationText).replace(u'\n', u"<br>"_qs) + u"</p>\n";
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

bool ProgressView::print(QPrinter &printer, int copies, int orientation) {
    QTextDocument page;
    page.setDefaultFont(QFont(QStringLiteral("Arial"), 10));
    // The practice's logo as on the owner's other pages; without one the page goes on.
    const QImage logo = LogoLoader::LoadPic(LogoLoader::defaultLogoName, m_host.settings());
    if (!logo.isNull()) {
        page.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("logo")),
                         logo.scaled(QSize(150, 150).boundedTo(logo.size()), Qt::KeepAspectRatio,
                                     Qt::SmoothTransformation));
    }
    page.setHtml(html(logo.isNull() ? QString() : QStringLiteral("logo")));
    try {
        // 1.5 cm margins: room for eight columns on A4 portrait.
        printRichText(page, printer, 850, 850, 850, 850, copies, orientation);
    } catch (const AppError &e) {
        m_host.errors().ReportError(e, QStringLiteral("printmod - printRichText"));
        return false;
    }
    return true;
}

void ProgressView::copy(QClipboard &clipboard) {
    auto *data = new QMimeData;
    data->setText(tabText());
    data->setHtml(html());
    clipboard.setMimeData(data);
}
