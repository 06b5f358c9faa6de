// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDate>

/** The one source of "today" for the whole program, fixable for tests and the exporter. */
class Clock {
public:
    static QDate today();

    /** Fixes today to the given date; an invalid date returns to the system date. */
    static void setToday(QDate date);

private:
    static QDate s_fixed;
};
