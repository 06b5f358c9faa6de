// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/chartview.h"

#include "controls/chartcontrol.h"
#include "core/stringids.h"
#include "core/stringtable.h"

#include <QVBoxLayout>

ChartView::ChartView(ViewHost &host, QWidget *parent)
    : ChildView(
          host, "frmchart", str(S::ShowCurve),
          {View::Chart, {{"Back", S::Back}, {"Save", S::Save}, {"Copy", S::CopyChart}}, S::Back},
          parent)
    , m_chart(new ChartControl(this)) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_chart);
}

void ChartView::apply(const ChartSetup &setup) {
    m_chart->apply(setup);
}
