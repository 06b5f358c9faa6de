#include "views/chartview.h"

#include "controls/chartcontrol.h"
#include "core/stringtable.h"
#include "views/viewhost.h"

#include <QVBoxLayout>

namespace {

constexpr int sBack = 150;
constexpr int sSave = 147;
constexpr int sCopyChart = 157;
constexpr int sCaption = 102;

} // namespace

ChartView::ChartView(ViewHost &host, QWidget *parent)
    : QWidget(parent)
    , m_host(host)
    , m_chart(new ChartControl(this)) {
    setObjectName(QStringLiteral("frmchart"));
    setWindowTitle(str(sCaption));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_chart);
}

void ChartView::activate() {
    m_host.set_toolbar(View::Chart);
    m_host.setToolTip(QStringLiteral("Back"), str(sBack));
    m_host.setToolTip(QStringLiteral("Save"), str(sSave));
    m_host.setToolTip(QStringLiteral("Copy"), str(sCopyChart));
    m_host.setExitCaption(str(sBack));
}

void ChartView::apply(const ChartSetup &setup) {
    m_chart->apply(setup);
}
