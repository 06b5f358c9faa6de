// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>

/**
 * The numbers of the string table's texts by name, in one list: every text the program
 * shows is looked up by one of these, and the string-table test checks each of them.
 */
#define KORVALO_STRING_IDS(X)                                                                      \
    X(Maker, 3)                                                                                    \
    X(Address, 4)                                                                                  \
    X(Contact, 12)                                                                                 \
    X(MailSubject, 13)                                                                             \
    X(Filter, 35)                                                                                  \
    X(InvalidTitle, 37)                                                                            \
    X(InvalidText, 38)                                                                             \
    X(Exit, 101)                                                                                   \
    X(ShowCurve, 102)                                                                              \
    X(InfoSheetCaption, 103)                                                                       \
    X(DietPlan, 109)                                                                               \
    X(SexCaption, 116)                                                                             \
    X(Male, 118)                                                                                   \
    X(Female, 119)                                                                                 \
    X(Neutered, 120)                                                                               \
    X(Intact, 121)                                                                                 \
    X(CurrentDateCaption, 127)                                                                     \
    X(Kg, 129)                                                                                     \
    X(KgUnit, 130)                                                                                 \
    X(Dog, 132)                                                                                    \
    X(Cat, 133)                                                                                    \
    X(Rabbit, 134)                                                                                 \
    X(Hamster, 135)                                                                                \
    X(GuineaPig, 136)                                                                              \
    X(Animal, 137)                                                                                 \
    X(Owner, 138)                                                                                  \
    X(YourMasculine, 141)                                                                          \
    X(YourFeminine, 143)                                                                           \
    X(CreationDateCaption, 144)                                                                    \
    X(FormerWeightCaption, 145)                                                                    \
    X(Save, 147)                                                                                   \
    X(Back, 150)                                                                                   \
    X(WeightOn, 156)                                                                               \
    X(CopyChart, 157)                                                                              \
    X(CopyInfoSheet, 158)                                                                          \
    X(TargetOn, 159)                                                                               \
    X(CreatedWith, 160)                                                                            \
    X(CopyDietPlan, 169)                                                                           \
    X(Locked, 171)                                                                                 \
    X(For, 172)                                                                                    \
    X(DefaultRateDuring, 401)                                                                      \
    X(DefaultRateEnd, 402)                                                                         \
    X(Error, 501)                                                                                  \
    X(TooManyDays, 507)                                                                            \
    X(Product, 901)                                                                                \
    X(Mark, 902)                                                                                   \
    X(Copyright, 905)                                                                              \
    X(Notice, 906)                                                                                 \
    X(LeftScale, 958)                                                                              \
    X(RightScale, 959)                                                                             \
    X(TimeFrame, 960)                                                                              \
    X(ValueFrame, 961)                                                                             \
    X(AutoScale, 962)                                                                              \
    X(ShowScale, 963)                                                                              \
    X(Divisions, 964)                                                                              \
    X(ChartFrame, 965)                                                                             \
    X(SeriesColor, 966)                                                                            \
    X(Backdrop, 968)                                                                               \
    X(Apply, 974)                                                                                  \
    X(Cancel, 975)                                                                                 \
    X(Ok, 976)                                                                                     \
    X(ChartOptionsCaption, 977)                                                                    \
    X(Days, 980)                                                                                   \
    X(RecalcCaption, 981)                                                                          \
    X(Reset, 982)                                                                                  \
    X(SmallPets, 983)                                                                              \
    X(HomePage, 1050)                                                                              \
    X(NoLogoShort, 1140)                                                                           \
    X(LogoAdvice, 1141)                                                                            \
    X(LogoSizeHint, 1142)                                                                          \
    X(NoLogoTitle, 1143)                                                                           \
    X(NoLogo, 1144)                                                                                \
    X(Reinstall, 1145)                                                                             \
    X(Quit, 1162)                                                                                  \
    X(NoSysInfo, 1202)                                                                             \
    X(NotPositive, 2000)                                                                           \
    X(NotNumeric, 2001)                                                                            \
    X(AgeQuestion, 2002)                                                                           \
    X(TooMuchOverweight, 2003)                                                                     \
    X(TooMuchOverweightTitle, 2004)                                                                \
    X(InputField, 2005)                                                                            \
    X(NoValue, 2006)                                                                               \
    X(TargetAboveToday, 2007)                                                                      \
    X(TitleStart, 2100)                                                                            \
    X(Important, 2101)                                                                             \
    X(Footnote1, 2102)                                                                             \
    X(Footnote2, 2103)                                                                             \
    X(Footnote3, 2104)                                                                             \
    X(Footnote4, 2105)                                                                             \
    X(Planned, 2110)                                                                               \
    X(Measured, 2111)                                                                              \
    X(OwnColor, 2112)                                                                              \
    X(AddressCaption, 2300)                                                                        \
    X(Forward, 2301)                                                                               \
    X(Stop, 2302)                                                                                  \
    X(Refresh, 2303)                                                                               \
    X(Home, 2304)                                                                                  \
    X(Search, 2305)                                                                                \
    X(NoEngine, 2310)                                                                              \
    X(AboutCaption, 2400)                                                                          \
    X(Version, 2401)                                                                               \
    X(SysInfoButton, 2402)                                                                         \
    X(AboutOk, 2403)                                                                               \
    X(Status, 2411)                                                                                \
    X(AppTitle, 2412)                                                                              \
    X(ErrorReportStart, 2420)                                                                      \
    X(ErrorReportIn, 2421)                                                                         \
    X(LogoFilter, 2430)                                                                            \
    X(PrinterGone, 2451)                                                                           \
    X(CannotSave, 2500)                                                                            \
    X(OutsideCodePage, 2501)                                                                       \
    X(LineBreak, 2502)                                                                             \
    X(TooLong, 2503)                                                                               \
    X(TooFast, 2600)                                                                               \
    X(OnPlan, 2601)                                                                                \
    X(TooSlow, 2602)                                                                               \
    X(AdviceTooFast, 2603)                                                                         \
    X(AdviceOnPlan, 2604)                                                                          \
    X(AdviceTooSlow, 2605)                                                                         \
    X(ChangedElsewhere, 2606)                                                                      \
    X(TooManyWeighings, 2607)                                                                      \
    X(SkippedOne, 2608)                                                                            \
    X(SkippedMany, 2609)                                                                           \
    X(ProgressCaption, 2610)                                                                       \
    X(ProgressTitle, 2611)                                                                         \
    X(ProgressFirstColumn, 2612)                                                                   \
    X(WeightColumn, 2613)                                                                          \
    X(StatusColumn, 2619)                                                                          \
    X(CopyProgress, 2620)                                                                          \
    X(FirstWeighing, 2621)                                                                         \
    X(NoProgress, 2622)                                                                            \
    X(CaseListCaption, 2631)                                                                       \
    X(OwnerColumn, 2632)                                                                           \
    X(PetColumn, 2633)                                                                             \
    X(SpeciesColumn, 2634)                                                                         \
    X(LastWeighing, 2635)                                                                          \
    X(TargetColumn, 2636)                                                                          \
    X(DueColumn, 2637)                                                                             \
    X(SearchCases, 2638)                                                                           \
    X(AddFolder, 2639)                                                                             \
    X(CancelScan, 2640)                                                                            \
    X(Folders, 2641)                                                                               \
    X(Cases, 2642)                                                                                 \
    X(OneCase, 2643)                                                                               \
    X(Cancelled, 2644)                                                                             \
    X(Scanning, 2645)                                                                              \
    X(ChartDescription, 2680)                                                                      \
    X(BodyConditionCaption, 2700)                                                                  \
    X(FoodCaption, 2701)                                                                           \
    X(EnergyCaption, 2702)                                                                         \
    X(EnergyUnit, 2703)                                                                            \
    X(SuggestedTarget, 2704)                                                                       \
    X(TakeSuggestion, 2705)                                                                        \
    X(NoOverweightByScore, 2706)                                                                   \
    X(NoCalculationForSpecies, 2707)                                                               \
    X(DailyRation, 2708)                                                                           \
    X(TreatLimit, 2709)                                                                            \
    X(SmallPetFeeding, 2710)                                                                       \
    X(TreatsPerDay, 2711)                                                                          \
    X(AdjustRation, 2712)                                                                          \
    X(RationPercent, 2713)                                                                         \
    X(CatRationFloor, 2714)                                                                        \
    X(BodyConditionRange, 2715)                                                                    \
    X(EnergyRange, 2716)                                                                           \
    X(ExportDates, 2720)                                                                           \
    X(WeighEvent, 2721)                                                                            \
    X(VetEvent, 2722)                                                                              \
    X(YourPet, 2723)                                                                               \
    X(DatesFileName, 2724)                                                                         \
    X(CalendarFilter, 2725)                                                                        \
    X(DatesNotSaved, 2726)

namespace S {
#define KORVALO_STRING_ID(name, number) inline constexpr int name = number;
KORVALO_STRING_IDS(KORVALO_STRING_ID)
#undef KORVALO_STRING_ID

/** Every named string number. */
#define KORVALO_STRING_ID(name, number) number,
inline constexpr std::array all{KORVALO_STRING_IDS(KORVALO_STRING_ID)};
#undef KORVALO_STRING_ID
} // namespace S
