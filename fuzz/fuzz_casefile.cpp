// SPDX-License-Identifier: GPL-3.0-or-later

// Feeds arbitrary bytes to the case file reader, the extension block included. Besides
// crashes, hangs and sanitizer reports it checks that a file that loads, saved again,
// passes the checks and reads back line for line as written, with the same weighings and
// unknown keys, and that reading raises no error but the 23rd line's. Saved elsewhere over a
// case weighed here, it merges without losing a weighing of either side, however the
// questions are answered.
#include "core/apperror.h"
#include "core/casemerge.h"
#include "core/clock.h"
#include "core/dietcase.h"
#include "core/germantext.h"
#include "files/casefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// A memory-backed folder when there is one: every run writes two files.
QString folderTemplate() {
    const QString shm = QStringLiteral("/dev/shm");
    const QString base = QFileInfo(shm).isWritable() ? shm : QDir::tempPath();
    return base + QStringLiteral("/korvalo-fuzz-XXXXXX");
}

// One folder for the whole run: the input and the rewritten file reuse their paths.
struct Files {
    QTemporaryDir dir{folderTemplate()};
    QString input = dir.filePath(QStringLiteral("input.kvl"));
    QString output = dir.filePath(QStringLiteral("output.kvl"));
};

Files &files() {
    static Files f;
    return f;
}

[[noreturn]] void fail(const char *what) {
    std::fprintf(stderr, "fuzz_casefile: %s\n", what);
    std::abort();
}

QStringList weighingTexts(const CaseHistory &history) {
    QStringList texts;
    for (const Weighing &w : history.weighings())
        texts << GermanText::fromDate(w.date) + u';' + GermanText::fromNumber(w.weight);
    return texts;
}

void checkRewrite(const DietCase &dietCase) {
    if (!CaseFile::unwritableReason(dietCase).isEmpty())
        return;
    const QStringList lines = CaseFile::lines(dietCase);
    const QStringList block = CaseFile::extensionLines(dietCase);
    try {
        CaseFile::write(lines + block, files().output);
    } catch (const AppError &) {
        fail("a writable case could not be written");
    }
    const CaseFile::Content again = CaseFile::read(files().output);
    if (!CaseFile::isValid(again))
        fail("a file we wrote does not pass the checks");
    for (int n = 0; n < CaseFile::lineCount; ++n) {
        if (again.values[n] != lines[n])
            fail("a line we wrote reads back differently");
    }
    // Without today's weight a save records the weighings it loaded, to 15 digits.
    if (weighingTexts(CaseFile::history(again)) != weighingTexts(dietCase.recordedHistory()))
        fail("the weighings we wrote read back differently");
    if (again.unknownKeys != dietCase.unknownKeys())
        fail("the unknown keys we wrote read back differently");
    for (std::size_t i = 0; i < CaseFile::blockFields.size(); ++i) {
        if (again.blockTexts[i] != dietCase.text(CaseFile::blockFields[i].field))
            fail("a feeding field we wrote reads back differently");
    }
    if (again.rationPercent != dietCase.rationPercent())
        fail("the ration we wrote reads back differently");
    if (again.rationAdjustedFor != dietCase.rationAdjustedFor())
        fail("the ration's weighing we wrote reads back differently");
    const auto text = [](std::optional<double> weight) {
        return weight ? GermanText::fromNumber(*weight) : QString();
    };
    if (text(again.scoreWeight) != text(dietCase.scoreWeight()))
        fail("the score's weight we wrote reads back differently");
}

// The case as loaded here: first visit 01.09.2026 with 30 kg, a follow-up on 15.09.2026.
const QByteArray baseBytes = "Meier\r\nBello\r\n29\r\n20\r\n50\r\n5\r\n2\r\n1\r\n01.03.2027\r\n"
                             "EndText1\r\nHund\r\nEndList\r\n15.09.2026\r\n01.09.2026\r\n30 kg\r\n"
                             "EndText2\r\nTrue\r\nFalse\r\nTrue\r\nFalse\r\nEndOption\r\n";

void loadBase(DietCase &c) {
    static const CaseFile::Content content = [] {
        QFile file(files().output);
        if (!file.open(QIODevice::WriteOnly) || file.write(baseBytes) != baseBytes.size())
            fail("cannot write the base case");
        file.close();
        return CaseFile::read(files().output);
    }();
    c.clearInputs();
    CaseFile::fill(c, content);
}

void checkMerge(const DietCase &there) {
    DietCase base;
    loadBase(base);
    const auto weighedHere = [](DietCase &here) {
        loadBase(here);
        here.setText(DietCase::Field::currentDate, QStringLiteral("07.12.2026"));
        here.setText(DietCase::Field::todayWeight, QStringLiteral("28"));
    };
    DietCase asLoaded;
    weighedHere(asLoaded);
    const CaseHistory mine = asLoaded.recordedHistory();
    const CaseMerge::Comparison comparison = CaseMerge::compare(asLoaded, base, there);
    for (const bool takeThere : {false, true}) {
        DietCase here;
        weighedHere(here);
        CaseMerge::apply(here, base, there, QList<bool>(comparison.clashes.size(), takeThere));
        const CaseHistory merged = here.recordedHistory();
        const auto weightOn = [&merged](QDate date) -> std::optional<double> {
            for (const Weighing &w : merged.weighings()) {
                if (w.date == date)
                    return w.weight;
            }
            return std::nullopt;
        };
        for (const Weighing &w : there.history().weighings() + mine.weighings()) {
            if (!weightOn(w.date))
                fail("a merge lost a weighing");
        }
        for (const CaseMerge::Clash &clash : comparison.clashes) {
            const auto kept = weightOn(clash.date);
            if (!kept || GermanText::fromNumber(*kept) !=
                             GermanText::fromNumber(takeThere ? clash.there : clash.here))
                fail("a merge kept the other weight than the one chosen");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    Clock::setToday(QDate(2026, 12, 7));
    if (!files().dir.isValid())
        fail("no temporary folder");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    QFile input(files().input);
    if (!input.open(QIODevice::WriteOnly | QIODevice::Truncate))
        fail("cannot write the input file");
    input.write(reinterpret_cast<const char *>(data), qint64(size));
    input.close();

    DietCase dietCase;
    try {
        const CaseFile::Content content = CaseFile::read(files().input);
        if (!CaseFile::isValid(content))
            return 0;
        CaseFile::fill(dietCase, content);
    } catch (const AppError &e) {
        if (e.number() != AppError::SubscriptOutOfRange)
            fail("reading a readable file raised an unexpected error");
        return 0;
    }
    checkRewrite(dietCase);
    checkMerge(dietCase);
    return 0;
}
