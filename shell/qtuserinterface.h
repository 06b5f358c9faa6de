// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/userinterface.h"

class QWidget;

/** Message boxes and file dialogs of Qt, owned by the main window. */
class QtUserInterface : public UserInterface {
public:
    explicit QtUserInterface(QWidget *owner = nullptr);

    void setOwner(QWidget *owner) { m_owner = owner; }

    Answer message(const QString &text, Icon icon, const QString &title, Buttons buttons,
                   Answer defaultAnswer) override;
    Answer choose(const QString &text, const QString &title, const QString &first,
                  const QString &second) override;
    std::optional<QString> openFileName(const QString &folder, const QString &filter) override;
    std::optional<QString> saveFileName(const QString &folder, const QString &filter,
                                        const QString &proposedName) override;
    std::optional<QString> folderName(const QString &folder) override;
    std::optional<PrintRequest> printDialog() override;
    void restoreCursors() override;
    /** In the owner's status bar, when it is a main window, for half a minute. */
    void status(const QString &text) override;

    /** "Text|*.ext|Other|*.a;*.b" as Qt's "Text (*.ext);;Other (*.a *.b)". */
    static QString qtFilter(const QString &filter);

private:
    QWidget *m_owner;
};
