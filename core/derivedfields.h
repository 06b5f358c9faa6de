// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/dietcase.h"

#include <QObject>

class ErrorReporter;

/**
 * Keeps overweight, proposed rates and end date following the two weights: every change
 * of today's or the target weight, typed or written, runs the update.
 */
class DerivedFields : public QObject {
    Q_OBJECT

public:
    DerivedFields(DietCase &dietCase, const ErrorReporter &errors, QObject *parent = nullptr);

    void update();

private:
    DietCase &m_case;
    const ErrorReporter &m_errors;
};
