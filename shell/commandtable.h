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

/** One of the 34 places of the toolbar, identified by its key. */
struct ToolbarSlot {
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

std::span<const ToolbarSlot> toolbar();

/** The toolbar keys that set_toolbar's 24 flags stand for, in flag order. */
constexpr int flagCount = 25;
std::span<const char *const> flagKeys();

/** The menu entries switched on and off with a flag, in the order they are set. */
struct FlagMenu {
    const char *key;
    Command command;
};
std::span<const FlagMenu> flagMenus();

/** The flags a view passes when it becomes active. */
std::array<bool, flagCount> flags(View view);

} // namespace CommandTable
