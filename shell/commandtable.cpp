// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/commandtable.h"

#include "core/stringids.h"

#include <algorithm>

namespace {

using C = Command;
using K = QKeySequence::StandardKey;

constexpr std::array commandInfos{
    CommandInfo{C::LoadCase, "mnuFileOpen", 146, "open", K::Open},
    CommandInfo{C::SaveCase, "mnuFileSave", 147, "save", K::Save},
    CommandInfo{C::ExitOrBack, "mnuFileExit", 101, "back", K::UnknownKey},
    CommandInfo{C::Print, "mnuEditPrint", 151, "print", K::Print},
    CommandInfo{C::PrintPreview, "mnuEditPreview", 2450, "print", K::UnknownKey},
    CommandInfo{C::Copy, "mnuEditCopy", 153, "copy", K::Copy},
    CommandInfo{C::Email, "mnuEditEmail", 107, "mail", K::UnknownKey},
    CommandInfo{C::WebPage, "mnuEditInet", 104, "web", K::UnknownKey},
    CommandInfo{C::InfoSheet, "mnuEditDoc", 103, "info-sheet", K::UnknownKey},
    CommandInfo{C::ReductionCurve, "mnuEditChart", 102, "chart", K::UnknownKey},
    CommandInfo{C::DietPlan, "mnueditplan", 109, "plan", K::UnknownKey},
    CommandInfo{C::ExportDates, "mnuEditTermine", S::ExportDates, "calendar", K::UnknownKey},
    CommandInfo{C::ClearInputs, "mnuEditDelete", 149, "delete", K::UnknownKey},
    CommandInfo{C::ReductionValues, "mnuEditRecalc", 981, "recalc", K::UnknownKey},
    CommandInfo{C::ChartOptions, "mnuEditChartOpt", 977, "options", K::UnknownKey},
    CommandInfo{C::ChangeLogo, "mnueditlogo", 108, "logo", K::UnknownKey},
    CommandInfo{C::FollowUp, "mnuEditVerlauf", 2610, "progress", K::UnknownKey},
    CommandInfo{C::CaseList, "mnuFileFaelle", 2630, "cases", K::UnknownKey},
    CommandInfo{C::Help, "mnuHelpHelp", 106, "help", K::HelpContents},
    CommandInfo{C::About, "mnuHelpAbout", 105, "about", K::UnknownKey},
    CommandInfo{C::Companion1, "mnuextrasExtra1", 20, "companion", K::UnknownKey},
    CommandInfo{C::Companion2, "mnuextrasExtra2", 22, "companion", K::UnknownKey},
    CommandInfo{C::Companion3, "mnuextrasExtra3", 24, "companion", K::UnknownKey},
    CommandInfo{C::Companion4, "mnuextrasExtra4", 26, "companion", K::UnknownKey},
    CommandInfo{C::Companion5, "mnuextrasExtra5", 28, "companion", K::UnknownKey},
    CommandInfo{C::Companion6, "mnuextrasExtra6", 30, "companion", K::UnknownKey},
};

constexpr MenuEntry entry(C c) {
    return {nullptr, c};
}
constexpr MenuEntry separator(const char *name) {
    return {name, C::ExitOrBack};
}

constexpr std::array fileMenu{entry(C::LoadCase), entry(C::SaveCase), entry(C::CaseList),
                              separator("mnuFileSep"), entry(C::ExitOrBack)};
constexpr std::array editMenu{
    entry(C::Print),          entry(C::PrintPreview),    entry(C::Copy),
    separator("mnueditsep1"), entry(C::Email),           entry(C::WebPage),
    separator("mnueditsep2"), entry(C::InfoSheet),       entry(C::ReductionCurve),
    entry(C::DietPlan),       entry(C::ExportDates),     entry(C::FollowUp),
    entry(C::ClearInputs),    entry(C::ReductionValues), entry(C::ChartOptions),
    separator("mnueditsep3"), entry(C::ChangeLogo)};
constexpr std::array extrasMenu{
    entry(C::Companion1), entry(C::Companion2), separator("mnusepextras1"), entry(C::Companion3),
    entry(C::Companion4), entry(C::Companion5), entry(C::Companion6)};
constexpr std::array helpMenu{entry(C::Help), separator("mnusep2"), entry(C::About)};

constexpr std::array menuInfos{
    MenuInfo{"mnuFile", 1131, fileMenu},
    MenuInfo{"mnuedit", 1130, editMenu},
    MenuInfo{"mnuextras", 2410, extrasMenu},
    MenuInfo{"mnuHelp", 1132, helpMenu},
};

constexpr ToolbarSlot button(const char *key, bool visible, int tip, C c) {
    return {key, SlotKind::Button, visible, tip, c};
}
constexpr ToolbarSlot sep(const char *key, bool visible) {
    return {key, SlotKind::Separator, visible, 0, std::nullopt};
}

const std::array<ToolbarSlot, 35> toolbarSlots{{
    button("Back", true, 101, C::ExitOrBack),
    sep("SEP1", true),
    button("Open", true, 146, C::LoadCase),
    button("Save", true, 147, C::SaveCase),
    sep("SEP2", true),
    button("Print", true, 151, C::Print),
    button("Copy", true, 153, C::Copy),
    sep("newsep1", true),
    button("Mail", true, 107, C::Email),
    button("Inet", true, 104, C::WebPage),
    sep("SEP3", true),
    button("Doc", true, 103, C::InfoSheet),
    sep("SEP4", true),
    button("Chart", true, 102, C::ReductionCurve),
    {"Help", SlotKind::Button, false, 0, std::nullopt}, // never shown, runs nothing
    sep("SEP5", true),
    button("Plan", true, 109, C::DietPlan),
    button("Verlauf", false, 2610, C::FollowUp),
    button("Termine", false, S::ExportDates, C::ExportDates),
    {"Unbelegt", SlotKind::Placeholder, false, 0, std::nullopt},
    button("Options", true, 977, C::ChartOptions),
    button("Recalc", true, 981, C::ReductionValues),
    sep("SEP6", true),
    button("Delete", true, 149, C::ClearInputs),
    sep("SEP7", false),
    sep("SEP8", false),
    button("Extra1", false, 20, C::Companion1),
    button("Extra2", false, 22, C::Companion2),
    sep("SEP9", false),
    button("Extra3", false, 24, C::Companion3),
    button("Extra4", false, 26, C::Companion4),
    button("Extra5", false, 28, C::Companion5),
    button("Extra6", false, 30, C::Companion6),
    sep("SEP10", true),
    button("Help2", true, 106, C::Help),
}};

constexpr std::array<const char *, CommandTable::flagCount> flagKeyList{
    "Back",   "SEP1", "Open",   "Save",  "SEP2",  "Print",   "Copy",   "Mail",     "Inet",
    "SEP3",   "Doc",  "SEP4",   "Chart", "Help2", "SEP5",    "Plan",   "Unbelegt", "Options",
    "Recalc", "SEP6", "Delete", "SEP7",  "SEP8",  "Verlauf", "Termine"};

constexpr std::array flagMenuList{
    CommandTable::FlagMenu{"Open", C::LoadCase},
    CommandTable::FlagMenu{"Save", C::SaveCase},
    CommandTable::FlagMenu{"Chart", C::ReductionCurve},
    CommandTable::FlagMenu{"Inet", C::WebPage},
    CommandTable::FlagMenu{"Plan", C::DietPlan},
    CommandTable::FlagMenu{"Verlauf", C::FollowUp},
    CommandTable::FlagMenu{"Termine", C::ExportDates},
    CommandTable::FlagMenu{"Doc", C::InfoSheet},
    CommandTable::FlagMenu{"Print", C::Print},
    CommandTable::FlagMenu{"Print", C::PrintPreview}, // goes with printing
    CommandTable::FlagMenu{"Copy", C::Copy},
    CommandTable::FlagMenu{"Delete", C::ClearInputs},
    CommandTable::FlagMenu{"Recalc", C::ReductionValues},
    CommandTable::FlagMenu{"Options", C::ChartOptions},
    CommandTable::FlagMenu{"Mail", C::Email},
};

// One column per view, one row per flag key (Y = shown and enabled).
//                               Input  Chart  Sheet  Doc    Browser FollowUp CaseList
constexpr std::array<std::array<bool, 7>, CommandTable::flagCount> viewFlags{{
    /* Back     */ {true, true, true, true, true, true, true},
    /* SEP1     */ {true, true, true, false, true, true, true},
    /* Open     */ {true, false, false, false, false, false, true},
    /* Save     */ {true, true, false, false, false, false, false},
    /* SEP2     */ {true, true, false, true, false, false, false},
    /* Print    */ {false, true, true, true, false, true, false},
    /* Copy     */ {false, true, true, true, false, true, false},
    /* Mail     */ {true, true, true, true, true, true, true},
    /* Inet     */ {true, true, true, true, false, true, true},
    /* SEP3     */ {true, true, true, true, false, true, true},
    /* Doc      */ {true, true, false, false, false, false, false},
    /* SEP4     */ {false, true, false, false, false, false, false},
    /* Chart    */ {true, false, false, false, false, false, false},
    /* Help2    */ {false, false, false, false, false, false, false},
    /* SEP5     */ {true, false, false, false, false, false, false},
    /* Plan     */ {false, true, false, false, false, false, false},
    /* Unbelegt */ {false, true, false, false, false, false, false},
    /* Options  */ {false, true, false, false, false, false, false},
    /* Recalc   */ {false, true, false, false, false, false, false},
    /* SEP6     */ {true, false, false, false, false, false, false},
    /* Delete   */ {true, false, false, false, false, false, false},
    /* SEP7     */ {true, true, false, true, true, false, false},
    /* SEP8     */ {true, true, false, true, true, false, false},
    /* Verlauf  */ {false, true, false, false, false, false, false},
    /* Termine  */ {false, false, true, false, false, false, false},
}};

} // namespace

namespace CommandTable {

std::span<const CommandInfo> commands() {
    return commandInfos;
}

const CommandInfo &info(Command command) {
    return *std::find_if(commandInfos.begin(), commandInfos.end(),
                         [command](const CommandInfo &i) { return i.command == command; });
}

std::span<const MenuInfo> menus() {
    return menuInfos;
}

std::span<const ToolbarSlot> toolbar() {
    return toolbarSlots;
}

std::span<const char *const> flagKeys() {
    return flagKeyList;
}

std::span<const FlagMenu> flagMenus() {
    return flagMenuList;
}

std::array<bool, flagCount> flags(View view) {
    std::array<bool, flagCount> column{};
    for (int i = 0; i < flagCount; ++i)
        column[i] = viewFlags[i][static_cast<int>(view)];
    return column;
}

} // namespace CommandTable
