// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/clock.h"

QDate Clock::s_fixed;

QDate Clock::today() {
    return s_fixed.isValid() ? s_fixed : QDate::currentDate();
}

void Clock::setToday(QDate date) {
    s_fixed = date;
}
