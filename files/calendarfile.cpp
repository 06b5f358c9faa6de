// SPDX-License-Identifier: GPL-3.0-or-later

#include "files/calendarfile.h"

#include "core/clock.h"
#include "core/errorreport.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "core/userinterface.h"
#include "core/weighcalendar.h"
#include "files/atomicfile.h"
#include "files/programfolder.h"

bool writeWeighDates(const DietCase &c, const QString &path, QDate today, const QDateTime &stamp) {
    return AtomicFile::tryWrite(path, WeighCalendar::ics(c, today, stamp));
}

void export_ics(const DietCase &c, const ErrorReporter &errors) {
    UserInterface &ui = errors.ui();
    const auto path = ui.saveFileName(ProgramFolder::caseFolderFor(ui), str(S::CalendarFilter),
                                      WeighCalendar::proposedFileName(c));
    if (!path)
        return;
    if (!writeWeighDates(c, *path, Clock::today(), QDateTime::currentDateTimeUtc()))
        ui.message(str(S::DatesNotSaved) + u'\n' + *path, UserInterface::Icon::Exclamation,
                   str(S::Product));
}
