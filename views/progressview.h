// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "views/childview.h"

#include "core/progress.h"

#include <QStringList>

#include <optional>

class QLabel;
class QPushButton;
class QTableWidget;
struct ReductionPlan;

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
    /** Species and target, the line below the title. */
    QString caseText() const { return m_caseText; }
    /** The current ration: percent, kcal and grams, the floor's note. */
    QString rationText() const { return m_rationText; }
    /**
     * Shown beside advice that changes the ration; once used, greyed out until the next
     * weighing.
     */
    QPushButton *adjustRationButton() const { return m_adjustRation; }

    /**
     * Title, species and target, ruled table, advice and ration as HTML: the printed page
     * and the copied block. A logo, given as the name of an image resource, stands above.
     */
    QString html(const QString &logo = {}) const;
    /** The table as tab-separated lines, the column titles first, then the advice. */
    QString tabText() const;

    bool prints() const override { return true; }
    /** The page of html() with the practice's logo, when there is one. */
    bool print(QPrinter &printer, int copies, int orientation) override;
    /** As tab-separated text and as HTML. */
    void copy(QClipboard &clipboard) override;

private:
    /** The ration by a tenth less when too slow, more when too fast; dogs and cats keep a floor. */
    void adjustRation();
    /** The ration percent "Ration anpassen" would set for the latest weighing. */
    std::optional<int> offeredRation() const;
    void showAdjustButton();
    void showRation();
    /** The column titles, with grams for the smallest pets. */
    void setColumns(bool grams);

    QStringList m_columns;
    QList<QStringList> m_cells;
    QString m_titleText;
    QString m_adviceText;
    QString m_caseText;
    QString m_rationText;
    std::optional<ProgressRow> m_latest;
    QLabel *m_title;
    QLabel *m_case;
    QTableWidget *m_table;
    QLabel *m_advice;
    QPushButton *m_adjustRation;
    QLabel *m_ration;
};
