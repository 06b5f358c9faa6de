// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>

/** The start window: product name, version and icon for a moment before the main window. */
class StartWindow : public QWidget {
    Q_OBJECT

public:
    explicit StartWindow(QWidget *parent = nullptr);

    /** "Version 1.0": major and minor of the build. */
    static QString versionText();

    /** Keeps the window on screen for the given time, handling events meanwhile. */
    void stay(int milliseconds);
};
