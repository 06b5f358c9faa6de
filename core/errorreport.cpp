#include "core/errorreport.h"

#include "core/apperror.h"
#include "core/stringtable.h"
#include "files/appsettings.h"

QString errorReportText(const QString &info, int number, const QString &description,
                        const QString &procName, const QString &errorValue) {
    QString text = str(2420) + u"  " + QString::number(number) + u"  -  " + description;
    if (errorValue != u"0")
        text += str(2421) + u"  -  " + info + u"  -  " + procName;
    return text;
}

UserInterface::Answer ReportError(UserInterface &ui, const AppSettings &settings,
                                  const QString &info, const AppError &error,
                                  const QString &procName) {
    ui.restoreCursors();
    const QString text = errorReportText(info, error.number(), error.description(), procName,
                                         settings.value(AppSettings::ErrorValue));
    return ui.message(text, UserInterface::Icon::Critical, str(901));
}
