// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDate>
#include <QString>

#include <optional>

class DietCase;

/**
 * The two weekly rate texts, each parsed when the simulation first needs it: a rate
 * that is never used may hold anything.
 */
class RateFields {
public:
    RateFields(QStringView during, QStringView end)
        : m_texts{during, end} {}

    /** The weekly percentage: the rate during the diet, or the one towards its end. */
    double rate(bool duringDiet) {
        const int i = duringDiet ? 0 : 1;
        if (!m_values[i]) [[unlikely]]
            m_values[i] = parse(m_texts[i]);
        return *m_values[i];
    }

private:
    static double parse(QStringView text);

    QStringView m_texts[2];
    std::optional<double> m_values[2];
};

/** Overweight from the two weights and, for a new case, the proposed rates. */
void FillBoxes(DietCase &c);

/** Whether a follow-up case keeps its stored end date or simulates again. */
enum class EndDateMode { Stored, Recalculate };

/**
 * The day the diet reaches the target. A follow-up case keeps its stored end date unless
 * asked to recalculate, which simulates again from the former weight.
 */
QDate EndDate(const DietCase &c, EndDateMode mode, QDate today);
