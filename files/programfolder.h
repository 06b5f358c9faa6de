// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

class UserInterface;

/** Where the program and its data files live. */
namespace ProgramFolder {

/** The folder that holds the program file. */
QString path();

/**
 * A data file shipped with the program (logos, help): beside the program file, else in
 * the installed data folder. Returns the path beside the program when neither exists.
 */
QString dataFile(const QString &name);
/** dataFile for a program installed in programFolder. */
QString dataFile(const QString &name, const QString &programFolder);

/**
 * The folder offered for case files: "Reports" beside the program when writable, else
 * one in the user's documents (which the file dialogs create when they open).
 */
QString reportsFolder();
/** reportsFolder for a program installed in programFolder. */
QString reportsFolder(const QString &programFolder);

/**
 * The case folder for a file dialog, created when missing. Where it cannot be created the
 * user is told so, once a run, and the dialog opens in the home folder instead.
 */
QString caseFolderFor(UserInterface &ui);

} // namespace ProgramFolder
