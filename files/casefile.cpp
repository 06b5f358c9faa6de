// SPDX-License-Identifier: GPL-3.0-or-later

#include "files/casefile.h"

#include "core/apperror.h"
#include "core/casemerge.h"
#include "core/dietcase.h"
#include "core/errorreport.h"
#include "core/germantext.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "files/appsettings.h"
#include "files/atomicfile.h"
#include "files/caselock.h"
#include "files/programfolder.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

using F = DietCase::Field;

const char *const codePage = "windows-1252";

// The block is short: 501 weighings and a few keys. More is no file of ours.
constexpr qint64 maxBlockBytes = 1 << 20;
// An editor that saved the file as UTF-8 put this first; the text then is UTF-8.
constexpr QByteArrayView utf8Mark = "\xEF\xBB\xBF";

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
    if (info.isDir())
        return AppError(AppError::PathFileAccess);
    if (!info.exists())
        return AppError(info.absoluteDir().exists() ? AppError::FileNotFound
                                                    : AppError::PathNotFound);
    if (!info.isReadable())
        return AppError(AppError::PermissionDenied);
    return AppError(AppError::PathFileAccess);
}

/** One line as QIODevice::readLine(maxLineLength + 3) gives it, with what is wrong with it. */
struct Line {
    QByteArray text;
    QString decoded; ///< the text in the code page
    bool bareLineFeed = false;
    bool tooLong = false;
};

/**
 * The lines of a file as QIODevice::readLine(maxLineLength + 3) gives them. A small
 * regular file is read whole in one call, which a folder of cases needs to list fast.
 */
class LineSource {
public:
    LineSource(QIODevice &file, const QString &path, bool regular)
        : m_file(file)
        , m_path(path) {
        constexpr qint64 wholeFile = 1 << 20;
        m_decoder.resetState();
        if (regular && file.size() <= wholeFile) {
            m_bytes = file.read(file.size());
            if (failed(file))
                throw readError(path);
            m_whole = true;
            m_utf8 = m_bytes.startsWith(utf8Mark);
            if (m_utf8) {
                // Saved twice by such an editor, the file has the mark twice.
                while (QByteArrayView(m_bytes).sliced(m_pos).startsWith(utf8Mark))
                    m_pos += utf8Mark.size();
                return;
            }
            // One byte is one character in the code page: decoded at once, the lines are
            // cut from the text at the bytes' places.
            m_text = m_decoder(m_bytes);
            m_decoder.resetState();
            if (m_text.size() != m_bytes.size())
                m_text.clear();
        }
    }

    Line next() {
        Line line;
        if (m_whole) {
            qsizetype end = m_bytes.indexOf('\n', m_pos);
            end = std::min(end < 0 ? m_bytes.size() : end + 1, m_pos + CaseFile::maxLineLength + 2);
            line.text = m_bytes.mid(m_pos, end - m_pos);
            if (!m_text.isEmpty())
                line.decoded = m_text.mid(m_pos, end - m_pos);
            m_pos = end;
        } else {
            line.text = m_file.readLine(CaseFile::maxLineLength + 3);
            if (failed(m_file))
                throw readError(m_path);
            if (m_bytes.isEmpty() && line.text.startsWith(utf8Mark)) {
                m_utf8 = true;
                m_bytes += line.text;
                while (line.text.startsWith(utf8Mark))
                    line.text.remove(0, utf8Mark.size());
            } else {
                m_bytes += line.text;
            }
        }
        const bool crlf = line.text.endsWith("\r\n");
        line.bareLineFeed = !crlf && line.text.endsWith('\n');
        line.tooLong = !line.text.endsWith('\n') && !atEnd();
        const int chop = crlf ? 2 : line.bareLineFeed ? 1 : 0;
        line.text.chop(chop);
        if (m_whole && !m_text.isEmpty())
            line.decoded.chop(chop);
        else
            line.decoded = m_utf8 ? utf8OrCodePage(line.text) : m_decoder(line.text);
        return line;
    }

    bool atEnd() const { return m_whole ? m_pos >= m_bytes.size() : m_file.atEnd(); }

