// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/planexporter.h"

#include "cli/exporterhost.h"
#include "controls/logoloader.h"
#include "controls/richtextcontrol.h"
#include "core/apperror.h"
#include "core/clock.h"
#include "core/computecommand.h"
#include "core/derivedfields.h"
#include "core/dietcase.h"
#include "core/errorreport.h"
#include "core/feeding.h"
#include "core/gdt.h"
#include "core/gdtcase.h"
#include "core/germantext.h"
#include "core/infosheet.h"
#include "core/progress.h"
#include "core/recordinguserinterface.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "core/version.h"
#include "files/appsettings.h"
#include "files/atomicfile.h"
#include "files/calendarfile.h"
#include "files/casefile.h"
#include "files/caseindex.h"
#include "files/casescanner.h"
#include "files/gdtrequest.h"
#include "files/gdtsettings.h"
#include "views/gdtresult.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <array>

namespace {

using F = DietCase::Field;

const QString usage = QStringLiteral(
    "Aufruf: korvalo-plan [--today TT.MM.JJJJ] [--owner TEXT] [--pet TEXT] [--species TEXT]\n"
    "                     [--sex männlich|weiblich] [--neuter kastriert|\"nicht kastriert\"]\n"
    "                     [--age TEXT] [--target TEXT] [--weight TEXT] [--overweight TEXT]\n"
    "                     [--rates WÄHREND ENDE] [--bcs N] [--food TEXT] [--kcal X]\n"
    "                     [--save DATEI] [--rtf-info DATEI] [--json] [--ics DATEI]\n"
    "                     [--pdf-chart DATEI] [--pdf-diary DATEI] [--pdf-info DATEI]\n"
    "                     [--gdt-out DATEI] [--gdt DATEI | FALL.kvl]\n"
    "       korvalo-plan --cases ORDNER [--json]\n"
    "       korvalo-plan --help | --version\n"
    "  --json             gibt den Plan als JSON aus, mit allen Wiegungen (history), dem\n"
    "                     Verlauf gegenüber der Kurve (progress) und dem Rat (advice).\n"
    "                     Dazu die Fütterung (feeding): Zielgewicht nach BCS, Ruheenergie-\n"
    "                     bedarf, Tagesration in kcal, Futter in kcal und g, Leckerli\n"
    "                     (Futter und Leckerli ergeben die Tagesration), Ration in Prozent.\n"
    "  --bcs N            Körperkondition 1 bis 9.\n"
    "  --food TEXT        Name des Futters.\n"
    "  --kcal X           Energiegehalt des Futters in kcal je 100 g (40 bis 700).\n"
    "  --save DATEI       speichert den Fall mit allen Wiegungen, die heutige eingeschlossen.\n"
    "  --rtf-info DATEI   schreibt das Infoblatt für Besitzer mit dem Logo als RTF.\n"
    "  --pdf-chart DATEI  druckt die Reduktionskurve mit den Logos als PDF (A4).\n"
    "  --pdf-diary DATEI  druckt den Diätplan mit Kopf- und Fußzeile als PDF (A4).\n"
    "  --pdf-info DATEI   druckt das Infoblatt für Besitzer als PDF (A4).\n"
    "  --ics DATEI        schreibt die Wiegetermine und den Tierarzttermin als iCalendar.\n"
    "  --gdt DATEI        liest eine GDT-Anfrage (6301, 6302) des Praxisprogramms: den Fall\n"
    "                     mit dieser Patientennummer, sonst einen neuen Fall.\n"
    "  --gdt-out DATEI    schreibt den Plan als GDT-Ergebnis (6310) mit Kurve, Diätplan und\n"
    "                     Infoblatt als PDF, nach den GDT-Einstellungen des Programms.\n"
    "  --cases ORDNER     listet die Fälle des Ordners nach Fälligkeit der nächsten\n"
    "                     Wiegung; übersprungene Dateien stehen mit ihrem Grund auf stderr.\n"
    "  --help, -h         zeigt diese Hilfe.\n"
    "  --version, -v      zeigt die Version.\n");

// Options that type into a field, in the order the fields are typed.
struct FieldOption {
    const char *name;
    F field;
};

constexpr std::array<FieldOption, 9> fieldOptions{{
    {"--owner", F::ownerName},
    {"--pet", F::petName},
    {"--species", F::species},
    {"--age", F::ageYears},
    {"--target", F::targetWeight},
    {"--weight", F::todayWeight},
    {"--bcs", F::bodyCondition},
    {"--food", F::foodName},
    {"--kcal", F::energyDensity},
}};

struct Request {
    std::optional<QDate> today;
    QHash<F, QString> typed;
    std::optional<int> sexOption;
    std::optional<int> neuterOption;
    std::optional<QString> overweight;
    std::optional<std::pair<QString, QString>> rates;
    bool json = false;
    QString caseFile;
    QString saveFile;
    QString rtfInfoFile;
    QString pdfChartFile;
    QString pdfDiaryFile;
    QString pdfInfoFile;
    QString icsFile;
    QString gdtFile;
    QString gdtOutFile;
    std::optional<QString> casesFolder;
};

struct UsageError {
    QString text;
};

// Qt reads a name starting with ':' as a built-in resource but writes it as a file: a case
// saved as ":Bello.kvl" could not be loaded again. Names on the command line are files.
QString fileArgument(const QString &name) {
    return name.startsWith(u':') ? u"./" + name : name;
}

Request parse(const QStringList &args) {
    Request r;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        const auto takeValue = [&]() -> QString {
            if (i + 1 >= args.size())
                throw UsageError{u"Option " + arg + u" braucht einen Wert."};
            return args[++i];
        };
        if (arg == u"--json") {
            r.json = true;
        } else if (arg == u"--today") {
            r.today = GermanText::toDate(takeValue());
            if (!r.today)
                throw UsageError{QStringLiteral("--today braucht ein Datum TT.MM.JJJJ.")};
        } else if (arg == u"--sex") {
            const QString v = takeValue();
            if (v != displayText(PetSex::Male) && v != displayText(PetSex::Female))
                throw UsageError{QStringLiteral("--sex ist männlich oder weiblich.")};
            r.sexOption = v == displayText(PetSex::Male) ? 1 : 2;
        } else if (arg == u"--neuter") {
            const QString v = takeValue();
            if (v != displayText(NeuterState::Neutered) && v != displayText(NeuterState::Intact))
                throw UsageError{
                    QStringLiteral("--neuter ist kastriert oder \"nicht kastriert\".")};
            r.neuterOption = v == displayText(NeuterState::Neutered) ? 3 : 4;
        } else if (arg == u"--save") {
            r.saveFile = fileArgument(takeValue());
        } else if (arg == u"--rtf-info") {
            r.rtfInfoFile = fileArgument(takeValue());
        } else if (arg == u"--pdf-chart") {
            r.pdfChartFile = fileArgument(takeValue());
        } else if (arg == u"--pdf-diary") {
            r.pdfDiaryFile = fileArgument(takeValue());
        } else if (arg == u"--pdf-info") {
            r.pdfInfoFile = fileArgument(takeValue());
        } else if (arg == u"--ics") {
            r.icsFile = fileArgument(takeValue());
        } else if (arg == u"--gdt") {
            r.gdtFile = fileArgument(takeValue());
        } else if (arg == u"--gdt-out") {
            r.gdtOutFile = fileArgument(takeValue());
        } else if (arg == u"--cases") {
            r.casesFolder = fileArgument(takeValue());
        } else if (arg == u"--overweight") {
            r.overweight = takeValue();
        } else if (arg == u"--rates") {
            const QString during = takeValue();
            r.rates = {during, takeValue()};
        } else if (arg.startsWith(u"--")) {
            const auto it =
                std::find_if(fieldOptions.begin(), fieldOptions.end(), [&](const FieldOption &o) {
                    return arg == QLatin1StringView(o.name);
                });
            if (it == fieldOptions.end())
                throw UsageError{u"Unbekannte Option " + arg + u'.'};
            r.typed[it->field] = takeValue();
        } else if (r.caseFile.isEmpty()) {
            r.caseFile = fileArgument(arg);
        } else {
            throw UsageError{QStringLiteral("Nur eine Falldatei ist möglich.")};
        }
    }
    return r;
}

