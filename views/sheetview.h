// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "views/childview.h"

class AppError;
class DietCase;
class QKeyEvent;
class SheetControl;

/**
 * The diet plan sheet: an eight-week feeding diary from today with weighing reminders.
 * Only the free cells take typed feed amounts; they live as long as the view.
 */
class SheetView : public ChildView {
    Q_OBJECT

public:
    explicit SheetView(ViewHost &host, QWidget *parent = nullptr);

    /** Writes the 56 plan dates, today first, into columns A and C. */
    void fill_dates();

    SheetControl *sheet() const { return m_sheet; }

    bool prints() const override { return true; }
    bool print(QPrinter &printer, int copies, int orientation) override;
    /** The plan's cells A1:D36. */
    void copy(QClipboard &clipboard) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    /** The food's name into B2 and the treats' limit into B3, where the case has them. */
    void fill_ration(const DietCase &c);
    static bool isTypedKey(const QKeyEvent *event);
    /** In-place editing only while the whole selection is free. */
    void updateEditing();
    QString workingOn() const override;

    SheetControl *m_sheet;
};
