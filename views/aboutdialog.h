// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDialog>
#include <QStringList>

class ErrorReporter;
class UserInterface;

/** The about box: product, version, the maker's line, legal notices, system information. */
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(const ErrorReporter &errors, QWidget *parent = nullptr);

private:
    void load();

    const ErrorReporter &m_errors;
};

/** The system information programs Linux desktops ship, in order of preference. */
QStringList systemInfoPrograms();

/**
 * Starts the first system information program found on PATH; with none, says so.
 * Returns whether one was started.
 */
bool StartSysInfo(UserInterface &ui);
