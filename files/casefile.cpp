#include "files/casefile.h"

#include "core/apperror.h"
#include "core/dietcase.h"
#include "core/errorreport.h"
#include "core/germantext.h"
#include "core/stringtable.h"
#include "files/appsettings.h"
#include "files/programfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

using F = DietCase::Field;

const char *const codePage = "windows-1252";

constexpr int sFilter = 35;
constexpr int sInvalidTitle = 37;
constexpr int sInvalidText = 38;
constexpr int sKg = 130;
constexpr int sProduct = 901;
constexpr int sCannotSave = 2500;
constexpr int sOutsideCodePage = 2501;
constexpr int sLineBreak = 2502;
constexpr int sTooLong = 2503;

const QString empty = QStringLiteral("Empty");

// Lines 1 to 9 in order.
constexpr std::array<F, 9> textFields{F::ownerName,        F::petName,           F::todayWeight,
                                      F::targetWeight,     F::overweightPercent, F::ageYears,
                                      F::weeklyRateDuring, F::weeklyRateEnd,     F::dietEndDate};

QString orEmpty(const QString &text) {
    return text.isEmpty() ? empty : text;
}

bool isEmptyWord(const QString &slot) {
    return slot.compare(empty, Qt::CaseInsensitive) == 0;
}

std::optional<bool> toBool(const QString &slot) {
    if (slot.compare(u"True", Qt::CaseInsensitive) == 0)
        return true;
    if (slot.compare(u"False", Qt::CaseInsensitive) == 0)
        return false;
    return std::nullopt;
}

bool isMarker(const QString &slot, QStringView marker) {
    return slot.toUpper() == marker;
}

bool encodable(const QString &text) {
    QStringEncoder encoder(codePage);
    [[maybe_unused]] const QByteArray bytes = encoder(text);
    return !encoder.hasError() && !text.contains(QChar(0));
}

/** The error a failed read stands for, judged by what is at the path. */
AppError readError(const QString &path) {
    const QFileInfo info(path);
    if (!info.exists())
        return AppError(info.absoluteDir().exists() ? AppError::FileNotFound
                                                    : AppError::PathNotFound);
    if (!info.isReadable())
        return AppError(AppError::PermissionDenied);
    return AppError(AppError::PathFileAccess);
}

AppError writeError(const QFileDevice &file, const QString &path) {
    const QFileInfo info(path);
    if (file.error() == QFileDevice::ResourceError)
        return AppError(AppError::DiskFull);
    if (!info.absoluteDir().exists())
        return AppError(AppError::PathNotFound);
    if (!QFileInfo(info.absolutePath()).isWritable() || (info.exists() && !info.isWritable()))
        return AppError(AppError::PermissionDenied);
    return AppError(AppError::PathFileAccess);
}

} // namespace

