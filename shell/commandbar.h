// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "shell/commandtable.h"

#include <QHash>
#include <QObject>

#include <array>

class QAction;
class QIcon;
class QMainWindow;
class QMenu;
class QToolButton;

/**
 * The main window's menus and toolbar, built from the command table: which entries and
 * buttons the active view shows, their tips, and what a choice runs.
 */
class CommandBar : public QObject {
    Q_OBJECT

public:
    explicit CommandBar(QMainWindow &window);

    /** Each picture is read once, when it is first drawn, however many commands show it. */
    static QIcon icon(const char *name);

    QAction *action(Command command) const { return m_actions.value(command); }
    QAction *separator(const QString &name) const { return m_separators.value(name); }
    /** The toolbar place of a key (its visibility) and its button, if it has one. */
    QAction *place(ToolKey key) const { return m_places[std::size_t(key)]; }
    QToolButton *button(ToolKey key) const { return m_buttons.value(key); }
    /** "Zuletzt geöffnet", below "Daten speichern". */
    QMenu *recentMenu() const { return m_recent; }

    /** Before the first view is active: no help button, the plan's place kept. */
    void showStart();
    /** Switches buttons and menu entries to the view's own set. */
    void set_toolbar(View view);
    void setToolTip(ToolKey key, const QString &text);
    void setExitCaption(const QString &text);
    /** Shows the entries and buttons of the companions found installed. */
    void showCompanions(const std::array<bool, 6> &installed);
    /** A click on a toolbar button. */
    void dispatch(ToolKey key);
    /** The files of "Zuletzt geöffnet", the newest first. */
    void showRecent(const QStringList &files);

signals:
    /** A command chosen; two buttons show their dialog otherwise than their menu entries. */
    void triggered(Command command, bool fromToolbar);
    void recentChosen(const QString &path);

private:
    void buildMenus(QMainWindow &window);
    void buildToolbar(QMainWindow &window);

    QHash<Command, QAction *> m_actions;
    QHash<QString, QAction *> m_separators;
    std::array<QAction *, std::size_t(ToolKey::Count)> m_places{};
    QHash<ToolKey, QToolButton *> m_buttons;
    QMenu *m_recent = nullptr;
};
