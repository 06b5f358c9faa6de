// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/gdtbridge.h"

#include "controls/busycursor.h"
#include "core/clock.h"
#include "core/computecommand.h"
#include "core/dietcase.h"
#include "core/errorreport.h"
#include "core/gdtcase.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "core/userinterface.h"
#include "files/appsettings.h"
#include "files/gdtrequest.h"
#include "files/gdtsettings.h"
#include "output/companions.h"
#include "shell/casefiles.h"
#include "shell/childviews.h"
#include "views/gdtresult.h"
#include "views/inputview.h"
#include "views/settingsdialog.h"
#include "views/viewhost.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QScopedValueRollback>
#include <QTimer>

namespace {

// A practice system may write its request in several steps: it is read once it rests.
constexpr int settleMs = 400;

} // namespace

GdtBridge::GdtBridge(QWidget &window, ViewHost &host, CaseFiles &files, ChildViews &views)
    : QObject(&window)
    , m_window(window)
    , m_host(host)
    , m_files(files)
    , m_views(views)
    , m_watcher(new QFileSystemWatcher(this))
    , m_settle(new QTimer(this)) {
    m_settle->setSingleShot(true);
    m_settle->setInterval(settleMs);
    connect(m_settle, &QTimer::timeout, this, &GdtBridge::requestFileChanged);
    const auto changed = [this] { m_settle->start(); };
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, changed);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, changed);
}

bool GdtBridge::takenByRunningProgram(const QString &file) {
    const QString watched = GdtSettings::load(AppSettings::fileName()).requestFile;
    return !watched.isEmpty() &&
           QFileInfo(file).absoluteFilePath() == QFileInfo(watched).absoluteFilePath() &&
           runsElsewhere(QCoreApplication::applicationFilePath());
}

void GdtBridge::watch() {
    if (!m_watcher->files().isEmpty())
        m_watcher->removePaths(m_watcher->files());
    if (!m_watcher->directories().isEmpty())
        m_watcher->removePaths(m_watcher->directories());
    m_watched = GdtSettings::load(AppSettings::fileName()).requestFile;
    if (m_watched.isEmpty())
        return;
    // The folder tells of a file written anew or renamed into place, the file of one changed.
    m_watcher->addPath(QFileInfo(m_watched).absolutePath());
    if (QFileInfo::exists(m_watched))
        m_watcher->addPath(m_watched);
}

void GdtBridge::requestFileChanged() {
    if (m_watched.isEmpty())
        return;
    const QFileInfo file(m_watched);
    if (file.exists() && !m_watcher->files().contains(m_watched))
        m_watcher->addPath(m_watched);
    // Our own removal, or a file begun but not written yet.
    if (!file.exists() || file.size() == 0)
        return;
    // A question of an earlier request, or any other dialog, is still open: the request waits.
    if (m_busy || QApplication::activeModalWidget()) {
        m_settle->start();
        return;
    }
    // The practice system wants the patient seen.
    if (m_window.isMinimized())
        m_window.showNormal();
    m_window.raise();
    m_window.activateWindow();
    open(m_watched);
}

void GdtBridge::open(const QString &file) {
    const QScopedValueRollback busy(m_busy, true);
    const GdtSettings settings = GdtSettings::load(AppSettings::fileName());
    std::optional<GdtRequest> request;
    try {
        BusyCursor cursor;
        request = GdtRequest::read(file, settings.nameOrder, Clock::today(),
                                   m_host.settings().caseFolders());
    } catch (const Gdt::Error &e) {
        m_host.ui().restoreCursors();
        m_host.ui().message(e.description(), UserInterface::Icon::Critical, str(S::GdtTitle));
        return;
    }
    if (!m_files.confirmDiscard())
        return;
    InputView *input = m_views.input();
    if (input)
        input->markSaved(); // asked once: loading the patient's case does not ask again
    DietCase &c = m_host.dietCase();
    if (request->caseFile.isEmpty()) {
        GdtCase::fill(c, request->patient);
        m_views.showNewCase();
    } else {
        m_files.load(request->caseFile);
        if (QFileInfo(c.filePath()) != QFileInfo(request->caseFile))
            return; // told why by the load
        request->takeWeight(c);
    }
    // Until saved, the patient on the form is input that closing the program asks about.
    if (input)
        input->markChanged();
    m_request = request->record;
    m_requestNumber = request->patient.number;
    QFile::remove(file);
    m_host.ui().status(str(request->caseFile.isEmpty() ? S::GdtTaken : S::GdtTakenFollowUp)
                           .arg(request->patient.number));
}

void GdtBridge::send() {
    const GdtSettings settings = GdtSettings::load(AppSettings::fileName());
    if (!settings.canSend()) {
        if (m_host.ui().message(str(S::GdtNotSetUp), UserInterface::Icon::Question,
                                str(S::GdtTitle), UserInterface::Buttons::YesNo,
                                UserInterface::Answer::Yes) == UserInterface::Answer::Yes)
            editSettings();
        return;
    }
    const DietCase &c = m_host.dietCase();
    const auto setup =
        computeCurve(c, m_host.errors(), m_host.settings().value(AppSettings::SmallPets) == u"1");
    if (!setup)
        return;
    m_views.showChart(*setup);
    const bool sameRequest = m_request && m_requestNumber == c.patientNumber();
    QString written;
    {
        BusyCursor cursor;
        written = GdtResult::send(m_host, *setup, sameRequest ? &*m_request : nullptr, settings,
                                  QDateTime(Clock::today(), QTime::currentTime()));
    }
    if (!written.isEmpty())
        m_host.ui().status(str(S::GdtSent).arg(QDir::toNativeSeparators(written)));
}

void GdtBridge::editSettings() {
    const QString settingsFile = AppSettings::fileName();
    SettingsDialog dialog(GdtSettings::load(settingsFile), m_host.ui(), &m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    try {
        dialog.values().save(settingsFile);
    } catch (const AppError &e) {
        m_host.errors().ReportError(e, QStringLiteral("frmSettings-cmdOK_Click"), settingsFile);
    }
    watch();
}
