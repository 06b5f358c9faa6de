#include "views/chartview.h"

#include "controls/chartcontrol.h"
#include "core/stringtable.h"

#include <QVBoxLayout>

namespace {

constexpr int sBack = 150;
constexpr int sSave = 147;
constexpr int sCopyChart = 157;
constexpr int sCaption = 102;

} // namespace

ChartView::ChartView(ViewHost &host, QWidget *parent)
    : ChildView(host, "frmchart", str(sCaption),
                {View::Chart, {{"Back", sBack}, {"Save", sSave}, {"Copy", sCopyChart}}, sBack},
                parent)
    , m_chart(new ChartControl(this)) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_chart);
}

void ChartView::apply(const ChartSetup &setup) {
    m_chart->apply(setup);
}
