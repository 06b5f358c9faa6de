// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/commandbar.h"

#include "core/stringids.h"
#include "core/stringtable.h"
#include "shell/deferredicons.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace {

/** A toolbar button shows a picture only: its tip is also its name for screen readers. */
void setButtonTip(QToolButton *button, const QString &tip) {
    button->setToolTip(tip);
    button->setAccessibleName(tip);
}

} // namespace

CommandBar::CommandBar(QMainWindow &window)
    : QObject(&window) {
    buildMenus(window);
    buildToolbar(window);
}

QIcon CommandBar::icon(const char *name) {
    static QHash<QString, QIcon> icons;
    const QString key = QLatin1StringView(name);
    auto it = icons.find(key);
    if (it == icons.end()) {
        const QString file = u":/korvalo/icons/" + key + u".svg";
        // A picture that is not there is a null icon at once: menus lay out without it.
        it = icons.insert(key, QFile::exists(file) ? deferredIcon([file] { return QIcon(file); })
                                                   : QIcon(file));
    }
    return *it;
}

void CommandBar::buildMenus(QMainWindow &window) {
    for (const CommandInfo &info : CommandTable::commands()) {
        auto *action = new QAction(icon(info.icon), str(info.caption), &window);
        action->setObjectName(QLatin1StringView(info.menuEntry));
        if (info.shortcut != QKeySequence::UnknownKey)
            action->setShortcut(info.shortcut);
        const Command command = info.command;
        connect(action, &QAction::triggered, this,
                [this, command] { emit triggered(command, false); });
        // Companion entries appear only for programs found installed.
        action->setVisible(command < Command::Companion1);
        m_actions.insert(command, action);
    }
    for (const MenuInfo &info : CommandTable::menus()) {
        QMenu *menu = window.menuBar()->addMenu(str(info.caption));
        menu->setObjectName(QLatin1StringView(info.name));
        for (const MenuEntry &entry : info.entries) {
            if (entry.separator) {
                QAction *separator = menu->addSeparator();
                separator->setObjectName(QLatin1StringView(entry.separator));
                m_separators.insert(separator->objectName(), separator);
            } else {
                menu->addAction(m_actions.value(entry.command));
                if (entry.command == Command::SaveCase) {
                    m_recent = menu->addMenu(str(S::RecentFiles));
                    m_recent->setObjectName(QStringLiteral("mnuFileRecent"));
                    m_recent->setToolTipsVisible(true); // the paths
                }
            }
        }
    }
}

void CommandBar::buildToolbar(QMainWindow &window) {
    QToolBar *toolbar = window.addToolBar(QString());
    toolbar->setObjectName(QStringLiteral("tbToolBar"));
    toolbar->setMovable(false);
    toolbar->setIconSize(QSize(24, 24));
    for (const ToolbarSlot &slot : CommandTable::toolbar()) {
        const QString key = QLatin1StringView(slot.key);
        QAction *place = nullptr;
        switch (slot.kind) {
        case SlotKind::Separator:
            place = toolbar->addSeparator();
            break;
        case SlotKind::Placeholder: {
            auto *gap = new QWidget(toolbar);
            gap->setFixedSize(toolbar->iconSize() + QSize(8, 8));
            place = toolbar->addWidget(gap);
            break;
        }
        case SlotKind::Button: {
            // The button mirrors its command's action, but clicks go through the key:
            // some keys run their command differently from the menu.
            auto *button = new QToolButton(toolbar);
            button->setObjectName(key);
            button->setAutoRaise(true);
            if (slot.command) {
                QAction *action = m_actions.value(*slot.command);
                const auto mirror = [button, action] {
                    button->setIcon(action->icon());
                    button->setEnabled(action->isEnabled());
                };
                mirror();
                connect(action, &QAction::changed, button, mirror);
            }
            setButtonTip(button, slot.toolTip ? str(slot.toolTip) : QString());
            const ToolKey id = slot.id;
            connect(button, &QToolButton::clicked, this, [this, id] { dispatch(id); });
            place = toolbar->addWidget(button);
            m_buttons.insert(slot.id, button);
            break;
        }
        }
        place->setObjectName(key);
        place->setVisible(slot.visibleAtLoad);
        m_places[std::size_t(slot.id)] = place;
    }
}

void CommandBar::showStart() {
    place(ToolKey::Help2)->setVisible(false);
    place(ToolKey::Plan)->setVisible(true);
    separator(QStringLiteral("mnuFileSep"))->setVisible(false);
}

void CommandBar::set_toolbar(View view) {
    separator(QStringLiteral("mnuFileSep"))->setVisible(true);
    for (const auto &menu : CommandTable::flagMenus())
        action(menu.command)->setEnabled(*CommandTable::shownIn(view, menu.key));
    action(Command::ChangeLogo)->setEnabled(true);
    separator(QStringLiteral("mnueditsep2"))->setEnabled(true);
    action(Command::Help)->setEnabled(true);
    action(Command::About)->setEnabled(true);
    for (const ToolbarSlot &slot : CommandTable::toolbar()) {
        if (const auto shown = CommandTable::shownIn(view, slot.id))
            place(slot.id)->setVisible(*shown);
    }
    place(ToolKey::Help2)->setVisible(true); // in every view
}

void CommandBar::setToolTip(ToolKey key, const QString &text) {
    if (QToolButton *b = button(key))
        setButtonTip(b, text);
}

void CommandBar::setExitCaption(const QString &text) {
    action(Command::ExitOrBack)->setText(text);
}

void CommandBar::showCompanions(const std::array<bool, 6> &installed) {
    constexpr std::array places{ToolKey::Extra1, ToolKey::Extra2, ToolKey::Extra3,
                                ToolKey::Extra4, ToolKey::Extra5, ToolKey::Extra6};
    // Without companions the menu still holds the settings, below a separator Qt hides.
    for (std::size_t k = 0; k < installed.size(); ++k) {
        if (!installed[k])
            continue;
        place(places[k])->setVisible(true);
        action(Command(int(Command::Companion1) + int(k)))->setVisible(true);
    }
}

void CommandBar::dispatch(ToolKey key) {
    if (const auto command = CommandTable::slot(key).command)
        emit triggered(*command, true);
}

void CommandBar::showRecent(const QStringList &files) {
    m_recent->clear();
    int n = 0;
    for (const QString &file : files) {
        // "&1 bello.kvl", the folder in the tip: eight names fit the menu, paths would not.
        QAction *entry =
            m_recent->addAction(u'&' + QString::number(++n) + u' ' + QFileInfo(file).fileName());
        entry->setToolTip(QDir::toNativeSeparators(file));
        entry->setStatusTip(QDir::toNativeSeparators(file));
        connect(entry, &QAction::triggered, this, [this, file] { emit recentChosen(file); });
    }
    m_recent->setEnabled(n > 0);
}