QJsonValue number(const std::optional<double> &value) {
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QJsonObject fieldsJson(const DietCase &c) {
    QJsonObject fields;
    for (int i = 0; i < DietCase::fieldCount; ++i) {
        const auto f = static_cast<F>(i);
        fields.insert(DietCase::fieldName(f), c.text(f));
    }
    fields.insert(QStringLiteral("sex"), displayText(c.sex()));
    fields.insert(QStringLiteral("neuterState"), displayText(c.neuterState()));
    return fields;
}

QJsonValue text(const QString &value) {
    return value.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(value);
}

QJsonValue date(QDate value) {
    return value.isValid() ? QJsonValue(GermanText::fromDate(value)) : QJsonValue(QJsonValue::Null);
}

// A weighing too soon after the one before has no status.
QJsonValue statusJson(std::optional<ProgressStatus> status) {
    return status && *status != ProgressStatus::TooShort ? QJsonValue(Progress::statusText(*status))
                                                         : QJsonValue(QJsonValue::Null);
}

// The weighings as the save records them, and how each went against the curve.
void addFollowUp(QJsonObject &root, const DietCase &c, const ChartSetup &setup) {
    const CaseHistory history = c.recordedHistory();
    QJsonArray weighings;
    for (const Weighing &w : history.weighings())
        weighings.append(QJsonObject{{QStringLiteral("date"), date(w.date)},
                                     {QStringLiteral("weight"), w.weight}});
    const Clinical::Animal animal = Clinical::animalOf(c.text(F::species));
    const QList<ProgressRow> rows = Progress::rows(
        history, setup.plan, GermanText::parseNumber(c.text(F::targetWeight)), animal);
    QJsonArray progress;
    for (const ProgressRow &row : rows)
        progress.append(QJsonObject{
            {QStringLiteral("date"), date(row.date)},
            {QStringLiteral("weight"), row.weight},
            {QStringLiteral("days"), row.days},
            {QStringLiteral("weeklyLossPercent"), row.weeklyLossPercent},
            {QStringLiteral("planned"), row.planned},
            {QStringLiteral("deviationKg"), row.deviationKg},
            {QStringLiteral("status"), statusJson(row.status)},
        });
    root.insert(QStringLiteral("history"), weighings);
    root.insert(QStringLiteral("progress"), progress);
    root.insert(QStringLiteral("advice"),
                text(Progress::advice(rows, animal, Feeding::atFloor(animal, c.rationPercent()))));
}

// The ration's figures; null where one does not apply.
QJsonObject feedingJson(const DietCase &c) {
    const Feeding::Figures f = Feeding::figures(c);
    const auto whole = [](const std::optional<int> &value) {
        return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
    };
    return QJsonObject{
        {QStringLiteral("bcs"), whole(f.bodyCondition)},
        {QStringLiteral("suggestedTarget"), number(f.suggestedTarget)},
        {QStringLiteral("rerKcal"), number(f.rerKcal)},
        {QStringLiteral("dailyKcal"), whole(f.dailyKcal)},
        {QStringLiteral("foodKcal"), whole(f.foodKcal)},
        {QStringLiteral("foodGrams"), whole(f.foodGrams)},
        {QStringLiteral("treatKcal"), whole(f.treatKcal)},
        {QStringLiteral("rationPercent"), whole(f.rationPercent)},
        {QStringLiteral("floorApplied"), f.floorApplied},
        {QStringLiteral("note"), text(f.note)},
    };
}

QByteArray casesJson(const CaseList &list) {
    QJsonArray cases;
    for (const CaseSummary &s : list.cases)
        cases.append(QJsonObject{
            {QStringLiteral("file"), s.file},
            {QStringLiteral("owner"), s.owner},
            {QStringLiteral("pet"), s.pet},
            {QStringLiteral("species"), s.species},
            {QStringLiteral("lastDate"), date(s.lastDate)},
            {QStringLiteral("lastWeight"), number(s.lastWeight)},
            {QStringLiteral("targetWeight"), number(GermanText::toNumber(s.targetWeight))},
            {QStringLiteral("status"), statusJson(s.status)},
            {QStringLiteral("due"), date(s.due)},
        });
    return QJsonDocument(cases).toJson(QJsonDocument::Indented);
}

void writeCases(QTextStream &out, const CaseList &list) {
    out << "Fällig      Besitzer             Tier            Spezies          letzte Wiegung"
           "        Ziel kg  Status\n";
    for (const CaseSummary &s : list.cases) {
        const QString last = s.lastDate.isValid() ? GermanText::fromDate(s.lastDate) + u' ' +
                                                        GermanText::fromNumber(*s.lastWeight, 2)
                                                  : QString();
        out << GermanText::fromDate(s.due).leftJustified(10) << "  " << s.owner.leftJustified(19)
            << "  " << s.pet.leftJustified(14) << "  " << s.species.leftJustified(15) << "  "
            << last.leftJustified(20) << "  " << s.targetWeight.rightJustified(7) << "  "
            << (s.status ? Progress::statusText(*s.status) : QString()) << '\n';
    }
}

int listCases(const QString &folder, bool json, QTextStream &out, QTextStream &err) {
    if (!QFileInfo(folder).isDir()) {
        err << "Den Ordner " << folder << " gibt es nicht.\n";
        return 2;
    }
    // The same index as the recall list: a second listing opens only what changed.
    const CaseList list = CaseScanner::scan({folder}, {}, CaseIndex::defaultPath());
    if (!list.folderErrors.isEmpty()) {
        err << list.folderErrors.join(u'\n') << '\n';
        return 2;
    }
    if (json)
        out << QString::fromUtf8(casesJson(list));
    else
        writeCases(out, list);
    if (!list.skipped.isEmpty()) {
        err << CaseScanner::skippedText(int(list.skipped.size())) << ":\n";
        for (const SkippedFile &f : list.skipped)
            err << "  " << QDir::toNativeSeparators(f.file) << ": " << f.reason << '\n';
    }
    return 0;
}

QByteArray planJson(const DietCase &c, const ChartSetup &setup) {
    QJsonArray rows;
    for (int row = 0; row < setup.plan.rowsShown; ++row) {
        const PlanPoint &p = setup.plan.grid[row];
        rows.append(QJsonObject{{QStringLiteral("date"), setup.plan.rowLabel(row)},
                                {QStringLiteral("planned"), number(p.planned)},
                                {QStringLiteral("measured"), number(p.measured)}});
    }
    QJsonObject root{
        {QStringLiteral("fields"), fieldsJson(c)},
        {QStringLiteral("plan"),
         QJsonObject{{QStringLiteral("startDate"), GermanText::fromDate(setup.plan.startDate)},
                     {QStringLiteral("rows"), rows}}},
        {QStringLiteral("valueAxis"),
         QJsonObject{{QStringLiteral("minimum"), number(setup.valueMinimum)},
                     {QStringLiteral("maximum"), number(setup.valueMaximum)},
                     {QStringLiteral("majorDivisions"), setup.valueMajorDivisions}}},
        {QStringLiteral("title"), setup.title},
        {QStringLiteral("footnote"), setup.footnote},
    };
    addFollowUp(root, c, setup);
    root.insert(QStringLiteral("feeding"), feedingJson(c));
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

void writeSummary(QTextStream &out, const DietCase &c, const ChartSetup &setup) {
    // The fields in the order of the input form.
    constexpr std::array shown{F::ownerName,   F::petName,          F::species,
                               F::todayWeight, F::targetWeight,     F::overweightPercent,
                               F::ageYears,    F::weeklyRateDuring, F::weeklyRateEnd,
                               F::dietEndDate, F::currentDate};
    out << QString(setup.title).replace(u'\r', u'\n') << "\n\n";
    for (const F field : shown)
        out << str(DietCase::captionNumber(field)).leftJustified(50) << c.text(field) << '\n';
    out << str(S::SexCaption).leftJustified(50)
        << QStringList{displayText(c.sex()), displayText(c.neuterState())}.join(u' ').trimmed()
        << "\n\n";

    for (const QString &line :
         GdtCase::weeklyTable(setup.plan, GermanText::parseNumber(c.text(F::targetWeight))))
        out << line << '\n';
}

QString unwritable(const QString &fileName) {
    return u"Die Datei " + fileName + u" lässt sich nicht schreiben.";
}

// Checked before anything is written, so that a bad path leaves no half of the output.
bool canWrite(const QString &fileName) {
    const QFileInfo file(fileName);
    if (file.exists())
        return file.isFile() && file.isWritable();
    const QFileInfo folder(file.absolutePath());
    return folder.isDir() && folder.isWritable();
}

// The info sheet as the view builds it; a missing logo is told but does not end the run.
bool writeInfoSheet(const QString &fileName, const DietCase &c, const AppSettings &settings,
                    QTextStream &err) {
    const QImage logo = LogoLoader::LoadPic(LogoLoader::defaultLogoName, settings);
    if (logo.isNull())
        err << str(S::NoLogo) << ' ' << str(S::Reinstall) << '\n';
    const Feeding::Figures figures = Feeding::figures(c);
    if (AtomicFile::tryWrite(fileName, infoSheetRtf(c.text(F::petName), c.text(F::species),
                                                    LogoLoader::pngBytes(logo),
                                                    Feeding::rationSentence(c, figures),
                                                    Feeding::rationInFigures(figures))))
        return true;
    err << unwritable(fileName) << '\n';
    return false;
}

} // namespace

int runPlanExporter(const QStringList &arguments, QTextStream &out, QTextStream &err) {
    // Help and version win over the rest of the line, as any argument; the plan options are
    // read by parse() (--rates takes two values, which QCommandLineParser has no option for).
    if (arguments.contains(u"--help") || arguments.contains(u"-h")) {
        out << usage;
        return 0;
    }
    if (arguments.contains(u"--version") || arguments.contains(u"-v")) {
        out << "korvalo-plan " << programVersion() << '\n';
        return 0;
    }
    Request request;
    try {
        request = parse(arguments);
    } catch (const UsageError &e) {
        err << e.text << '\n' << usage;
        return 2;
    }
    if (request.today)
        Clock::setToday(*request.today);
    if (request.casesFolder)
        return listCases(*request.casesFolder, request.json, out, err);
    if (!request.caseFile.isEmpty() && !QFileInfo::exists(request.caseFile)) {
        err << "Die Falldatei " << request.caseFile << " gibt es nicht.\n";
        return 2;
    }
    for (const QString &pdf : {request.pdfChartFile, request.pdfDiaryFile, request.pdfInfoFile,
                               request.icsFile, request.gdtOutFile}) {
        if (!pdf.isEmpty() && !canWrite(pdf)) {
            err << unwritable(pdf) << '\n';
            return 2;
        }
    }

    RecordingUserInterface ui;
    AppSettings settings;
    DietCase c;
    const ErrorReporter errors = settings.errorReporter(ui);
    DerivedFields derived(c, errors);
    // What the user would be told ends the run: nothing is saved or computed after it.
    const auto told = [&] {
        for (const auto &m : ui.messages)
            err << QString(m.text).replace(u'\n', u' ') << '\n';
        return !ui.messages.isEmpty();
    };

    // The request takes the place of a case file: the patient's own, or a new case.
    std::optional<GdtRequest> gdtRequest;
    if (!request.gdtFile.isEmpty()) {
        if (!request.caseFile.isEmpty()) {
            err << "Eine Falldatei und --gdt schließen einander aus.\n";
            return 2;
        }
        try {
            gdtRequest = GdtRequest::read(request.gdtFile,
                                          GdtSettings::load(AppSettings::fileName()).nameOrder,
                                          Clock::today(), AppSettings().caseFolders());
        } catch (const Gdt::Error &e) {
            err << e.description() << '\n';
            return 2;
        }
        gdtRequest->apply(c, errors);
        if (told())
            return 1;
    }
    if (!request.caseFile.isEmpty()) {
        ui.fileNames << request.caseFile;
        read_txt(c, errors);
        if (told())
            return 1;
        for (const QString &line : std::as_const(ui.statusLines)) // told, not refused
            err << line << '\n';
    }

    for (const FieldOption &option : fieldOptions) {
        if (request.typed.contains(option.field))
            c.setText(option.field, request.typed.value(option.field));
        if (option.field == F::species) {
            if (request.sexOption)
                c.setOptionSelected(*request.sexOption, true);
            if (request.neuterOption)
                c.setOptionSelected(*request.neuterOption, true);
        }
    }
    if (request.overweight)
        c.setText(F::overweightPercent, *request.overweight);
    if (request.rates) {
        c.setText(F::weeklyRateDuring, request.rates->first);
        c.setText(F::weeklyRateEnd, request.rates->second);
    }
    // Refused as the form refuses them when the field is left.
    for (const F field : {F::bodyCondition, F::energyDensity}) {
        if (const QString refusal = Feeding::refusal(field, c.text(field)); !refusal.isEmpty())
            errors.ui().message(refusal, UserInterface::Icon::Exclamation, str(S::Product));
    }
    if (told())
        return 1;

    if (!request.saveFile.isEmpty()) {
        ui.fileNames << request.saveFile;
        create_txt(c, errors, false); // the name as the caller gave it
        if (told())
            return 1;
    }
    if (!request.rtfInfoFile.isEmpty() && !writeInfoSheet(request.rtfInfoFile, c, settings, err))
        return 2;

    const std::optional<ChartSetup> setup =
        computeCurve(c, errors, settings.value(AppSettings::SmallPets) == u"1");
    if (setup) {
        if (request.json)
            out << QString::fromUtf8(planJson(c, *setup));
        else
            writeSummary(out, c, *setup);
    }
    if (told() || !setup)
        return 1;
    out.flush();
    if (!request.icsFile.isEmpty() &&
        !writeWeighDates(c, request.icsFile, Clock::today(), QDateTime::currentDateTimeUtc())) {
        err << unwritable(request.icsFile) << '\n';
        return 2;
    }
    ExporterHost host(c, errors, settings);
    bool printed = GdtResult::writePdfs(host, *setup, request.pdfChartFile, request.pdfDiaryFile,
                                        request.pdfInfoFile);
    if (printed && !request.gdtOutFile.isEmpty()) {
        GdtSettings gdt = GdtSettings::load(AppSettings::fileName());
        gdt.resultFile = request.gdtOutFile;
        printed = !GdtResult::send(host, *setup, gdtRequest ? &gdtRequest->record : nullptr, gdt,
                                   QDateTime(Clock::today(), QTime::currentTime()))
                       .isEmpty();
    }
    // A missing logo is told and the printout goes on without it, as with --rtf-info.
    for (const auto &m : ui.messages)
        err << QString(m.text).replace(u'\n', u' ') << '\n';
    return printed ? 0 : 1;
}
