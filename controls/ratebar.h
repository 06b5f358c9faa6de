// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QScrollBar>

/**
 * A horizontal scroll bar that sets a weekly rate in tenths of a percent. Screen readers
 * are given the rate, not the tenths: 30 reads "3,0 % pro Woche".
 */
class RateBar : public QScrollBar {
    Q_OBJECT

public:
    explicit RateBar(QWidget *parent = nullptr);

    /** The rate of a bar value as a screen reader says it. */
    static QString spoken(int tenths);
};
