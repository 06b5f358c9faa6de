// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/recordinguserinterface.h"

UserInterface::Answer RecordingUserInterface::message(const QString &text, Icon icon,
                                                      const QString &title, Buttons buttons,
                                                      Answer defaultAnswer) {
    messages.append({text, icon, title, buttons, {}});
    if (whileShown)
        whileShown();
    return answers.isEmpty() ? defaultAnswer : answers.takeFirst();
}

UserInterface::Answer RecordingUserInterface::choose(const QString &text, const QString &title,
                                                     const QString &first, const QString &second) {
    messages.append({text, Icon::Question, title, Buttons::YesNoCancel, {first, second}});
    return answers.isEmpty() ? Answer::Cancel : answers.takeFirst();
}

std::optional<QString> RecordingUserInterface::openFileName(const QString &folder,
                                                            const QString &filter) {
    dialogFolders << folder;
    dialogFilters << filter;
    return fileNames.isEmpty() ? std::nullopt : fileNames.takeFirst();
}

std::optional<QString> RecordingUserInterface::saveFileName(const QString &folder,
                                                            const QString &filter,
                                                            const QString &proposedName) {
    proposedNames << proposedName;
    return openFileName(folder, filter);
}

std::optional<QString> RecordingUserInterface::folderName(const QString &folder) {
    dialogFolders << folder;
    return folderNames.isEmpty() ? std::nullopt : folderNames.takeFirst();
}

std::optional<UserInterface::PrintRequest> RecordingUserInterface::printDialog() {
    ++printDialogs;
    return printRequests.isEmpty() ? std::nullopt : printRequests.takeFirst();
}
