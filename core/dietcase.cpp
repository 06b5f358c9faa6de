// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/dietcase.h"

#include "core/apperror.h"
#include "core/clock.h"
#include "core/germantext.h"
#include "core/stringids.h"
#include "core/stringtable.h"

#include <QMetaEnum>

QStringList Species::names() {
    QStringList list;
    for (const int name : S::speciesNames)
        list << str(name);
    return list;
}

QString displayText(PetSex sex) {
    switch (sex) {
    case PetSex::Male:
        return str(S::Male);
    case PetSex::Female:
        return str(S::Female);
    case PetSex::Unset:
        break;
    }
    return {};
}

QString displayText(NeuterState state) {
    switch (state) {
    case NeuterState::Neutered:
        return str(S::Neutered);
    case NeuterState::Intact:
        return str(S::Intact);
    case NeuterState::Unset:
        break;
    }
    return {};
}

DietCase::DietCase(QObject *parent)
    : QObject(parent) {
    reset();
}

void DietCase::reset() {
    clearInputs();
    setText(Field::species, Species::names().value(0));
    setText(Field::currentDate, GermanText::fromDate(Clock::today()));
}

void DietCase::clearInputs() {
    for (int i = 0; i < fieldCount; ++i) {
        if (static_cast<Field>(i) != Field::currentDate)
            setText(static_cast<Field>(i), QString());
    }
    setSex(PetSex::Unset);
    setNeuterState(NeuterState::Unset);
    setCreationDateVisible(false);
    setFormerWeightVisible(false);
    clearHistory();
    setRationPercent(100);
}

void DietCase::setText(Field field, const QString &text) {
    QString &current = m_texts[index(field)];
    if (current == text)
        return;
    current = text;
    if (field == Field::bodyCondition)
        m_scoreWeight.reset(); // a new score is given at today's weight
    emit textChanged(field);
}

void DietCase::setSex(PetSex sex) {
    if (m_sex == sex)
        return;
    m_sex = sex;
    emit optionsChanged();
}

void DietCase::setNeuterState(NeuterState state) {
    if (m_neuterState == state)
        return;
    m_neuterState = state;
    emit optionsChanged();
}

bool DietCase::optionSelected(int option) const {
    switch (option) {
    case 1:
        return m_sex == PetSex::Male;
    case 2:
        return m_sex == PetSex::Female;
    case 3:
        return m_neuterState == NeuterState::Neutered;
    case 4:
        return m_neuterState == NeuterState::Intact;
    }
    return false;
}

void DietCase::setOptionSelected(int option, bool selected) {
    // Deselecting a button that is not the selected one of its pair changes nothing.
    if (option == 1 || option == 2) {
        const PetSex value = option == 1 ? PetSex::Male : PetSex::Female;
        if (selected)
            setSex(value);
        else if (m_sex == value)
            setSex(PetSex::Unset);
    } else if (option == 3 || option == 4) {
        const NeuterState value = option == 3 ? NeuterState::Neutered : NeuterState::Intact;
        if (selected)
            setNeuterState(value);
        else if (m_neuterState == value)
            setNeuterState(NeuterState::Unset);
    }
}

void DietCase::setCreationDateVisible(bool visible) {
    if (m_creationDateVisible == visible)
        return;
    m_creationDateVisible = visible;
    emit visibilityChanged();
}

void DietCase::setFormerWeightVisible(bool visible) {
    if (m_formerWeightVisible == visible)
        return;
    m_formerWeightVisible = visible;
    emit visibilityChanged();
}

bool DietCase::isFollowUp() const {
    return m_formerWeightVisible && !text(Field::formerWeight).isEmpty();
}

bool DietCase::hasHistory() const {
    return isFollowUp() && m_creationDateVisible && !text(Field::creationDate).isEmpty();
}

double DietCase::formerWeightValue() const {
    const QString &former = m_texts[index(Field::formerWeight)];
    if (former.size() < 3)
        throw AppError(AppError::InvalidArgument);
    return GermanText::parseNumber(QStringView(former).chopped(3));
}

void DietCase::setHistory(const CaseHistory &history) {
    if (m_history == history)
        return;
    m_history = history;
    emit historyChanged();
}

void DietCase::setUnknownKeys(const QStringList &lines) {
    m_unknownKeys = lines;
}

void DietCase::clearHistory() {
    setHistory({});
    m_unknownKeys.clear();
    setRationAdjustedFor({});
    setScoreWeight(std::nullopt);
    m_patientNumber.clear();
    m_filePath.clear();
}

CaseHistory DietCase::recordedHistory() const {
    CaseHistory recorded = m_history;
    if (const auto typed = typedWeighing())
        recorded.record(*typed);
    return recorded;
}

std::optional<Weighing> DietCase::typedWeighing() const {
    const auto weight = GermanText::toNumber(text(Field::todayWeight));
    const auto date = GermanText::toDate(text(Field::currentDate));
    if (!weight || *weight <= 0 || !date)
        return std::nullopt;
    return Weighing{*date, *weight};
}

void DietCase::setRationPercent(int percent) {
    if (m_rationPercent == percent)
        return;
    m_rationPercent = percent;
    emit rationChanged();
}

void DietCase::setRationAdjustedFor(QDate weighing) {
    if (m_rationAdjustedFor == weighing)
        return;
    m_rationAdjustedFor = weighing;
    emit rationChanged();
}

void DietCase::setScoreWeight(std::optional<double> weight) {
    if (m_scoreWeight == weight)
        return;
    m_scoreWeight = weight;
    emit rationChanged(); // the suggestion follows
}

QString DietCase::fieldName(Field field) {
    return QString::fromLatin1(QMetaEnum::fromType<Field>().valueToKey(static_cast<int>(field)));
}

int DietCase::captionNumber(Field field) {
    // In field order: the input form's captions, the history's, then the ration's.
    static constexpr std::array<int, fieldCount> captions{
        S::OwnerNameCaption,    S::PetNameCaption,       S::SpeciesCaption,
        S::TodayWeightCaption,  S::TargetWeightCaption,  S::OverweightCaption,
        S::AgeCaption,          S::RateDuringCaption,    S::RateEndCaption,
        S::DietEndCaption,      S::CurrentDateCaption,   S::CreationDateCaption,
        S::FormerWeightCaption, S::BodyConditionCaption, S::FoodCaption,
        S::EnergyCaption};
    return captions[index(field)];
}
