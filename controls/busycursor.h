// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QApplication>

/** The hourglass while a command runs; back to normal when it ends, however it ends. */
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() {
        // An error report may have restored every pointer already.
        if (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};
