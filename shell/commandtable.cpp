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
    CommandInfo{C::SendToPractice, "mnuFileGdt", S::SendToPractice, "send", K::UnknownKey},
    CommandInfo{C::Settings, "mnuextrasSettings", S::SettingsMenu, "settings", K::Preferences},
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

constexpr std::array fileMenu{entry(C::LoadCase),      entry(C::SaveCase),
                              entry(C::CaseList),      entry(C::SendToPractice),
                              separator("mnuFileSep"), entry(C::ExitOrBack)};
constexpr std::array editMenu{
    entry(C::Print),          entry(C::PrintPreview),    entry(C::Copy),
    separator("mnueditsep1"), entry(C::Email),           entry(C::WebPage),
    separator("mnueditsep2"), entry(C::InfoSheet),       entry(C::ReductionCurve),
    entry(C::DietPlan),       entry(C::ExportDates),     entry(C::FollowUp),
    entry(C::ClearInputs),    entry(C::ReductionValues), entry(C::ChartOptions),
    separator("mnueditsep3"), entry(C::ChangeLogo)};
constexpr std::array extrasMenu{
    entry(C::Companion1), entry(C::Companion2),       separator("mnusepextras1"),
    entry(C::Companion3), entry(C::Companion4),       entry(C::Companion5),
    entry(C::Companion6), separator("mnusepextras2"), entry(C::Settings)};
constexpr std::array helpMenu{entry(C::Help), separator("mnusep2"), entry(C::About)};

constexpr std::array menuInfos{
    MenuInfo{"mnuFile", S::FileMenu, fileMenu},
    MenuInfo{"mnuedit", S::EditMenu, editMenu},
    MenuInfo{"mnuextras", S::ExtrasMenu, extrasMenu},
    MenuInfo{"mnuHelp", S::HelpMenu, helpMenu},
};

using T = ToolKey;

constexpr ToolbarSlot button(T id, const char *key, bool visible, int tip, C c) {
    return {id, key, SlotKind::Button, visible, tip, c};
}
constexpr ToolbarSlot sep(T id, const char *key, bool visible) {
    return {id, key, SlotKind::Separator, visible, 0, std::nullopt};
}

constexpr std::array<ToolbarSlot, int(T::Count)> toolbarSlots{{
    button(T::Back, "Back", true, S::Exit, C::ExitOrBack),
    sep(T::Sep1, "SEP1", true),
    button(T::Open, "Open", true, S::Load, C::LoadCase),
    button(T::Save, "Save", true, S::Save, C::SaveCase),
    sep(T::Sep2, "SEP2", true),
    button(T::Print, "Print", true, S::Print, C::Print),
    button(T::Copy, "Copy", true, S::Copy, C::Copy),
    sep(T::NewSep1, "newsep1", true),
    button(T::Mail, "Mail", true, S::SendMail, C::Email),
    button(T::Inet, "Inet", true, S::ToHomePage, C::WebPage),
    sep(T::Sep3, "SEP3", true),
    button(T::Doc, "Doc", true, S::InfoSheetCaption, C::InfoSheet),
    sep(T::Sep4, "SEP4", true),
    button(T::Chart, "Chart", true, S::ShowCurve, C::ReductionCurve),
    {T::Help, "Help", SlotKind::Button, false, 0, std::nullopt}, // never shown, runs nothing
    sep(T::Sep5, "SEP5", true),
    button(T::Plan, "Plan", true, S::DietPlan, C::DietPlan),
    button(T::Verlauf, "Verlauf", false, S::ProgressCaption, C::FollowUp),
    button(T::Termine, "Termine", false, S::ExportDates, C::ExportDates),
    button(T::Gdt, "Gdt", false, S::SendToPractice, C::SendToPractice),
    {T::Unbelegt, "Unbelegt", SlotKind::Placeholder, false, 0, std::nullopt},
    button(T::Options, "Options", true, S::ChartOptionsCaption, C::ChartOptions),
    button(T::Recalc, "Recalc", true, S::RecalcCaption, C::ReductionValues),
    sep(T::Sep6, "SEP6", true),
    button(T::Delete, "Delete", true, S::ClearInputs, C::ClearInputs),
    sep(T::Sep7, "SEP7", false),
    sep(T::Sep8, "SEP8", false),
    button(T::Extra1, "Extra1", false, S::DoseTitle, C::Companion1),
    button(T::Extra2, "Extra2", false, S::EnergyTitle, C::Companion2),
    sep(T::Sep9, "SEP9", false),
    button(T::Extra3, "Extra3", false, S::VaccinationTitle, C::Companion3),
    button(T::Extra4, "Extra4", false, S::InfusionTitle, C::Companion4),
    button(T::Extra5, "Extra5", false, S::PregnancyTitle, C::Companion5),
    button(T::Extra6, "Extra6", false, S::LabTitle, C::Companion6),
    sep(T::Sep10, "SEP10", true),
    button(T::Help2, "Help2", true, S::Help, C::Help),
}};

