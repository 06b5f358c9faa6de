// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/apperror.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

#include <optional>

/**
 * GDT 2.1, the file exchange of German practice systems with the programs beside them. A
 * file holds one record of lines "LLLFFFFcontent" + CR LF: LLL the line's length in bytes
 * with the CR LF, FFFF the field. The first line gives the record type (8000), then come
 * the record's length (8100), the version (9218) and the character set (9206).
 */
namespace Gdt {

/** The character sets field 9206 names, by its value; a file without 9206 is in CP437. */
enum class Charset { Ascii = 1, Cp437 = 2, Latin1 = 3 };

/** The record types we read and write (field 8000). */
enum RecordType : int {
    RequestPatient = 6300,
    SendPatient = 6301,
    RequestExamination = 6302,
    SendExamination = 6310,
    ShowExamination = 6311,
};

enum FieldId : int {
    RecordTypeField = 8000,
    RecordLength = 8100,
    Version = 9218,
    CharsetField = 9206,
    Receiver = 8315,
    Sender = 8316,
    PatientNumber = 3000,
    Surname = 3101,
    FirstName = 3102,
    BirthDate = 3103,
    Sex = 3110,
    Weight = 3623,
    DeviceProcedure = 8402,
    ResultDate = 6200,
    ResultTime = 6201,
    Finding = 6220,
    Comment = 6227,
    ResultText = 6228,
    AttachmentArchive = 6302,
    AttachmentFormat = 6303,
    AttachmentDescription = 6304,
    AttachmentPath = 6305,
};

/** Longest content a line can carry: LLL has three digits, and 9 bytes are not content. */
constexpr int maxContentBytes = 999 - 9;

struct Field {
    int id = 0;
    QString content;
    int line = 0; ///< where it was read, 0 for a field made by the program
};

struct Record {
    int type = 0;
    /** Every line after the first, in file order; a field may repeat. */
    QList<Field> fields;

    /** The first field of the id, or nullptr. */
    const Field *find(int id) const;
    QStringList values(int id) const;
    void append(int id, const QString &content) { fields.append({id, content}); }
};

/** A file the reader refuses, with the German message that names the file and the line. */
class Error : public AppError {
public:
    Error(int line, QString description);
    /** The line at fault, 0 when it is the whole file's. */
    int line() const { return m_line; }

private:
    int m_line;
};

/** The error for a file a practice system named but did not leave there. */
Error missingFile(const QString &fileName);

/**
 * Reads one record, decoding by the character set 9206 names. The lines are checked in
 * order and the first bad one raises Error; then the record type and the length in 8100.
 * The name is only for the messages.
 */
Record read(const QByteArray &bytes, const QString &fileName);

/** The character set a record names; CP437 without 9206 or with one we do not know. */
Charset charsetOf(const Record &record);

/**
 * Writes a record: 8000, 8100, 9218 and 9206 first, then the record's other fields in
 * order (any 8100, 9218 and 9206 of its own are left out). A character the set lacks
 * becomes the nearest one it has, or "?". Raises AppError when the type is not one of
 * ours, a field id is not four digits, or the file would pass 99999 bytes.
 */
QByteArray write(const Record &record, Charset charset);

/** Which of 3101 and 3102 holds the owner's name: practice systems differ. */
enum class NameOrder {
    OwnerThenAnimal, ///< 3101 the owner's surname, 3102 the animal's name
    AnimalThenOwner, ///< 3101 the animal's name, 3102 the owner's first name
};

enum class PatientSex { Unknown, Male, Female };

/** What a request tells of the patient; every part is optional. */
struct Patient {
    QString number;
    QString owner;
    QString animal;
    std::optional<QDate> birthDate;
    std::optional<int> age; ///< whole years at the day given
    PatientSex sex = PatientSex::Unknown;
    std::optional<double> weight; ///< kg
};

/**
 * The patient of a record (6301, 6302 and the others carry the same fields). A birth date
 * that is no day, or one after today, and a weight that is no positive number raise Error
 * naming the line.
 */
Patient patient(const Record &record, NameOrder order, QDate today, const QString &fileName);

} // namespace Gdt
