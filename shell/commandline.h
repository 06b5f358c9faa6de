// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

/**
 * The program's command line, read before the application object exists: --help, --version
 * and a wrong option are answered without a display. Qt's own options (-platform, -style,
 * -session, …) are known here too, so their values are no case file.
 */
namespace CommandLine {

struct Request {
    enum class Action {
        Start,  ///< shows the window and opens caseFile, if one is named
        Print,  ///< prints text on stdout and ends with 0
        Refuse, ///< prints text on stderr and ends with 1
    };
    Action action = Action::Start;
    QString caseFile;
    QString gdtFile; ///< a practice system's request to open its patient
    QString text;
};

/** Reads the arguments as main receives them, the program's name first. */
Request read(const QStringList &arguments);

} // namespace CommandLine
