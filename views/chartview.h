#pragma once

#include <QWidget>

class ChartControl;
class ViewHost;
struct ChartSetup;

/** The child view that shows the reduction chart. */
class ChartView : public QWidget {
    Q_OBJECT

public:
    explicit ChartView(ViewHost &host, QWidget *parent = nullptr);

    void activate();
    void apply(const ChartSetup &setup);
    ChartControl *chart() const { return m_chart; }

private:
    ViewHost &m_host;
    ChartControl *m_chart;
};
