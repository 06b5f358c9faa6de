// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/casehistory.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

#include "core/dietcase.h"

class ErrorReporter;

/**
 * The case file: 21 lines in Windows-1252, each ended by CR LF, a line-by-line image of
 * the input form, and after an empty line an optional extension block:
 *
 *     [Korvalo]
 *     BCS=7
 *     Futter=Light Trockenfutter
 *     Energiegehalt=350
 *     BCSGewicht=34
 *     Ration=90
 *     RationAngepasst=01.09.2026
 *     Wiegung=01.09.2026;30
 *
 * Readers of 21 lines stop at the empty line. Files of earlier versions load unchanged.
 */
namespace CaseFile {

constexpr int lineCount = 21;
/** Longest line we write or read; no typed field comes near it. */
constexpr int maxLineLength = 65536;

/** The 21 lines of a case as they are written. */
QStringList lines(const DietCase &c);

/** Header of the extension block and the key of a weighing ("Wiegung=dd.MM.yyyy;kg"). */
inline constexpr QStringView blockHeader = u"[Korvalo]";
inline constexpr QStringView weighingKey = u"Wiegung";
/** The ration percent when not 100 ("Ration=90"). */
inline constexpr QStringView rationKey = u"Ration";
/** The weighing the ration was last adjusted after ("RationAngepasst=08.12.2026"). */
inline constexpr QStringView rationAdjustedKey = u"RationAngepasst";
/** The weight of the visit that gave the body condition score ("BCSGewicht=34"). */
inline constexpr QStringView scoreWeightKey = u"BCSGewicht";

/** The practice system's patient number of a case opened by GDT ("Patientennummer=4711"). */
inline constexpr QStringView patientNumberKey = u"Patientennummer";

/** The block's keys of fields typed on the form, written as typed when not empty. */
struct BlockField {
    QStringView key;
    DietCase::Field field;
};
extern const std::array<BlockField, 3> blockFields;

/**
 * What follows line 21: an empty line, the header, the ration's fields, the recorded
 * weighings, then the unknown keys as loaded. Empty when there is nothing to record.
 */
QStringList extensionLines(const DietCase &c);

/**
 * Why the case cannot be written without loss (a character outside the code page, a
 * line break, an overlong text), naming the field; empty when it can.
 */
QString unwritableReason(const DietCase &c);

/**
 * Writes the lines atomically: a failed save leaves the earlier file intact. What was
 * written is remembered for changedSince().
 */
void write(const QStringList &lines, const QString &path);

/**
 * The values of lines 1 to 22 and the extension block read from a file; raises AppError
 * when it cannot be read.
 */
struct Content {
    std::array<QString, 22> values;
    /// one of the 21 lines is one the format cannot have (bare line feed, NUL, too long)
    bool malformed = false;
    /// lines of the block not understood, kept in unknownKeys (empty lines not counted)
    int notUnderstood = 0;
    CaseHistory weighings;             ///< the block's weighings
    std::array<QString, 3> blockTexts; ///< the block's field texts, as blockFields lists them
    int rationPercent = 100;
    QDate rationAdjustedFor;
    std::optional<double> scoreWeight;
    QString patientNumber;
    QStringList unknownKeys; ///< the block's other lines, in file order
    QByteArray bytes;        ///< the whole file, when it was read to its end
};
Content read(const QString &path);
/** The same from an open device; the path names it in errors. */
Content read(QIODevice &device, const QString &path);

/**
 * The weighings a loaded case holds: the block's, or without any there the one of lines
 * 14 and 15 when they read as date and weight.
 */
CaseHistory history(const Content &content);

/**
 * Whether the file at the path differs from what this program last read from it (a
 * load) or wrote to it. False when it did neither or the file cannot be read.
 */
bool changedSince(const QString &path);

/** Every check a file must pass before anything on the form changes. */
bool isValid(const Content &content);

/** Fills the form from valid content, in the order that lets the file's values win. */
void fill(DietCase &c, const Content &content);

/**
 * Loads a file into the case: true when loaded, false when the file failed its checks. The
 * number of the block's lines not understood goes to notUnderstood when given.
 */
bool load(DietCase &c, const QString &path, int *notUnderstood = nullptr);

} // namespace CaseFile

/**
 * The "Daten speichern" command: asks for a file name, proposing the case's own file, and
 * writes the case; a name typed without extension gets ".kvl" (a name given by a program,
 * `typedName` false, is kept as it is). When another workstation saved the case's own file
 * since this program read or wrote it, its changes and weighings are taken into the case
 * first, asking about values changed on both sides; over another file changed elsewhere it
 * asks first. True when the case was saved.
 */
bool create_txt(DietCase &c, const ErrorReporter &errors, bool typedName = true);

/** The "Daten laden" command: asks for a file, checks it and fills the form; true when loaded. */
bool read_txt(DietCase &c, const ErrorReporter &errors);

/**
 * The same for a file already chosen, as when the desktop opens a case file with us;
 * true when the case was loaded.
 */
bool read_txt(DietCase &c, const ErrorReporter &errors, const QString &path);
