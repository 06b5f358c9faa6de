// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/commandtable.h"

#include "core/stringids.h"

#include <algorithm>

namespace {

using C = Command;
using K = QKeySequence::StandardKey;

constexpr std::array commandInfos{
    CommandInfo{C::LoadCase, "mnuFileOpen", S::Load, "open", K::Open},
    CommandInfo{C::SaveCase, "mnuFileSave", S::Save, "save", K::Save},
    CommandInfo{C::ExitOrBack, "mnuFileExit", S::Exit, "back", K::UnknownKey},
    CommandInfo{C::Print, "mnuEditPrint", S::Print, "print", K::Print},
    CommandInfo{C::PrintPreview, "mnuEditPreview", S::PrintPreview, "print", K::UnknownKey},
    CommandInfo{C::Copy, "mnuEditCopy", S::Copy, "copy", K::Copy},
    CommandInfo{C::Email, "mnuEditEmail", S::SendMail, "mail", K::UnknownKey},
    CommandInfo{C::WebPage, "mnuEditInet", S::ToHomePage, "web", K::UnknownKey},
    CommandInfo{C::InfoSheet, "mnuEditDoc", S::InfoSheetCaption, "info-sheet", K::UnknownKey},
    CommandInfo{C::ReductionCurve, "mnuEditChart", S::ShowCurve, "chart", K::UnknownKey},
    CommandInfo{C::DietPlan, "mnueditplan", S::DietPlan, "plan", K::UnknownKey},
    CommandInfo{C::ExportDates, "mnuEditTermine", S::ExportDates, "calendar", K::UnknownKey},
    CommandInfo{C::ClearInputs, "mnuEditDelete", S::ClearInputs, "delete", K::UnknownKey},
    CommandInfo{C::ReductionValues, "mnuEditRecalc", S::RecalcCaption, "recalc", K::UnknownKey},
    CommandInfo{C::ChartOptions, "mnuEditChartOpt", S::ChartOptionsCaption, "options",
                K::UnknownKey},
    CommandInfo{C::ChangeLogo, "mnueditlogo", S::ChangeLogo, "logo", K::UnknownKey},
    CommandInfo{C::FollowUp, "mnuEditVerlauf", S::ProgressCaption, "progress", K::UnknownKey},
    CommandInfo{C::CaseList, "mnuFileFaelle", S::OpenCases, "cases", K::UnknownKey},
    CommandInfo{C::Help, "mnuHelpHelp", S::Help, "help", K::HelpContents},
    CommandInfo{C::About, "mnuHelpAbout", S::Info, "about", K::UnknownKey},
    CommandInfo{C::Companion1, "mnuextrasExtra1", S::DoseTitle, "companion", K::UnknownKey},
    CommandInfo{C::Companion2, "mnuextrasExtra2", S::EnergyTitle, "companion", K::UnknownKey},
    CommandInfo{C::Companion3, "mnuextrasExtra3", S::VaccinationTitle, "companion", K::UnknownKey},
    CommandInfo{C::Companion4, "mnuextrasExtra4", S::InfusionTitle, "companion", K::UnknownKey},
    CommandInfo{C::Companion5, "mnuextrasExtra5", S::PregnancyTitle, "companion", K::UnknownKey},
    CommandInfo{C::Companion6, "mnuextrasExtra6", S::LabTitle, "companion", K::UnknownKey},
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
    MenuInfo{"mnuFile", S::FileMenu, fileMenu},
    MenuInfo{"mnuedit", S::EditMenu, editMenu},
    MenuInfo{"mnuextras", S::ExtrasMenu, extrasMenu},
    MenuInfo{"mnuHelp", S::HelpMenu, helpMenu},
};

constexpr ToolbarSlot button(const char *key, bool visible, int tip, C c) {
    return {key, SlotKind::Button, visible, tip, c};
}
constexpr ToolbarSlot sep(const char *key, bool visible) {
    return {key, SlotKind::Separator, visible, 0, std::nullopt};
}

const std::array<ToolbarSlot, 35> toolbarSlots{{
    button("Back", true, S::Exit, C::ExitOrBack),
    sep("SEP1", true),
    button("Open", true, S::Load, C::LoadCase),
    button("Save", true, S::Save, C::SaveCase),
    sep("SEP2", true),
    button("Print", true, S::Print, C::Print),
    button("Copy", true, S::Copy, C::Copy),
    sep("newsep1", true),
    button("Mail", true, S::SendMail, C::Email),
    button("Inet", true, S::ToHomePage, C::WebPage),
    sep("SEP3", true),
    button("Doc", true, S::InfoSheetCaption, C::InfoSheet),
    sep("SEP4", true),
    button("Chart", true, S::ShowCurve, C::ReductionCurve),
    {"Help", SlotKind::Button, false, 0, std::nullopt}, // never shown, runs nothing
    sep("SEP5", true),
    button("Plan", true, S::DietPlan, C::DietPlan),
    button("Verlauf", false, S::ProgressCaption, C::FollowUp),
    button("Termine", false, S::ExportDates, C::ExportDates),
    {"Unbelegt", SlotKind::Placeholder, false, 0, std::nullopt},
    button("Options", true, S::ChartOptionsCaption, C::ChartOptions),
    button("Recalc", true, S::RecalcCaption, C::ReductionValues),
    sep("SEP6", true),
    button("Delete", true, S::ClearInputs, C::ClearInputs),
    sep("SEP7", false),
    sep("SEP8", false),
    button("Extra1", false, S::DoseTitle, C::Companion1),
    button("Extra2", false, S::EnergyTitle, C::Companion2),
    sep("SEP9", false),
    button("Extra3", false, S::VaccinationTitle, C::Companion3),
    button("Extra4", false, S::InfusionTitle, C::Companion4),
    button("Extra5", false, S::PregnancyTitle, C::Companion5),
    button("Extra6", false, S::LabTitle, C::Companion6),
    sep("SEP10", true),
    button("Help2", true, S::Help, C::Help),
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
