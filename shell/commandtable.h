// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "views/viewhost.h"

#include <QKeySequence>
#include <QString>

#include <array>
#include <optional>
#include <span>

/** Every command of the main window, whether from the menu or the toolbar. */
enum class Command {
    LoadCase,
    SaveCase,
    ExitOrBack,
    Print,
    PrintPreview,
    Copy,
    Email,
    WebPage,
    InfoSheet,
    ReductionCurve,
    DietPlan,
    ExportDates,
    ClearInputs,
    ReductionValues,
    ChartOptions,
    ChangeLogo,
    FollowUp,
    CaseList,
    SendToPractice,
    Settings,
    Help,
    About,
    Companion1,
    Companion2,
    Companion3,
    Companion4,
    Companion5,
    Companion6,
};

struct CommandInfo {
    Command command;
    const char *menuEntry; ///< object name of the menu entry
    int caption;           ///< string number of the menu caption
    const char *icon;      ///< file in the icon resources, or nullptr
    QKeySequence::StandardKey shortcut;
};

/** One entry of the menu bar: a command, or a separator with its own name. */
struct MenuEntry {
    const char *separator; ///< object name when this entry is a separator
    Command command;
};

struct MenuInfo {
    const char *name;
    int caption; ///< string number
    std::span<const MenuEntry> entries;
};

enum class SlotKind { Button, Separator, Placeholder };

/** One place of the toolbar: its key, and the key's text, the object name of the place. */
struct ToolbarSlot {
    ToolKey id;
    const char *key;
    SlotKind kind;
    bool visibleAtLoad;
    int toolTip; ///< string number, 0 for none
    std::optional<Command> command;
};

namespace CommandTable {

std::span<const CommandInfo> commands();
const CommandInfo &info(Command command);

std::span<const MenuInfo> menus();

/** The toolbar's places, one per key in key order. */
std::span<const ToolbarSlot> toolbar();
const ToolbarSlot &slot(ToolKey key);
/** The key of an object name ("Copy"); nothing for a name that is none. */
std::optional<ToolKey> toolKey(QStringView name);

/** The menu entries switched on and off with a toolbar key's flag, in the order they are set. */
struct FlagMenu {
    ToolKey key;
    Command command;
};
std::span<const FlagMenu> flagMenus();

/**
 * Whether a view shows the place of a key when it becomes active; nothing for a key no
 * view switches (the companions' places and the last separators).
 */
std::optional<bool> shownIn(View view, ToolKey key);

} // namespace CommandTable