namespace CaseFile {

QStringList lines(const DietCase &c) {
    QStringList out;
    for (const F field : textFields)
        out << orEmpty(c.text(field));
    out << QStringLiteral("EndText1") << orEmpty(c.text(F::species)) << QStringLiteral("EndList")
        << orEmpty(c.text(F::currentDate));
    // A new case starts its history today; a loaded one carries its first visit on.
    if (c.text(F::creationDate).isEmpty() && !c.creationDateVisible())
        out << orEmpty(c.text(F::currentDate)) << orEmpty(c.text(F::todayWeight));
    else
        out << orEmpty(c.text(F::creationDate)) << orEmpty(c.text(F::formerWeight));
    out << QStringLiteral("EndText2");
    for (int option = 1; option <= 4; ++option)
        out << (c.optionSelected(option) ? QStringLiteral("True") : QStringLiteral("False"));
    out << QStringLiteral("EndOption");
    return out;
}

QString unwritableReason(const DietCase &c) {
    for (int i = 0; i < DietCase::fieldCount; ++i) {
        const auto field = F(i);
        const int caption = DietCase::captionNumber(field);
        const QString &text = c.text(field);
        if (text.size() > maxLineLength)
            return str(sTooLong).arg(str(caption)).arg(maxLineLength);
        if (text.contains(u'\r') || text.contains(u'\n'))
            return str(sLineBreak).arg(str(caption));
        if (encodable(text))
            continue;
        QString refused;
        for (const char32_t ch : text.toUcs4()) {
            const QString one = QString::fromUcs4(&ch, 1);
            if (!encodable(one) && !refused.contains(one))
                refused += one;
        }
        return str(sOutsideCodePage).arg(str(caption), refused);
    }
    return {};
}

void write(const QStringList &lines, const QString &path) {
    QByteArray bytes;
    QStringEncoder encoder(codePage);
    for (const QString &line : lines) {
        bytes += encoder(line);
        bytes += "\r\n";
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw writeError(file, path);
    if (file.write(bytes) != bytes.size()) {
        const AppError error = writeError(file, path);
        file.cancelWriting();
        throw error;
    }
    // QSaveFile's commit does not see a failed final flush (a full disk): flush first.
    if (!file.flush()) {
        const AppError error = writeError(file, path);
        file.cancelWriting();
        throw error;
    }
    if (!file.commit())
        throw writeError(file, path);
}

Content read(const QString &path) {
    Content content;
    if (QFileInfo(path).isDir())
        throw AppError(AppError::PathFileAccess);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw readError(path);

    QStringDecoder decoder(codePage);
    for (int n = 0;; ++n) {
        QByteArray line = file.readLine(maxLineLength + 3);
        if (file.error() != QFileDevice::NoError)
            throw readError(path);
        const bool crlf = line.endsWith("\r\n");
        const bool bareLineFeed = !crlf && line.endsWith('\n');
        const bool tooLong = !line.endsWith('\n') && !file.atEnd();
        line.chop(crlf ? 2 : bareLineFeed ? 1 : 0);
        if (line.isEmpty())
            break; // an empty line ends the content
        if (n >= int(content.values.size()))
            throw AppError(AppError::SubscriptOutOfRange);
        // Lines of ours end in CR LF, hold no CR or NUL and are no UTF-8 text. What
        // comes after the 21 lines the reader does not look at.
        if (n < lineCount && (bareLineFeed || tooLong || line.contains('\r') ||
                              line.contains('\0') || (n == 0 && line.startsWith("\xEF\xBB\xBF")))) {
            content.malformed = true;
            break;
        }
        content.values[n] = decoder(line);
        if (tooLong)
            break;
    }
    return content;
}

bool isValid(const Content &content) {
    const auto &s = content.values;
    if (content.malformed)
        return false;
    if (!isMarker(s[9], u"ENDTEXT1") || !isMarker(s[11], u"ENDLIST") ||
        !GermanText::toDate(s[12]) || !isMarker(s[15], u"ENDTEXT2") ||
        !isMarker(s[20], u"ENDOPTION"))
        return false;
    for (int slot = 16; slot <= 19; ++slot) {
        if (!toBool(s[slot]))
            return false;
    }
    return true;
}

void fill(DietCase &c, const Content &content) {
    const auto &s = content.values;
    const auto setUnlessEmpty = [&](F field, const QString &slot) {
        if (!isEmptyWord(slot))
            c.setText(field, slot);
    };
    setUnlessEmpty(F::ownerName, s[0]);
    setUnlessEmpty(F::petName, s[1]);
    c.setText(F::todayWeight, QString()); // the new weighing is typed in
    for (int i = 3; i <= 8; ++i)
        setUnlessEmpty(textFields[i], s[i]);
    setUnlessEmpty(F::species, s[10]);

    const bool hasDate = !isEmptyWord(s[13]);
    c.setText(F::creationDate, hasDate ? s[13] : QString());
    c.setCreationDateVisible(hasDate);

    const bool hasWeight = !isEmptyWord(s[14]);
    QString former;
    if (hasWeight)
        former = s[14].contains(u"kg") ? s[14] : s[14] + u' ' + str(sKg);
    c.setText(F::formerWeight, former);
    c.setFormerWeightVisible(hasWeight);

    for (int option = 1; option <= 4; ++option)
        c.setOptionSelected(option, *toBool(s[15 + option]));
}

bool load(DietCase &c, const QString &path) {
    const Content content = read(path);
    if (!isValid(content))
        return false;
    fill(c, content);
    return true;
}

} // namespace CaseFile

void create_txt(const DietCase &c, const ErrorReporter &errors) {
    UserInterface &ui = errors.ui();
    const auto path = ui.saveFileName(ProgramFolder::reportsFolder(), str(sFilter));
    if (!path)
        return;
    if (const QString reason = CaseFile::unwritableReason(c); !reason.isEmpty()) {
        ui.message(str(sCannotSave) + u'\n' + reason, UserInterface::Icon::Exclamation,
                   str(sProduct));
        return;
    }
    try {
        CaseFile::write(CaseFile::lines(c), *path);
    } catch (const AppError &e) {
        errors.ReportError(e, QStringLiteral("create_txt"));
    }
}

void read_txt(DietCase &c, const ErrorReporter &errors) {
    if (const auto path = errors.ui().openFileName(ProgramFolder::reportsFolder(), str(sFilter)))
        read_txt(c, errors, *path);
}

void read_txt(DietCase &c, const ErrorReporter &errors, const QString &path) {
    try {
        if (!CaseFile::load(c, path))
            errors.ui().message(str(sInvalidText), UserInterface::Icon::Critical,
                                str(sInvalidTitle));
    } catch (const AppError &e) {
        errors.ReportError(e, QStringLiteral("read_txt"));
    }
}
