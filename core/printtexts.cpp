#include "core/printtexts.h"

#include "core/dietcase.h"
#include "core/germantext.h"
#include "core/stringtable.h"

namespace {

using F = DietCase::Field;

constexpr int sDietPlan = 109;
constexpr int sFor = 172;
constexpr int sOwner = 138;
constexpr int sWeightOn = 156;
constexpr int sKg = 129;
constexpr int sTargetOn = 159;
constexpr int sCreatedWith = 160;

QString unlessEmpty(const QString &text, QStringView after) {
    return text.isEmpty() ? QString() : text + after.toString();
}

} // namespace

QString planSheetHeader(const DietCase &c) {
    const QString owner = c.text(F::ownerName);
    const QString ownerPart =
        owner.isEmpty() ? QString() : u'(' + str(sOwner) + u": " + owner + u"), ";
    return str(sDietPlan) + u' ' + str(sFor) + u' ' + unlessEmpty(c.text(F::species), u" ") +
           unlessEmpty(c.text(F::petName), u" ") + ownerPart +
           unlessEmpty(displayText(c.sex()), u", ") +
           unlessEmpty(displayText(c.neuterState()), u" ") + u" \r" + str(sWeightOn) + u' ' +
           c.text(F::currentDate) + u": " + c.text(F::todayWeight) + u' ' + str(sKg) + u", " +
           str(sTargetOn) + u' ' + c.text(F::dietEndDate) + u": " + c.text(F::targetWeight) + u' ' +
           str(sKg);
}

QString planSheetFooter(QDate today) {
    return str(sCreatedWith) + u' ' + GermanText::fromDate(today);
}
