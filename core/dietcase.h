// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/casehistory.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

enum class PetSex { Unset, Male, Female };
enum class NeuterState { Unset, Neutered, Intact };

/** The five species of the species list, in list order. */
namespace Species {
QStringList names();
}

QString displayText(PetSex sex);
QString displayText(NeuterState state);

/**
 * The one current diet case: the texts of the input form's fields, the two option pairs
 * and the visibility of the history fields. Fields keep what was typed, not numbers.
 */
class DietCase : public QObject {
    Q_OBJECT

public:
    enum class Field {
        ownerName,
        petName,
        species,
        todayWeight,
        targetWeight,
        overweightPercent,
        ageYears,
        weeklyRateDuring,
        weeklyRateEnd,
        dietEndDate,
        currentDate,
        creationDate,
        formerWeight,
        bodyCondition,
        foodName,
        energyDensity,
    };
    Q_ENUM(Field)
    static constexpr int fieldCount = 16;

    explicit DietCase(QObject *parent = nullptr);

    /** A new case: empty texts, "Hund", no options, currentDate today, no history, full ration. */
    void reset();
    /**
     * The form as "Eingaben löschen" leaves it: every input empty, no option, no history,
     * the full ration, no file; the current date stays.
     */
    void clearInputs();

    /** The case file this case was loaded from or last saved to; empty for a new case. */
    const QString &filePath() const { return m_filePath; }
    void setFilePath(const QString &path) { m_filePath = path; }

    const QString &text(Field field) const { return m_texts[index(field)]; }
    /** Replaces a text; listeners hear of it only when the text really changes. */
    void setText(Field field, const QString &text);

    PetSex sex() const { return m_sex; }
    NeuterState neuterState() const { return m_neuterState; }
    void setSex(PetSex sex);
    void setNeuterState(NeuterState state);

    /** The option buttons 1 to 4 (male, female, neutered, intact), each pair exclusive. */
    bool optionSelected(int option) const;
    void setOptionSelected(int option, bool selected);

    bool creationDateVisible() const { return m_creationDateVisible; }
    bool formerWeightVisible() const { return m_formerWeightVisible; }
    void setCreationDateVisible(bool visible);
    void setFormerWeightVisible(bool visible);

    /** A loaded case whose former weight anchors the curve. */
    bool isFollowUp() const;
    /** The stricter test that also needs the creation date. */
    bool hasHistory() const;

    /** The former weight's number: its text without the trailing " kg". */
    double formerWeightValue() const;

    /** The weighings loaded with the case; empty for a new case. */
    const CaseHistory &history() const { return m_history; }
    void setHistory(const CaseHistory &history);
    /** Lines of the file's extension block this version does not know, kept for the next save. */
    const QStringList &unknownKeys() const { return m_unknownKeys; }
    void setUnknownKeys(const QStringList &lines);
    /**
     * Forgets the weighings, the unknown keys and what they anchor, the patient number and
     * the file they came from, as clearing the inputs does.
     */
    void clearHistory();

    /**
     * The weighings as a save records them: the loaded ones plus today's weight on the
     * current date when both read as a positive number and a date (replacing one on that
     * date).
     */
    CaseHistory recordedHistory() const;
    /** Today's weight on the current date, when both read as a positive number and a date. */
    std::optional<Weighing> typedWeighing() const;

    /** The daily ration in percent of the first one; follow-ups adjust it. */
    int rationPercent() const { return m_rationPercent; }
    void setRationPercent(int percent);
    /** The weighing the ration was last adjusted after: once per weighing. */
    QDate rationAdjustedFor() const { return m_rationAdjustedFor; }
    void setRationAdjustedFor(QDate weighing);

    /**
     * The weight of the visit at which the body condition score was given, which its
     * suggested target comes from; empty while the score is new (today's weight counts).
     * A changed score forgets it.
     */
    std::optional<double> scoreWeight() const { return m_scoreWeight; }
    void setScoreWeight(std::optional<double> weight);

    /** The practice system's number of the patient, from a GDT request; empty otherwise. */
    const QString &patientNumber() const { return m_patientNumber; }
    void setPatientNumber(const QString &number) { m_patientNumber = number; }

    static QString fieldName(Field field);
    /** The string number of the caption that names a field on the input form. */
    static int captionNumber(Field field);

signals:
    void textChanged(DietCase::Field field);
    void optionsChanged();
    void visibilityChanged();
    void historyChanged();
    void rationChanged();

private:
    static constexpr int index(Field f) { return static_cast<int>(f); }

    std::array<QString, fieldCount> m_texts;
    PetSex m_sex = PetSex::Unset;
    NeuterState m_neuterState = NeuterState::Unset;
    bool m_creationDateVisible = false;
    bool m_formerWeightVisible = false;
    CaseHistory m_history;
    QStringList m_unknownKeys;
    int m_rationPercent = 100;
    QDate m_rationAdjustedFor;
    std::optional<double> m_scoreWeight;
    QString m_patientNumber;
    QString m_filePath;
};
