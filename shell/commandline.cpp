// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/commandline.h"

#include "core/version.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <algorithm>

namespace CommandLine {

namespace {

using Action = Request::Action;

const QString usage = QStringLiteral("Aufruf: korvalo [Optionen] [Falldatei]");
const QString fileName = QStringLiteral("Falldatei");
const QString fileDescription = QStringLiteral("Eine .kvl-Datei, die geladen wird.");

// What QGuiApplication, QApplication and the X11 platform take out of argv on Linux.
const QStringList qtValueOptions =
    QStringLiteral("platform platformpluginpath platformtheme plugin qwindowgeometry geometry "
                   "qwindowtitle title qwindowicon icon session style stylesheet display name "
                   "visual qmljsdebugger")
        .split(u' ');
const QStringList qtFlags =
    QStringLiteral("reverse testability widgetcount nograb dograb qdevel qdebug").split(u' ');

QString dashed(const QString &name) {
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// The option's name in an argument: "style" in "-style", "--style" and "-style=fusion".
QString nameIn(const QString &argument) {
    const QString option = argument.section(u'=', 0, 0);
    return option.mid(option.startsWith(u"--") ? 2 : 1);
}

QString helpText(const QList<QCommandLineOption> &options) {
    const auto names = [](const QCommandLineOption &option) {
        QStringList dashedNames;
        for (const QString &name : option.names())
            dashedNames << dashed(name);
        const QString value = option.valueName();
        return QString(dashedNames.join(u", ") + (value.isEmpty() ? QString() : u' ' + value));
    };
    qsizetype width = fileName.size();
    for (const QCommandLineOption &option : options)
        width = std::max(width, names(option).size());
    QString text = usage + u"\nGewichtsreduktionspläne für übergewichtige Haustiere\n\nOptionen:\n";
    for (const QCommandLineOption &option : options)
        text += u"  " + names(option).leftJustified(width + 2) + option.description() + u'\n';
    text += u"\nArgumente:\n  " + fileName.leftJustified(width + 2) + fileDescription +
            u"\n\nDazu gelten die Optionen von Qt wie -platform NAME oder -style NAME.\n";
    return text;
}

// The option as typed: "-bogus" when written so, without a value after '='.
QString typed(const QString &name, const QStringList &arguments) {
    for (const QString &argument : arguments.mid(1)) {
        if (argument.startsWith(u'-') && nameIn(argument) == name)
            return argument.section(u'=', 0, 0);
    }
    return dashed(name);
}

QString parseError(const QCommandLineParser &parser, const QList<QCommandLineOption> &options,
                   const QStringList &arguments) {
    if (!parser.unknownOptionNames().isEmpty())
        return u"Unbekannte Option " + typed(parser.unknownOptionNames().first(), arguments) + u'.';
    // Else an option that takes a value came last, or one that takes none was given one.
    const auto takesValue = [&](const QString &argument) {
        return std::any_of(options.begin(), options.end(), [&](const QCommandLineOption &o) {
            return o.names().contains(nameIn(argument)) && !o.valueName().isEmpty();
        });
    };
    const QString last = arguments.last();
    if (!last.contains(u'=') && takesValue(last))
        return u"Option " + last + u" braucht einen Wert.";
    for (const QString &argument : arguments.mid(1)) {
        if (argument.startsWith(u'-') && argument.contains(u'=') && !takesValue(argument))
            return u"Option " + argument.section(u'=', 0, 0) + u" nimmt keinen Wert.";
    }
    return QStringLiteral("Die Befehlszeile ist fehlerhaft.");
}

} // namespace

Request read(const QStringList &arguments) {
    // Words after one dash are options, as with Qt's own: -platform, not -p -l -a …
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    // Qt's built-in help and version options describe themselves in English.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Zeigt diese Hilfe."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Zeigt die Version."));
    const QCommandLineOption gdt(QStringLiteral("gdt"),
                                 QStringLiteral("Öffnet den Patienten der GDT-Anfrage DATEI."),
                                 QStringLiteral("DATEI"));
    const QList<QCommandLineOption> own{help, version, gdt};
    QList<QCommandLineOption> options = own;
    // Known, so that their values are no case file; the help leaves them to Qt.
    for (const QString &name : qtValueOptions)
        options << QCommandLineOption(name, QString(), QStringLiteral("WERT"));
    for (const QString &name : qtFlags)
        options << QCommandLineOption(name, QString());
    parser.addOptions(options);

    const QString hint = QStringLiteral("\nHilfe: korvalo --help\n");
    if (!parser.parse(arguments))
        return {Action::Refuse, {}, {}, parseError(parser, options, arguments) + hint};
    if (parser.isSet(help))
        return {Action::Print, {}, {}, helpText(own)};
    if (parser.isSet(version))
        return {Action::Print, {}, {}, u"korvalo " + programVersion() + u'\n'};
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        return {Action::Refuse, {}, {}, u"Nur eine Falldatei ist möglich." + hint};
    if (!files.isEmpty() && parser.isSet(gdt))
        return {Action::Refuse, {}, {}, u"Eine Falldatei und --gdt schließen einander aus." + hint};
    return {Action::Start, files.value(0), parser.value(gdt), {}};
}

} // namespace CommandLine
