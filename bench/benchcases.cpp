// SPDX-License-Identifier: GPL-3.0-or-later

// Times the recall list over 10,000 generated case files against merely reading the same
// files' bytes, measured in the same run: the first scan, and the rescan that takes the
// unchanged files from the index. Prints the times, their ratios and the files opened.

#include "core/germantext.h"
#include "files/casescanner.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

using Clock_ = std::chrono::steady_clock;

constexpr int caseCount = 10000;

// Cases like a practice's: a few weighings each, some on plan, some not.
void generate(const QString &folder) {
    for (int i = 0; i < caseCount; ++i) {
        const QDate first = QDate(2025, 1, 1).addDays(i % 300);
        const double weight = 12 + i % 30;
        QByteArray bytes =
            "Besitzer " + QByteArray::number(i) + "\r\nTier " + QByteArray::number(i) +
            "\r\nEmpty\r\n" + QByteArray::number(weight * 0.8) +
            "\r\n25\r\nEmpty\r\n2\r\n1\r\n"
            "01.12.2025\r\nEndText1\r\nHund\r\nEndList\r\n" +
            GermanText::fromDate(first).toLatin1() + "\r\n" +
            GermanText::fromDate(first).toLatin1() + "\r\n" + QByteArray::number(weight) +
            " kg\r\nEndText2\r\nTrue\r\nFalse\r\n"
            "True\r\nFalse\r\nEndOption\r\n\r\n[Korvalo]\r\n";
        for (int visit = 0; visit < 1 + i % 5; ++visit)
            bytes += "Wiegung=" + GermanText::fromDate(first.addDays(14 * visit)).toLatin1() + ';' +
                     GermanText::fromNumber(weight * (1 - 0.01 * visit)).toLatin1() + "\r\n";
        QFile file(folder + QStringLiteral("/fall%1.kvl").arg(i, 5, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
        // Saved a day ago: the index trusts only files that did not change as it read them.
        file.setFileTime(QDateTime::currentDateTime().addDays(-1),
                         QFileDevice::FileModificationTime);
    }
}

// The floor: list the folder and read every file's bytes.
qint64 bareRead(const QString &folder) {
    qint64 total = 0;
    const QDir dir(folder);
    for (const QString &name : dir.entryList({QStringLiteral("*.kvl")}, QDir::Files)) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            total += file.readAll().size();
    }
    return total;
}

template <typename Fn> double seconds(Fn &&fn) {
    const auto start = Clock_::now();
    fn();
    return std::chrono::duration<double>(Clock_::now() - start).count();
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        qFatal("no temporary folder");
    generate(dir.path());

    // Alternate them so that load on the machine hits all alike; keep the best of each. The
    // first scan starts without an index and writes it; the rescan finds every file in it.
    const QString index = dir.filePath(QStringLiteral("cache/faelle.index"));
    double bare = 1e9, first = 1e9, rescan = 1e9;
    qint64 bytes = 0;
    CaseList firstList, rescanList;
    for (int round = 0; round < 5; ++round) {
        bare = std::min(bare, seconds([&] { bytes = bareRead(dir.path()); }));
        QFile::remove(index);
        // The list of the round before goes untimed: the window drops it, not the scan.
        firstList = {};
        first = std::min(first,
                         seconds([&] { firstList = CaseScanner::scan({dir.path()}, {}, index); }));
        rescanList = {};
        rescan = std::min(
            rescan, seconds([&] { rescanList = CaseScanner::scan({dir.path()}, {}, index); }));
    }

    std::printf("Recall list of %d case files (%lld bytes), %d listed\n", caseCount,
                static_cast<long long>(bytes), int(rescanList.cases.size()));
    std::printf("%-30s %10s %8s %8s\n", "", "seconds", "x bare", "opened");
    std::printf("%-30s %10.3f %8.2f %8d\n", "bare read of the bytes", bare, 1.0, caseCount);
    std::printf("%-30s %10.3f %8.2f %8d\n", "first scan, index written", first, first / bare,
                firstList.opened);
    std::printf("%-30s %10.3f %8.2f %8d\n", "rescan from the index", rescan, rescan / bare,
                rescanList.opened);
    std::printf("rescan / first scan: %.2f\n", rescan / first);
    return 0;
}
