// SPDX-License-Identifier: GPL-3.0-or-later

// Feeds arbitrary bytes to the GDT reader. Besides crashes and sanitizer reports it checks
// that a refusal is a Gdt::Error naming the file and a line within it, that the patient's
// fields either read or name their line, and that a record that reads, written in each
// character set, reads back with the same type and fields: with the same contents where
// the set holds every character, else with a long finding perhaps broken into more lines.
#include "core/gdt.h"

#include <QByteArray>
#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

const QString fileName = QStringLiteral("/praxis/gdt/fuzz.gdt");

[[noreturn]] void fail(const char *what) {
    std::fprintf(stderr, "fuzz_gdt: %s\n", what);
    std::abort();
}

void checkRefusal(const Gdt::Error &e, qsizetype lineCount) {
    if (!e.description().contains(fileName))
        fail("a refusal does not name the file");
    if (e.line() < 0 || e.line() > lineCount)
        fail("a refusal names a line the file does not have");
}

/** The fields a writer leaves to its own header. */
bool isHeader(int id) {
    return id == Gdt::RecordLength || id == Gdt::Version || id == Gdt::CharsetField;
}

/** The field ids but the header's; a finding or result line repeated counts once. */
QList<int> idsOf(const Gdt::Record &record, bool joinRunningText) {
    QList<int> ids;
    for (const Gdt::Field &field : record.fields) {
        if (isHeader(field.id))
            continue;
        const bool runningText = field.id == Gdt::Finding || field.id == Gdt::ResultText;
        if (joinRunningText && runningText && !ids.isEmpty() && ids.last() == field.id)
            continue;
        ids.append(field.id);
    }
    return ids;
}

QStringList contentsOf(const Gdt::Record &record) {
    QStringList contents;
    for (const Gdt::Field &field : record.fields) {
        if (!isHeader(field.id))
            contents.append(field.content);
    }
    return contents;
}

/** Whether every character read can be written in the set as it is. */
bool holdsAll(const Gdt::Record &record, Gdt::Charset read, Gdt::Charset written) {
    if (written == Gdt::Charset::Latin1
            ? read == Gdt::Charset::Latin1
            : written == Gdt::Charset::Cp437 && read != Gdt::Charset::Latin1)
        return true;
    for (const Gdt::Field &field : record.fields) {
        for (const QChar c : field.content) {
            if (c.unicode() >= 0x80)
                return false;
        }
    }
    return true;
}

void checkRewrite(const Gdt::Record &record, std::size_t size) {
    const Gdt::Charset read = Gdt::charsetOf(record);
    for (const auto charset : {Gdt::Charset::Ascii, Gdt::Charset::Cp437, Gdt::Charset::Latin1}) {
        QByteArray bytes;
        try {
            bytes = Gdt::write(record, charset);
        } catch (const AppError &e) {
            // Transliteration may make a large record three times as long.
            if (e.number() == AppError::Overflow && size > 30000)
                continue;
            fail("a record read could not be written");
        }
        Gdt::Record again;
        try {
            again = Gdt::read(bytes, fileName);
        } catch (const Gdt::Error &) {
            fail("a record written does not read back");
        }
        if (again.type != record.type)
            fail("the record type changed");
        if (Gdt::charsetOf(again) != charset)
            fail("the character set written is not the one asked for");
        if (holdsAll(record, read, charset)) {
            if (idsOf(again, false) != idsOf(record, false))
                fail("the fields changed in a set that holds them");
            if (contentsOf(again) != contentsOf(record))
                fail("a content changed in a set that holds it");
        } else if (idsOf(again, true) != idsOf(record, true)) {
            fail("the fields changed");
        }
    }
}

void checkPatient(const Gdt::Record &record) {
    for (const auto order : {Gdt::NameOrder::OwnerThenAnimal, Gdt::NameOrder::AnimalThenOwner}) {
        try {
            const Gdt::Patient patient = Gdt::patient(record, order, QDate(2026, 12, 7), fileName);
            if (patient.weight && !(std::isfinite(*patient.weight) && *patient.weight > 0))
                fail("a weight that is no positive number");
            if (patient.age && (*patient.age < 0 || !patient.birthDate))
                fail("an age without a birth date before today");
        } catch (const Gdt::Error &e) {
            checkRefusal(e, record.fields.size() + 1);
            if (e.line() < 2)
                fail("a patient field's refusal names no line of a field");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    Gdt::Record record;
    try {
        record = Gdt::read(bytes, fileName);
    } catch (const Gdt::Error &e) {
        checkRefusal(e, bytes.count('\n') + 1);
        return 0;
    }
    checkPatient(record);
    checkRewrite(record, size);
    return 0;
}
