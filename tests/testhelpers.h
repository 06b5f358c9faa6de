// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/apperror.h"
#include "core/dietcase.h"
#include "output/launcher.h"

#include <QFile>
#include <QMetaEnum>
#include <QStringList>
#include <QTemporaryDir>

/** The number of the AppError that f raises, 0 when it raises none. */
template <typename Fn> int errorOf(Fn &&f) {
    try {
        f();
    } catch (const AppError &e) {
        return e.number();
    }
    return 0;
}

/** Writes bytes into the next numbered case file of a folder; a test cannot go on without it. */
inline QString putFile(const QTemporaryDir &dir, int &count, const QByteArray &bytes) {
    const QString path = dir.filePath(QStringLiteral("f%1.kvl").arg(++count));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

/** A new case of 12 kg towards 10 kg with the proposed rates 3 and 2. */
inline const QStringList baseCase{
    QStringLiteral("todayWeight=12"),       QStringLiteral("targetWeight=10"),
    QStringLiteral("overweightPercent=20"), QStringLiteral("weeklyRateDuring=3"),
    QStringLiteral("weeklyRateEnd=2"),      QStringLiteral("dietEndDate=04.02.2027")};

/** Writes "field=value" edits into a case; the two history fields also become visible. */
inline void apply(DietCase &c, const QStringList &edits) {
    const QMetaEnum fields = QMetaEnum::fromType<DietCase::Field>();
    for (const QString &edit : edits) {
        const qsizetype eq = edit.indexOf(u'=');
        bool ok = false;
        const auto field =
            DietCase::Field(fields.keyToValue(edit.left(eq).toLatin1().constData(), &ok));
        Q_ASSERT(ok);
        c.setText(field, edit.mid(eq + 1));
        if (field == DietCase::Field::creationDate)
            c.setCreationDateVisible(true);
        if (field == DietCase::Field::formerWeight)
            c.setFormerWeightVisible(true);
    }
}

/** A launcher that keeps what it was asked to open and answers with a set result. */
class FakeLauncher : public Launcher {
public:
    void open(const QString &docName, Done done) override {
        opened.append(docName);
        done(result);
    }
    QStringList opened;
    int result = success;
};
