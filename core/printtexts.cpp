// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/printtexts.h"

#include "core/dietcase.h"
#include "core/feeding.h"
#include "core/germantext.h"
#include "core/stringids.h"
#include "core/stringtable.h"

namespace {

using F = DietCase::Field;

QString unlessEmpty(const QString &text, QStringView after) {
    return text.isEmpty() ? QString() : text + after.toString();
}

// The food's daily grams and the treats under the weights, where the ration is known.
QString rationLine(const DietCase &c) {
    const QString line = Feeding::rationLine(Feeding::figures(c));
    return line.isEmpty() ? QString() : u" \r" + line;
}

} // namespace

QString planSheetHeader(const DietCase &c) {
    const QString owner = c.text(F::ownerName);
    const QString ownerPart =
        owner.isEmpty() ? QString() : u'(' + str(S::Owner) + u": " + owner + u"), ";
    return str(S::DietPlan) + u' ' + str(S::For) + u' ' + unlessEmpty(c.text(F::species), u" ") +
           unlessEmpty(c.text(F::petName), u" ") + ownerPart +
           unlessEmpty(displayText(c.sex()), u", ") +
           unlessEmpty(displayText(c.neuterState()), u" ") + u" \r" + str(S::WeightOn) + u' ' +
           c.text(F::currentDate) + u": " + c.text(F::todayWeight) + u' ' + str(S::Kg) + u", " +
           str(S::TargetOn) + u' ' + c.text(F::dietEndDate) + u": " + c.text(F::targetWeight) +
           u' ' + str(S::Kg) + rationLine(c);
}

QString planSheetFooter(QDate today) {
    return str(S::CreatedWith) + u' ' + GermanText::fromDate(today);
}
