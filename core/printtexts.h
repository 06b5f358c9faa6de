// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDate>
#include <QString>

class DietCase;

/** The diet plan's page header: who the plan is for, and its weights and dates. */
QString planSheetHeader(const DietCase &c);

/** The diet plan's page footer with the day of printing. */
QString planSheetFooter(QDate today);
