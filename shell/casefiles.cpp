// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/casefiles.h"

#include "core/dietcase.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "core/userinterface.h"
#include "files/appsettings.h"
#include "files/casefile.h"
#include "shell/commandbar.h"
#include "views/inputview.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

CaseFiles::CaseFiles(QWidget &window, DietCase &dietCase, AppSettings &settings,
                     const ErrorReporter &errors, UserInterface &ui, CommandBar &bar)
    : QObject(&window)
    , m_case(dietCase)
    , m_settings(settings)
    , m_errors(errors)
    , m_ui(ui)
    , m_bar(bar) {
    connect(&m_bar, &CommandBar::recentChosen, this, &CaseFiles::load);
    m_bar.showRecent(recentFiles());
    window.setAcceptDrops(true);
    window.installEventFilter(this);
    // Rates set in the reduction values dialog and a ration adjusted in Verlauf are input
    // too; loading and clearing set them as well, but count as saved when they are done.
    connect(&m_case, &DietCase::rationChanged, this, [this] {
        if (m_form)
            m_form->markChanged();
    });
    connect(&m_case, &DietCase::textChanged, this, [this](DietCase::Field field) {
        if (m_form &&
            (field == DietCase::Field::weeklyRateDuring || field == DietCase::Field::weeklyRateEnd))
            m_form->markChanged();
    });
}

void CaseFiles::setForm(InputView *form) {
    m_form = form;
}

QStringList CaseFiles::recentFiles() const {
    return m_settings.recentFiles();
}

void CaseFiles::open() {
    if (confirmDiscard() && read_txt(m_case, m_errors))
        loadDone();
}

void CaseFiles::load(const QString &path) {
    if (confirmDiscard() && read_txt(m_case, m_errors, path))
        loadDone();
}

void CaseFiles::loadDone() {
    rememberRecent(m_case.filePath());
    if (!m_form)
        return;
    m_form->markSaved();
    emit loaded();
}

bool CaseFiles::save() {
    if (!create_txt(m_case, m_errors))
        return false;
    if (m_form)
        m_form->markSaved();
    rememberRecent(m_case.filePath());
    return true;
}

void CaseFiles::rememberRecent(const QString &path) {
    if (path.isEmpty())
        return;
    try {
        m_settings.rememberRecent(path);
    } catch (const AppError &e) {
        emit failed(e, QStringLiteral("mnuFileRecent_Click"), {});
    }
    m_bar.showRecent(recentFiles());
}

bool CaseFiles::hasUnsavedInput() const {
    return m_form && m_form->hasUnsavedInput();
}

bool CaseFiles::confirmDiscard() {
    if (!hasUnsavedInput())
        return true;
    const QString pet = m_case.text(DietCase::Field::petName).trimmed();
    const QString question = pet.isEmpty() ? str(S::SaveChanges) : str(S::SaveChangesTo).arg(pet);
    switch (m_ui.message(question, UserInterface::Icon::Question, str(S::Product),
                         UserInterface::Buttons::YesNoCancel, UserInterface::Answer::Yes)) {
    case UserInterface::Answer::Yes:
        return save(); // a save cancelled or failed keeps the input
    case UserInterface::Answer::No:
        m_form->markSaved(); // given up: not asked again
        return true;
    default:
        return false;
    }
}

bool CaseFiles::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::DragEnter) {
        auto *enter = static_cast<QDragEnterEvent *>(event);
        if (droppedCaseFile(enter->mimeData()).isEmpty())
            return false;
        enter->acceptProposedAction();
        return true;
    }
    if (event->type() == QEvent::Drop) {
        auto *drop = static_cast<QDropEvent *>(event);
        const QString path = droppedCaseFile(drop->mimeData());
        if (path.isEmpty())
            return false;
        drop->acceptProposedAction();
        // After the drop has ended: the question and the load may show dialogs.
        QTimer::singleShot(0, this, [this, path] { load(path); });
        return true;
    }
    return QObject::eventFilter(watched, event);
}

QString CaseFiles::droppedCaseFile(const QMimeData *data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1 ||
        !data->urls().first().isLocalFile())
        return {};
    const QString path = data->urls().first().toLocalFile();
    return QFileInfo(path).suffix().compare(u"kvl", Qt::CaseInsensitive) == 0 ? path : QString();
}
