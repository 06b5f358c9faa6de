// SPDX-License-Identifier: GPL-3.0-or-later

#include "files/casescanner.h"

#include "core/apperror.h"
#include "core/chartcalc.h"
#include "core/dietcase.h"
#include "core/germantext.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "files/casefile.h"

#include <QDir>
#include <QFileInfo>
#include <QThread>

#include <algorithm>

namespace {

using F = DietCase::Field;

// Progress is reported in steps, not per file: 10,000 signals would flood the window.
constexpr int progressStep = 100;

} // namespace

CaseScanner::CaseScanner(QObject *parent)
    : QObject(parent) {
    qRegisterMetaType<CaseList>();
}

CaseScanner::~CaseScanner() {
    stop();
}

std::optional<CaseSummary> CaseScanner::summarise(const QString &path) {
    CaseFile::Content content;
    try {
        content = CaseFile::read(path);
    } catch (const AppError &) {
        return std::nullopt;
    }
    if (!CaseFile::isValid(content))
        return std::nullopt;

    DietCase c;
    CaseFile::fill(c, content);
    CaseSummary s;
    s.file = QDir::isAbsolutePath(path) ? path : QFileInfo(path).absoluteFilePath();
    s.owner = c.text(F::ownerName);
    s.pet = c.text(F::petName);
    s.species = c.text(F::species);
    s.targetWeight = c.text(F::targetWeight);
    const CaseHistory &history = c.history();
    if (history.isEmpty())
        return s;
    s.lastDate = history.last().date;
    s.lastWeight = history.last().weight;
    if (history.size() > 1) {
        // The curve of the first visit, as the chart draws it; a case whose curve cannot
        // be computed is listed without a status.
        try {
            const ChartSetup setup = ChartCalc(c, QStringLiteral("0"), s.lastDate);
            const auto rows =
                Progress::rows(history, setup.plan, GermanText::parseNumber(s.targetWeight),
                               Clinical::animalOf(s.species));
            s.status = rows.last().status;
        } catch (const AppError &) {
        }
    }
    s.due = Progress::nextDue(s.lastDate, s.status);
    return s;
}

std::optional<CaseList> CaseScanner::scan(const QStringList &folders, const ProgressFn &progress) {
    QStringList paths;
    for (const QString &folder : folders) {
        const QDir dir(folder);
        for (const QString &name :
             dir.entryList({QStringLiteral("*.kvl")}, QDir::Files, QDir::Name))
            paths << dir.filePath(name);
    }
    CaseList list;
    const int total = int(paths.size());
    for (int i = 0; i < total; ++i) {
        if (auto summary = summarise(paths[i]))
            list.cases << *summary;
        else
            ++list.skipped;
        if (progress && ((i + 1) % progressStep == 0 || i + 1 == total) && !progress(i + 1, total))
            return std::nullopt;
    }
    std::stable_sort(list.cases.begin(), list.cases.end(),
                     [](const CaseSummary &a, const CaseSummary &b) {
                         if (a.due.isValid() != b.due.isValid())
                             return a.due.isValid();
                         if (a.due != b.due)
                             return a.due < b.due;
                         if (a.owner != b.owner)
                             return a.owner.localeAwareCompare(b.owner) < 0;
                         return a.pet.localeAwareCompare(b.pet) < 0;
                     });
    return list;
}

void CaseScanner::start(const QStringList &folders) {
    stop();
    m_cancel = false;
    // Reports of an earlier scan still queued are dropped by their generation.
    const int generation = ++m_generation;
    const auto report = [this, generation](auto fn) {
        QMetaObject::invokeMethod(
            this,
            [this, generation, fn] {
                if (generation == m_generation)
                    fn();
            },
            Qt::QueuedConnection);
    };
    m_thread = QThread::create([this, folders, report] {
        const auto list = scan(folders, [this, report](int done, int total) {
            report([this, done, total] { emit progress(done, total); });
            return !m_cancel.load();
        });
        report([this, list] {
            if (list && !m_cancel)
                emit finished(*list);
            else
                emit cancelled();
        });
    });
    m_thread->start();
}

void CaseScanner::cancel() {
    m_cancel = true;
}

bool CaseScanner::isRunning() const {
    return m_thread && m_thread->isRunning();
}

void CaseScanner::stop() {
    if (!m_thread)
        return;
    m_cancel = true;
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
}

QString CaseScanner::skippedText(int skipped) {
    if (skipped <= 0)
        return {};
    return skipped == 1 ? str(S::SkippedOne) : str(S::SkippedMany).arg(skipped);
}
