// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDate>
#include <QList>

/** One weighing of a case: the day and the weight in kg. */
struct Weighing {
    QDate date;
    double weight = 0;
    friend bool operator==(const Weighing &, const Weighing &) = default;
};

/**
 * The weighings of a case as the case file keeps them: strictly ascending by date, at
 * most one per date, at most 501.
 */
class CaseHistory {
public:
    static constexpr int capacity = 501;

    const QList<Weighing> &weighings() const { return m_weighings; }
    bool isEmpty() const { return m_weighings.isEmpty(); }
    qsizetype size() const { return m_weighings.size(); }
    const Weighing &last() const { return m_weighings.last(); }

    /**
     * Appends a weighing after the last one, as a reader does; false (and nothing
     * changed) when its date is not after the last date or the history is full.
     */
    bool append(const Weighing &weighing);

    /** Puts a weighing in date order; one on the same date is replaced. */
    void record(const Weighing &weighing);

    void clear() { m_weighings.clear(); }

    friend bool operator==(const CaseHistory &, const CaseHistory &) = default;

private:
    QList<Weighing> m_weighings;
};
