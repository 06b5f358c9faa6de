// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/derivedfields.h"

#include "core/apperror.h"
#include "core/clock.h"
#include "core/errorreport.h"
#include "core/germantext.h"
#include "core/ratecoupling.h"

namespace {

using F = DietCase::Field;

bool isPositiveNumber(const QString &text) {
    const auto value = GermanText::toNumber(text);
    return value && *value > 0;
}

} // namespace

DerivedFields::DerivedFields(DietCase &dietCase, const ErrorReporter &errors, QObject *parent)
    : QObject(parent)
    , m_case(dietCase)
    , m_errors(errors) {
    connect(&m_case, &DietCase::textChanged, this, [this](DietCase::Field field) {
        if (field == F::todayWeight || field == F::targetWeight)
            update();
    });
}

void DerivedFields::update() {
    if (!isPositiveNumber(m_case.text(F::todayWeight)) ||
        !isPositiveNumber(m_case.text(F::targetWeight)))
        return;

    try {
        FillBoxes(m_case);
    } catch (const AppError &e) {
        m_errors.ReportError(e, QStringLiteral("FillBoxes"));
    }
    QString endDate;
    try {
        endDate = GermanText::fromDate(EndDate(m_case, EndDateMode::Stored, Clock::today()));
    } catch (const AppError &e) {
        m_errors.ReportError(e, QStringLiteral("EndDate"));
    }
    m_case.setText(F::dietEndDate, endDate);
}
