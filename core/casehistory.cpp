// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/casehistory.h"

#include <algorithm>

bool CaseHistory::append(const Weighing &weighing) {
    if (m_weighings.size() >= capacity ||
        (!m_weighings.isEmpty() && m_weighings.last().date >= weighing.date))
        return false;
    m_weighings.append(weighing);
    return true;
}

void CaseHistory::record(const Weighing &weighing) {
    const auto at = std::lower_bound(m_weighings.begin(), m_weighings.end(), weighing.date,
                                     [](const Weighing &w, QDate date) { return w.date < date; });
    if (at != m_weighings.end() && at->date == weighing.date)
        *at = weighing;
    else
        m_weighings.insert(at, weighing);
}
