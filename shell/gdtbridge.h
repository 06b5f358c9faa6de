// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/gdt.h"

#include <QObject>
#include <QString>

#include <optional>

class CaseFiles;
class ChildViews;
class QFileSystemWatcher;
class QTimer;
class QWidget;
class ViewHost;

/**
 * The main window's side of the practice system: a request file opens its patient (from
 * the command line, or while the program runs, when the file appears), "An Praxisprogramm
 * senden" writes the plan back, and "Einstellungen …" sets it up.
 */
class GdtBridge : public QObject {
    Q_OBJECT

public:
    GdtBridge(QWidget &window, ViewHost &host, CaseFiles &files, ChildViews &views);

    /**
     * Takes a request: its patient onto the form once input not saved yet may go, then the
     * file is removed so that the next request is noticed. A bad file is told about and
     * left as it is, and nothing changes.
     */
    void open(const QString &file);
    /**
     * Whether a Korvalo that runs already takes this request: it watches the same file. A
     * practice system that starts the program for each patient then finds it at the front.
     */
    static bool takenByRunningProgram(const QString &file);

    /** Watches the request file of the settings, when one is set. */
    void watch();
    /** Computes the case's plan and sends it to the practice system. */
    void send();
    /** The settings dialog; a change of the request file moves the watch. */
    void editSettings();

private:
    void requestFileChanged();

    QWidget &m_window;
    ViewHost &m_host;
    CaseFiles &m_files;
    ChildViews &m_views;
    QFileSystemWatcher *m_watcher;
    QTimer *m_settle;
    QString m_watched;
    /** The request the case on the form came with: its patient fields go back as they came. */
    std::optional<Gdt::Record> m_request;
    QString m_requestNumber;
    bool m_busy = false;
};
