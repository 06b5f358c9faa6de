// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/chartview.h"

#include "controls/busycursor.h"
#include "controls/chartcontrol.h"
#include "controls/logoloader.h"
#include "controls/printouts.h"
#include "core/apperror.h"
#include "core/dietcase.h"
#include "core/errorreport.h"
#include "core/germantext.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "core/userinterface.h"

#include <QClipboard>
#include <QPrinter>
#include <QVBoxLayout>

namespace {

/** What the curve shows, in one sentence for screen readers. */
QString description(const ReductionPlan &plan, const DietCase &c) {
    const QString start = GermanText::fromNumber(plan.grid[0].planned.value_or(0));
    const auto target = GermanText::toNumber(c.text(DietCase::Field::targetWeight));
    const QList<int> measured = plan.measuredDays();
    const int last = measured.isEmpty() ? 0 : measured.last();
    return str(S::ChartDescription)
        .arg(start, GermanText::fromDate(plan.startDate),
             target ? GermanText::fromNumber(*target) : c.text(DietCase::Field::targetWeight),
             c.text(DietCase::Field::dietEndDate),
             GermanText::fromNumber(plan.grid[last].measured.value_or(0)),
             GermanText::fromDate(plan.rowDate(last)));
}

} // namespace

ChartView::ChartView(ViewHost &host, QWidget *parent)
    : ChildView(
          host, "frmchart", str(S::ShowCurve),
          {View::Chart,
           {{ToolKey::Back, S::Back}, {ToolKey::Save, S::Save}, {ToolKey::Copy, S::CopyChart}},
           S::Back},
          parent)
    , m_chart(new ChartControl(this)) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_chart);
}

void ChartView::apply(const ChartSetup &setup) {
    m_chart->apply(setup);
    // The title's first line names the curve; its second line is said by the description.
    QString name = setup.title.section(u'\r', 0, 0).simplified();
    if (name.endsWith(u','))
        name.chop(1);
    m_chart->setAccessibleName(name);
    m_chart->setAccessibleDescription(description(setup.plan, m_host.dietCase()));
}

bool ChartView::print(QPrinter &printer, int, int) {
    BusyCursor busy;
    if (LogoLoader::LoadPic(LogoLoader::defaultLogoName, m_host.settings()).isNull())
        m_host.ui().message(str(S::NoLogo) + u' ' + str(S::Reinstall),
                            UserInterface::Icon::Exclamation, str(S::NoLogoTitle));
    return printPage(printer);
}

bool ChartView::printPage(QPagedPaintDevice &paper) {
    try {
        print_KHPE_chart(*m_chart, paper,
                         LogoLoader::LoadPic(LogoLoader::defaultLogoName, m_host.settings()),
                         LogoLoader::LoadPic(LogoLoader::smallLogoName, m_host.settings()));
    } catch (const AppError &e) {
        m_host.errors().ReportError(e, QStringLiteral("printmod - print_KHPE_chart"));
        return false;
    }
    return true;
}

void ChartView::copy(QClipboard &clipboard) {
    clipboard.setImage(m_chart->picture());
}
