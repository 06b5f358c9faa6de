// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/stringtable.h"

#include <QFile>
#include <QHash>
#include <QTextStream>
#include <QtDebug>

#include <algorithm>

namespace {

// Lines are "number<TAB>text"; a line starting with a TAB continues the previous text
// on a new line; '#' starts a comment. Trailing blanks belong to the texts.
QHash<int, QString> load() {
    QHash<int, QString> table;
    QFile file(QStringLiteral(":/korvalo/strings.tsv"));
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("string table missing");
        return table;
    }
    int last = -1;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (QByteArray line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const qsizetype tab = line.indexOf('\t');
        if (tab == 0 && last >= 0) {
            table[last] += u'\n' + QString::fromUtf8(line.mid(1));
            continue;
        }
        bool ok = false;
        const int number = line.left(tab).toInt(&ok);
        if (tab < 0 || !ok) {
            qWarning("string table: bad line %s", line.constData());
            continue;
        }
        table.insert(number, QString::fromUtf8(line.mid(tab + 1)));
        last = number;
    }
    return table;
}

const QHash<int, QString> &table() {
    static const QHash<int, QString> t = load();
    return t;
}

} // namespace

namespace StringTable {

QString str(int number) {
    const auto it = table().constFind(number);
    if (it == table().constEnd()) {
        qWarning("string %d missing", number);
        return {};
    }
    return *it;
}

bool contains(int number) {
    return table().contains(number);
}

QList<int> numbers() {
    QList<int> list = table().keys();
    std::sort(list.begin(), list.end());
    return list;
}

} // namespace StringTable
