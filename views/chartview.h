// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "views/childview.h"

class ChartControl;
struct ChartSetup;

/** The child view that shows the reduction chart. */
class ChartView : public ChildView {
    Q_OBJECT

public:
    explicit ChartView(ViewHost &host, QWidget *parent = nullptr);

    void apply(const ChartSetup &setup);
    ChartControl *chart() const { return m_chart; }

private:
    ChartControl *m_chart;
};
