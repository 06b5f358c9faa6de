#pragma once

#include <QString>
#include <QStringList>

#include <array>

class DietCase;
class ErrorReporter;

/**
 * The case file: 21 lines in Windows-1252, each ended by CR LF, a line-by-line image of
 * the input form. Files of earlier versions load unchanged.
 */
namespace CaseFile {

constexpr int lineCount = 21;
/** Longest line we write or read; no typed field comes near it. */
constexpr int maxLineLength = 65536;

/** The 21 lines of a case as they are written. */
QStringList lines(const DietCase &dietCase);

/**
 * Why the case cannot be written without loss (a character outside the code page, a
 * line break, an overlong text), naming the field; empty when it can.
 */
QString unwritableReason(const DietCase &dietCase);

/** Writes the lines atomically: a failed save leaves the earlier file intact. */
void write(const QStringList &lines, const QString &path);

/** The values of lines 1 to 22 read from a file; raises AppError when it cannot be read. */
struct Content {
    std::array<QString, 22> values;
    bool malformed = false; ///< a line the format cannot have (bare line feed, NUL, too long)
};
Content read(const QString &path);

/** Every check a file must pass before anything on the form changes. */
bool isValid(const Content &content);

/** Fills the form from valid content, in the order that lets the file's values win. */
void fill(DietCase &dietCase, const Content &content);

/** Loads a file into the case: true when loaded, false when the file failed its checks. */
bool load(DietCase &dietCase, const QString &path);

} // namespace CaseFile

/** The "Daten speichern" command: asks for a file name and writes the case. */
void create_txt(const DietCase &dietCase, const ErrorReporter &errors);

/** The "Daten laden" command: asks for a file, checks it and fills the form. */
void read_txt(DietCase &dietCase, const ErrorReporter &errors);

/** The same for a file already chosen, as when the desktop opens a case file with us. */
void read_txt(DietCase &dietCase, const ErrorReporter &errors, const QString &path);
