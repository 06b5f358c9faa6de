// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/userinterface.h"

#include <QList>
#include <QStringList>

#include <functional>

/**
 * A user interface without windows: it keeps every message, answers from a script
 * (else with the default button) and hands out prepared file names.
 */
class RecordingUserInterface : public UserInterface {
public:
    struct Message {
        QString text;
        Icon icon;
        QString title;
        Buttons buttons;
        QStringList choices; ///< the named answers of choose()
    };

    Answer message(const QString &text, Icon icon, const QString &title, Buttons buttons,
                   Answer defaultAnswer) override;
    Answer choose(const QString &text, const QString &title, const QString &first,
                  const QString &second) override;
    std::optional<QString> openFileName(const QString &folder, const QString &filter) override;
    std::optional<QString> saveFileName(const QString &folder, const QString &filter,
                                        const QString &proposedName) override;
    std::optional<QString> folderName(const QString &folder) override;
    std::optional<PrintRequest> printDialog() override;
    void restoreCursors() override { ++cursorRestores; }
    void status(const QString &text) override { statusLines << text; }

    QList<Message> messages;
    std::function<void()> whileShown; ///< runs within each message, where a box would be open
    QList<Answer> answers;            ///< taken in order; the default when empty
    QList<std::optional<QString>> fileNames;          ///< taken in order; cancel when empty
    QList<std::optional<QString>> folderNames;        ///< taken in order; cancel when empty
    QList<std::optional<PrintRequest>> printRequests; ///< taken in order; cancel when empty
    int printDialogs = 0;
    QStringList dialogFolders;
    QStringList dialogFilters;
    QStringList proposedNames;
    int cursorRestores = 0;
    QStringList statusLines;
};
