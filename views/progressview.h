// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "views/childview.h"

#include <QStringList>

#include <optional>

class QLabel;
class QPushButton;
class QTableWidget;
struct ReductionPlan;
enum class ProgressStatus;

/**
 * The follow-up view: one row per weighing of the case against the computed curve, and
 * the advice for the latest one. Printed and copied as the same table.
 */
class ProgressView : public ChildView {
    Q_OBJECT

public:
    explicit ProgressView(ViewHost &host, QWidget *parent = nullptr);

    /** Rebuilds the rows from the case's weighings (today's included) against the plan. */
    void refresh(const ReductionPlan &plan);

    QTableWidget *table() const { return m_table; }
    QString title() const { return m_titleText; }
    QString advice() const { return m_adviceText; }
    /** Shown beside advice that the pet loses too slowly or too fast. */
    QPushButton *adjustRationButton() const { return m_adjustRation; }

    /** Title, ruled table and advice as HTML: the printed page and the copied block. */
    QString html() const;
    /** The table as tab-separated lines, the column titles first, then the advice. */
    QString tabText() const;

private:
    /** The ration by a tenth less when too slow, more when too fast; cats keep a floor. */
    void adjustRation();
    void showRation();

    QStringList m_columns;
    QList<QStringList> m_cells;
    QString m_titleText;
    QString m_adviceText;
    QString m_rationText;
    std::optional<ProgressStatus> m_latestStatus;
    QLabel *m_title;
    QTableWidget *m_table;
    QLabel *m_advice;
    QPushButton *m_adjustRation;
    QLabel *m_ration;
};
