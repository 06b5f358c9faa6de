// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "views/childview.h"

class ChartControl;
class QPagedPaintDevice;
struct ChartSetup;

/** The child view that shows the reduction chart. */
class ChartView : public ChildView {
    Q_OBJECT

public:
    explicit ChartView(ViewHost &host, QWidget *parent = nullptr);

    void apply(const ChartSetup &setup);
    ChartControl *chart() const { return m_chart; }

    bool prints() const override { return true; }
    /** Says when the practice's logo is gone, then prints the page without it. */
    bool print(QPrinter &printer, int copies, int orientation) override;
    /** The chart page on a printer or a PDF writer, with the logos; errors are reported. */
    bool printPage(QPagedPaintDevice &paper);
    void copy(QClipboard &clipboard) override;

private:
    ChartControl *m_chart;
};