// The keys a view switches, in the order of the rows below.
constexpr std::array flagKeys{T::Back,    T::Sep1,  T::Open,   T::Save, T::Sep2,     T::Print,
                              T::Copy,    T::Mail,  T::Inet,   T::Sep3, T::Doc,      T::Sep4,
                              T::Chart,   T::Help2, T::Sep5,   T::Plan, T::Unbelegt, T::Options,
                              T::Recalc,  T::Sep6,  T::Delete, T::Sep7, T::Sep8,     T::Verlauf,
                              T::Termine, T::Gdt};

constexpr std::array flagMenuList{
    CommandTable::FlagMenu{T::Open, C::LoadCase},
    CommandTable::FlagMenu{T::Save, C::SaveCase},
    CommandTable::FlagMenu{T::Chart, C::ReductionCurve},
    CommandTable::FlagMenu{T::Inet, C::WebPage},
    CommandTable::FlagMenu{T::Plan, C::DietPlan},
    CommandTable::FlagMenu{T::Verlauf, C::FollowUp},
    CommandTable::FlagMenu{T::Termine, C::ExportDates},
    CommandTable::FlagMenu{T::Doc, C::InfoSheet},
    CommandTable::FlagMenu{T::Print, C::Print},
    CommandTable::FlagMenu{T::Print, C::PrintPreview}, // goes with printing
    CommandTable::FlagMenu{T::Copy, C::Copy},
    CommandTable::FlagMenu{T::Delete, C::ClearInputs},
    CommandTable::FlagMenu{T::Recalc, C::ReductionValues},
    CommandTable::FlagMenu{T::Options, C::ChartOptions},
    CommandTable::FlagMenu{T::Mail, C::Email},
};

// One column per view, one row per flag key (Y = shown and enabled).
//                               Input  Chart  Sheet  Doc    Browser FollowUp CaseList
constexpr std::array<std::array<bool, 7>, flagKeys.size()> viewFlags{{
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
    /* Gdt      */ {false, true, false, false, false, false, false},
}};

// Each place stands at its key's index, so that a key finds its place without a search.
constexpr bool inKeyOrder() {
    for (std::size_t i = 0; i < toolbarSlots.size(); ++i) {
        if (int(toolbarSlots[i].id) != int(i))
            return false;
    }
    return true;
}
static_assert(inKeyOrder(), "the toolbar's places must be listed in ToolKey order");

constexpr int flagIndex(T key) {
    for (std::size_t i = 0; i < flagKeys.size(); ++i) {
        if (flagKeys[i] == key)
            return int(i);
    }
    return -1;
}

constexpr bool menusHaveFlags() {
    for (const CommandTable::FlagMenu &menu : flagMenuList) {
        if (flagIndex(menu.key) < 0)
            return false;
    }
    return true;
}
static_assert(menusHaveFlags(), "a menu entry is switched with a key no view switches");

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

const ToolbarSlot &slot(ToolKey key) {
    return toolbarSlots[std::size_t(key)];
}

std::optional<ToolKey> toolKey(QStringView name) {
    for (const ToolbarSlot &s : toolbarSlots) {
        if (name == QLatin1StringView(s.key))
            return s.id;
    }
    return std::nullopt;
}

std::span<const FlagMenu> flagMenus() {
    return flagMenuList;
}

std::optional<bool> shownIn(View view, ToolKey key) {
    const int flag = flagIndex(key);
    if (flag < 0)
        return std::nullopt;
    return viewFlags[flag][static_cast<int>(view)];
}

} // namespace CommandTable