    /** A line of a file marked as UTF-8; a line that is no UTF-8 is in the code page. */
    static QString utf8OrCodePage(const QByteArray &text) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString decoded = utf8(text);
        return utf8.hasError() ? m_decoder(text) : decoded;
    }
    /** Everything read so far; the whole file once atEnd(). */
    QByteArray bytes() const { return m_whole ? m_bytes.left(m_pos) : m_bytes; }

private:
    static bool failed(QIODevice &device) {
        const auto *file = qobject_cast<QFileDevice *>(&device);
        return file && file->error() != QFileDevice::NoError;
    }

    QIODevice &m_file;
    const QString &m_path;
    // Made once per thread: setting up the code page costs as much as reading a case.
    static inline thread_local QStringDecoder m_decoder{codePage};
    QByteArray m_bytes;
    QString m_text;
    qsizetype m_pos = 0;
    bool m_whole = false;
    bool m_utf8 = false; ///< saved by an editor as UTF-8 with a byte-order mark
};

bool isPositiveWeight(std::optional<double> weight) {
    return weight && *weight > 0;
}

/** A weight as people write it: "12,5", " 12,5 kg"; positive. */
std::optional<double> weightFrom(QStringView text) {
    text = text.trimmed();
    if (text.endsWith(u"kg", Qt::CaseInsensitive))
        text = text.chopped(2).trimmed();
    const auto weight = GermanText::toNumber(text);
    return isPositiveWeight(weight) ? weight : std::nullopt;
}

/** "dd.MM.yyyy;kg" as we write it, or as a hand writes it ("1.11.2026;12 kg"). */
std::optional<Weighing> weighingFrom(QStringView value) {
    const qsizetype semicolon = value.indexOf(u';');
    if (semicolon < 0)
        return std::nullopt;
    const auto date = GermanText::toDate(value.left(semicolon));
    const auto weight = weightFrom(value.mid(semicolon + 1));
    if (!date || !weight)
        return std::nullopt;
    return Weighing{*date, *weight};
}

// The ration percent as written: a whole number without sign or blanks.
std::optional<int> rationFrom(QStringView text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 1 || value > 1000 || QString::number(value) != text)
        return std::nullopt;
    return value;
}

/**
 * Reads what follows the first empty line. What it understands fills the content; any other
 * line is kept as it was for the next save and counted, so a file edited by hand still loads.
 * Lines that cannot be written back as lines of ours (a CR or NUL inside, overlong, beyond
 * the block's size, a character the code page lacks) are left out.
 */
