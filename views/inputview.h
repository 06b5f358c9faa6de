// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/chartcalc.h"
#include "core/dietcase.h"

#include "views/childview.h"

#include <array>

class QComboBox;
class QLabel;
class QScrollArea;
class QLineEdit;
class QPushButton;
class QRadioButton;

/**
 * The case input form: its fields are the current case. It checks entries as the user
 * leaves them and starts the calculation with its compute button.
 */
class InputView : public ChildView {
    Q_OBJECT

public:
    explicit InputView(ViewHost &host, QWidget *parent = nullptr);

    /** The compute button: checks the case and computes the curve. */
    void compute();

    /** Empties every field, option and the species, and hides the case's history. */
    void clearInputs();
    /** Whether the user typed or chose something since the last load, save or clearing. */
    bool hasUnsavedInput() const { return m_typed; }
    void markSaved() { m_typed = false; }
    /** Input given elsewhere: new rates, an adjusted ration. */
    void markChanged() { m_typed = true; }

    /** Puts the focus into a field shown as text, without the check of the field it leaves. */
    void focusField(DietCase::Field field);

    /** The text box of a field shown as text, nullptr for the others. */
    QLineEdit *field(DietCase::Field field) const;
    QRadioButton *option(int number) const { return m_options.at(number - 1); }
    QComboBox *speciesList() const { return m_species; }
    QLabel *caption(int index) const { return m_captions.at(index); }
    QPushButton *computeButton() const { return m_compute; }
    QLabel *suggestion() const { return m_suggestion; }
    QPushButton *takeSuggestionButton() const { return m_takeSuggestion; }
    QLabel *ration() const { return m_ration; }
    /** Beside the rates when one is above the species' safe loss. */
    QLabel *rateNote() const { return m_rateNote; }

signals:
    void curveComputed(const ChartSetup &setup);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    using Field = DietCase::Field;

    void showText(Field field);
    void showOptions();
    void showHistory();
    /** The score's suggestion with its button and the ration line, laid out with the rows. */
    void createFeedingWidgets();
    void showFeeding();
    /** The check of a field the focus leaves; false keeps the focus there. */
    bool validate(QLineEdit *field);
    bool validateWeight(QLineEdit *field);
    bool validateAge();
    bool validateFeeding(QLineEdit *field);

    DietCase &m_case;
    std::array<QLineEdit *, 12> m_texts{};
    std::array<QRadioButton *, 4> m_options{};
    std::array<QLabel *, 24> m_captions{};
    QComboBox *m_species = nullptr;
    QLabel *m_currentDate = nullptr;
    QLabel *m_creationDate = nullptr;
    QLabel *m_formerWeight = nullptr;
    QPushButton *m_compute = nullptr;
    QLabel *m_suggestion = nullptr;
    QPushButton *m_takeSuggestion = nullptr;
    QLabel *m_ration = nullptr;
    QLabel *m_rateNote = nullptr;
    QScrollArea *m_scroll = nullptr;
    bool m_validating = false;
    bool m_typed = false;
};