void readBlock(LineSource &source, CaseFile::Content &content) {
    QStringList lines;
    qint64 size = 0;
    while (!source.atEnd()) {
        const Line line = source.next();
        size += line.text.size();
        if (line.tooLong || size > maxBlockBytes || line.text.contains('\r') ||
            line.text.contains('\0'))
            continue;
        // Printable Latin-1 is in the code page; only a rarer character asks the encoder,
        // which costs.
        if (std::any_of(line.decoded.begin(), line.decoded.end(),
                        [](QChar c) {
                            return c.unicode() > 0xFF ||
                                   (c.unicode() >= 0x80 && c.unicode() < 0xA0);
                        }) &&
            !encodable(line.decoded))
            continue;
        lines << line.decoded;
    }
    // Empty lines at the very end are no content.
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    bool header = false;
    QList<QStringView> seen; // each key but a weighing's counts once
    const auto keep = [&](const QString &line) {
        content.unknownKeys << line;
        if (!line.isEmpty())
            ++content.notUnderstood;
    };
    for (const QString &line : std::as_const(lines)) {
        if (!header && line.trimmed().compare(CaseFile::blockHeader, Qt::CaseInsensitive) == 0) {
            header = true;
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        const QStringView key = eq > 0 ? QStringView(line).left(eq) : QStringView();
        const QStringView value = QStringView(line).mid(eq + 1);
        if (key == CaseFile::weighingKey) {
            // Sorted by date; a date written twice keeps its later line.
            const auto weighing = weighingFrom(value);
            const bool room =
                weighing &&
                (content.weighings.size() < CaseHistory::capacity ||
                 std::any_of(content.weighings.weighings().begin(),
                             content.weighings.weighings().end(),
                             [&](const Weighing &w) { return w.date == weighing->date; }));
            if (room)
                content.weighings.record(*weighing);
            else
                keep(line);
            continue;
        }
        if (key.isEmpty() || seen.contains(key)) {
            keep(line);
            continue;
        }
        const auto field = std::find_if(CaseFile::blockFields.begin(), CaseFile::blockFields.end(),
                                        [&](const auto &f) { return f.key == key; });
        bool taken = false;
        if (field != CaseFile::blockFields.end()) {
            content.blockTexts[field - CaseFile::blockFields.begin()] = value.toString();
            taken = true;
        } else if (key == CaseFile::rationKey) {
            if (const auto percent = rationFrom(value)) {
                content.rationPercent = *percent;
                taken = true;
            }
        } else if (key == CaseFile::rationAdjustedKey) {
            if (const auto date = GermanText::toDate(value)) {
                content.rationAdjustedFor = *date;
                taken = true;
            }
        } else if (key == CaseFile::patientNumberKey) {
            content.patientNumber = value.trimmed().toString();
            taken = !content.patientNumber.isEmpty();
        } else if (key == CaseFile::scoreWeightKey) {
            if (const auto weight = weightFrom(value)) {
                content.scoreWeight = weight;
                taken = true;
            }
        }
        if (taken)
            seen << key;
        else
            keep(line);
    }
    // Written after the known keys, an empty line at the end would end the file instead.
    while (!content.unknownKeys.isEmpty() && content.unknownKeys.last().isEmpty())
        content.unknownKeys.removeLast();
}

// What this program last read from or wrote to each file: the base a later save of the
// case merges another workstation's changes against.
struct Ledger {
    QMutex mutex;
    QHash<QString, QByteArray> contents;
};

Ledger &ledger() {
    static Ledger l;
    return l;
}

QString ledgerKey(const QString &path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

void remember(const QString &path, const QByteArray &bytes) {
    const QString key = ledgerKey(path);
    const QMutexLocker lock(&ledger().mutex);
    ledger().contents.insert(key, bytes);
}

QByteArray known(const QString &path) {
    const QMutexLocker lock(&ledger().mutex);
    return ledger().contents.value(ledgerKey(path));
}

} // namespace

namespace CaseFile {

const std::array<BlockField, 3> blockFields{{
    {u"BCS", F::bodyCondition},
    {u"Futter", F::foodName},
    {u"Energiegehalt", F::energyDensity},
}};

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

QStringList extensionLines(const DietCase &c) {
    const CaseHistory history = c.recordedHistory();
    // A key left out when empty is written all the same where a later line of the same key
    // was kept: read again, that one would take its place.
    const auto kept = [&c](QStringView key) {
        return std::any_of(c.unknownKeys().begin(), c.unknownKeys().end(),
                           [key](const QString &line) {
                               return line.startsWith(key) && line.mid(key.size(), 1) == u"=";
                           });
    };
    QStringList out{QString(), blockHeader.toString()};
    for (const BlockField &f : blockFields) {
        if (!c.text(f.field).isEmpty() || kept(f.key))
            out << f.key.toString() + u'=' + c.text(f.field);
    }
    const auto today = GermanText::toNumber(c.text(F::todayWeight));
    const auto scoreWeight = c.scoreWeight()
                                 ? c.scoreWeight()
                                 : (c.text(F::bodyCondition).isEmpty() ? std::nullopt : today);
    if (isPositiveWeight(scoreWeight))
        out << scoreWeightKey.toString() + u'=' + GermanText::fromNumber(*scoreWeight);
    if (c.rationPercent() != 100 || kept(rationKey))
        out << rationKey.toString() + u'=' + QString::number(c.rationPercent());
    if (c.rationAdjustedFor().isValid())
        out << rationAdjustedKey.toString() + u'=' + GermanText::fromDate(c.rationAdjustedFor());
    if (!c.patientNumber().isEmpty())
        out << patientNumberKey.toString() + u'=' + c.patientNumber();
    if (out.size() == 2 && history.isEmpty() && c.unknownKeys().isEmpty())
        return {};
    for (const Weighing &w : history.weighings())
        out << weighingKey.toString() + u'=' + GermanText::fromDate(w.date) + u';' +
                   GermanText::fromNumber(w.weight);
    out << c.unknownKeys();
    return out;
}

QString unwritableReason(const DietCase &c) {
    if (c.recordedHistory().size() > CaseHistory::capacity)
        return str(S::TooManyWeighings).arg(CaseHistory::capacity);
    for (int i = 0; i < DietCase::fieldCount; ++i) {
        const auto field = F(i);
        const int caption = DietCase::captionNumber(field);
        const QString &text = c.text(field);
        if (text.size() > maxLineLength)
            return str(S::TooLong).arg(str(caption)).arg(maxLineLength);
        if (text.contains(u'\r') || text.contains(u'\n'))
            return str(S::LineBreak).arg(str(caption));
        if (encodable(text))
            continue;
        QString refused;
        for (const char32_t ch : text.toUcs4()) {
            const QString one = QString::fromUcs4(&ch, 1);
            if (!encodable(one) && !refused.contains(one))
                refused += one;
        }
        return str(S::OutsideCodePage).arg(str(caption), refused);
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
    AtomicFile::write(path, bytes);
    remember(path, bytes);
}

Content read(const QString &path) {
    // A folder fails to open as a file; no look at the path beforehand.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw readError(path);
    return read(file, path);
}

Content read(QIODevice &file, const QString &path) {
    Content content;
    LineSource source(file, path, !file.isSequential());

    bool emptyLine = false;
    for (int n = 0;; ++n) {
        Line line = source.next();
        if (line.text.isEmpty()) {
            emptyLine = !source.atEnd();
            break; // an empty line ends the 21 lines
        }
        if (n >= int(content.values.size()))
            throw AppError(AppError::SubscriptOutOfRange);
        // Lines of ours end in CR LF and hold no CR or NUL; the block after the 21 lines is
        // read on its own terms.
        if (n < lineCount && (line.bareLineFeed || line.tooLong || line.text.contains('\r') ||
                              line.text.contains('\0'))) {
            content.malformed = true;
            break;
        }
        content.values[n] = line.decoded;
        if (line.tooLong)
            break;
    }
    if (emptyLine && !content.malformed)
        readBlock(source, content);
    if (source.atEnd() && !content.malformed)
        content.bytes = source.bytes();
    return content;
}

CaseHistory history(const Content &content) {
    if (!content.weighings.isEmpty())
        return content.weighings;
    CaseHistory history;
    const auto date = GermanText::toDate(content.values[13]);
    const auto weight = weightFrom(content.values[14]);
    if (date && weight)
        history.append({*date, *weight});
    // Saved at a follow-up by a program without the block: that visit's date and weight
    // stand in lines 13 and 3.
    const auto visit = GermanText::toDate(content.values[12]);
    const auto visitWeight = weightFrom(content.values[2]);
    if (!history.isEmpty() && visit && visitWeight && *visit > *date)
        history.append({*visit, *visitWeight});
    return history;
}

bool changedSince(const QString &path) {
    const QByteArray before = known(path);
    if (before.isEmpty())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // One byte more than we know tells a longer file.
    return file.read(before.size() + 1) != before;
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
        former = s[14].contains(u"kg") ? s[14] : s[14] + u' ' + str(S::KgUnit);
    c.setText(F::formerWeight, former);
    c.setFormerWeightVisible(hasWeight);

    for (int option = 1; option <= 4; ++option)
        c.setOptionSelected(option, *toBool(s[15 + option]));

    for (std::size_t i = 0; i < blockFields.size(); ++i)
        c.setText(blockFields[i].field, content.blockTexts[i]);
    c.setRationPercent(content.rationPercent);
    c.setRationAdjustedFor(content.rationAdjustedFor);
    const CaseHistory weighings = history(content);
    c.setHistory(weighings);
    c.setUnknownKeys(content.unknownKeys);
    // A score saved before its weight was: it was most likely given at the first visit.
    std::optional<double> scoreWeight = content.scoreWeight;
    if (!scoreWeight && !c.text(F::bodyCondition).isEmpty() && !weighings.isEmpty())
        scoreWeight = weighings.weighings().first().weight;
    c.setScoreWeight(scoreWeight);
    c.setPatientNumber(content.patientNumber);
}

bool load(DietCase &c, const QString &path, int *notUnderstood) {
    const Content content = read(path);
    if (!isValid(content))
        return false;
    // A line written "Empty" leaves its field empty, not as the case before left it: Bello's
    // age was saved into every case loaded after his.
    c.clearInputs();
    fill(c, content);
    c.setFilePath(QFileInfo(path).absoluteFilePath());
    if (notUnderstood)
        *notUnderstood = content.notUnderstood;
    if (!content.bytes.isEmpty())
        remember(path, content.bytes);
    return true;
}

} // namespace CaseFile

namespace {
// How long a save waits for another workstation's save of the same file.
constexpr int lockWaitMs = 5000;

/** The case as a file's content loads it. */
void loadInto(DietCase &c, const CaseFile::Content &content) {
    c.clearInputs();
    CaseFile::fill(c, content);
}

/**
 * What another workstation saved to the case's file since this program read or wrote it,
 * compared with the case as edited here.
 */
class Elsewhere {
public:
    Elsewhere(const DietCase &c, const QString &path)
        : m_path(path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw readError(path);
        m_bytes = file.readAll();
        QBuffer before;
        before.setData(known(path));
        before.open(QIODevice::ReadOnly);
        QBuffer now(&m_bytes);
        now.open(QIODevice::ReadOnly);
        const CaseFile::Content base = CaseFile::read(before, path);
        const CaseFile::Content there = CaseFile::read(now, path);
        // Saved over another file than its own, or the file is no case any more: nothing
        // to merge with, the user decides.
        m_mergeable = QFileInfo(path) == QFileInfo(c.filePath()) && CaseFile::isValid(base) &&
                      CaseFile::isValid(there);
        if (!m_mergeable)
            return;
        loadInto(m_base, base);
        loadInto(m_there, there);
        m_comparison = CaseMerge::compare(c, m_base, m_there);
    }

    /** The file as it was read. */
    const QByteArray &bytes() const { return m_bytes; }
    bool mergeable() const { return m_mergeable; }

    /** Whether the user has a choice to make. */
    bool asks() const {
        return !m_mergeable || !m_comparison.differences.isEmpty() ||
               !m_comparison.clashes.isEmpty();
    }

    /** Asks what asks() says; false when the user calls the save off. */
    bool ask(UserInterface &ui, QList<bool> &takeThere) const {
        const QString name = QFileInfo(m_path).fileName();
        if (!m_mergeable)
            return ui.message(str(S::ChangedElsewhere).arg(name), UserInterface::Icon::Question,
                              str(S::Product), UserInterface::Buttons::YesNo,
                              UserInterface::Answer::No) == UserInterface::Answer::Yes;
        if (!m_comparison.differences.isEmpty()) {
            QStringList lines;
            for (const CaseMerge::Difference &d : m_comparison.differences)
                lines << d.line();
            const QString text = str(S::ChangedBothSides).arg(name) + u"\n\n" + lines.join(u'\n') +
                                 u"\n\n" + str(S::SaveOwnValues);
            if (ui.message(text, UserInterface::Icon::Question, str(S::Product),
                           UserInterface::Buttons::YesNo,
                           UserInterface::Answer::No) != UserInterface::Answer::Yes)
                return false;
        }
        for (const CaseMerge::Clash &clash : m_comparison.clashes) {
            const QString there = GermanText::fromNumber(clash.there);
            const QString here = GermanText::fromNumber(clash.here);
            const UserInterface::Answer answer = ui.choose(
                str(S::WeighingClash).arg(GermanText::fromDate(clash.date), there, here),
                str(S::Product), str(S::KeepThere).arg(there), str(S::KeepHere).arg(here));
            if (answer == UserInterface::Answer::Cancel)
                return false;
            takeThere << (answer == UserInterface::Answer::Yes);
        }
        return true;
    }

    void apply(DietCase &c, const QList<bool> &takeThere) const {
        if (m_mergeable)
            CaseMerge::apply(c, m_base, m_there, takeThere);
    }

private:
    QString m_path;
    QByteArray m_bytes;
    bool m_mergeable = false;
    DietCase m_base;
    DietCase m_there;
    CaseMerge::Comparison m_comparison;
};
} // namespace

bool create_txt(DietCase &c, const ErrorReporter &errors, bool typedName) {
    UserInterface &ui = errors.ui();
    // A loaded case goes back where it came from, unless the user names another file.
    const QFileInfo own(c.filePath());
    const bool hasOwn = !c.filePath().isEmpty() && own.absoluteDir().exists();
    auto path = ui.saveFileName(hasOwn ? own.absolutePath() : ProgramFolder::caseFolderFor(ui),
                                str(S::Filter), hasOwn ? own.fileName() : QString());
    if (!path)
        return false;
    if (typedName && QFileInfo(*path).suffix().isEmpty()) {
        // Else the file falls out of Fälle and out of the desktop's file type. The dialog asked
        // about the name as typed: a file of the longer name is asked about here.
        *path += QStringLiteral(".kvl");
        if (QFileInfo::exists(*path) && QFileInfo(*path) != own &&
            ui.message(str(S::ReplaceFile).arg(QFileInfo(*path).fileName()),
                       UserInterface::Icon::Question, str(S::Product),
                       UserInterface::Buttons::YesNo,
                       UserInterface::Answer::No) != UserInterface::Answer::Yes)
            return false;
    }
    // Check and write are one step: a second workstation's save waits for this one. The
    // lock is not held while the user decides about another workstation's changes; they are
    // taken in under it, as the user decided about them, or asked about again.
    std::optional<QByteArray> decidedOn;
    QList<bool> takeThere;
    for (;;) {
        CaseLock::Holder holder;
        std::optional<CaseLock> lock = CaseLock::take(*path, lockWaitMs, &holder);
        if (!lock && holder.since.isValid()) {
            ui.message(str(S::CaseLocked)
                           .arg(QFileInfo(*path).fileName(), holder.user, holder.host,
                                holder.since.toLocalTime().toString(QStringLiteral("HH:mm"))),
                       UserInterface::Icon::Exclamation, str(S::Product));
            return false;
        }
        // Without a lock file the folder refuses new files: the write below says so.
        try {
            if (CaseFile::changedSince(*path)) {
                const Elsewhere elsewhere(c, *path);
                if (elsewhere.asks() && elsewhere.bytes() != decidedOn) {
                    lock.reset();
                    takeThere.clear();
                    if (!elsewhere.ask(ui, takeThere))
                        return false;
                    decidedOn = elsewhere.bytes();
                    continue;
                }
                elsewhere.apply(c, takeThere);
                if (elsewhere.mergeable())
                    ui.status(str(S::MergedFromElsewhere));
            }
            // Checked after the merge: both sides' weighings may be more than a file holds.
            if (const QString reason = CaseFile::unwritableReason(c); !reason.isEmpty()) {
                ui.message(str(S::CannotSave) + u'\n' + reason, UserInterface::Icon::Exclamation,
                           str(S::Product));
                return false;
            }
            CaseFile::write(CaseFile::lines(c) + CaseFile::extensionLines(c), *path);
        } catch (const AppError &e) {
            errors.ReportError(e, QStringLiteral("create_txt"), *path); // which file it was
            return false;
        }
        break;
    }
    c.setFilePath(QFileInfo(*path).absoluteFilePath());
    return true;
}

bool read_txt(DietCase &c, const ErrorReporter &errors) {
    const auto path =
        errors.ui().openFileName(ProgramFolder::caseFolderFor(errors.ui()), str(S::Filter));
    return path && read_txt(c, errors, *path);
}

bool read_txt(DietCase &c, const ErrorReporter &errors, const QString &path) {
    try {
        int notUnderstood = 0;
        if (CaseFile::load(c, path, &notUnderstood)) {
            // Said once, not asked: the lines stay in the file at the next save.
            if (notUnderstood > 0)
                errors.ui().status(notUnderstood == 1
                                       ? str(S::OneLineNotUnderstood)
                                       : str(S::LinesNotUnderstood).arg(notUnderstood));
            return true;
        }
        errors.ui().message(str(S::InvalidText), UserInterface::Icon::Critical,
                            str(S::InvalidTitle));
    } catch (const AppError &e) {
        errors.ReportError(e, QStringLiteral("read_txt"), path);
    }
    return false;
}
