// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/dietcase.h"

#include "core/chartcalc.h"

#include <QDialog>

#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class ViewHost;

/**
 * The reduction values dialog: changes the two weekly rates of the case with scroll
 * bars, checks that the plan still fits, and recomputes end date and curve. It shows a
 * copy of the case taken each time it becomes active.
 */
class RecalcDialog : public QDialog {
    Q_OBJECT

public:
    explicit RecalcDialog(ViewHost &host, QWidget *parent = nullptr);

    /** Copies the case into the dialog and takes the snapshot for "Zurücksetzen". */
    void activate();

    /** "Übernehmen": true when the rates were taken over. */
    bool applyRates();
    /** "Zurücksetzen": back to the snapshot of the last activation. */
    void resetRates();

    QScrollBar *duringBar() const { return m_during; }
    QScrollBar *endBar() const { return m_end; }
    /** The text box of a field the dialog shows, nullptr for the others. */
    QLineEdit *field(DietCase::Field field) const;
    QPushButton *button(const QString &name) const;
    /** Below the rates when one is above the species' safe loss; hidden otherwise. */
    QLabel *rateNote() const { return m_rateNote; }

signals:
    void curveComputed(const ChartSetup &setup);

protected:
    bool event(QEvent *event) override;

private:
    void showRateNote();
    void duringChanged(int value);
    void endChanged(int value);
    void recompute(const QString &procName);
    /** An error of a handler, with the rates it was applying; modules pass "XXX". */
    void report(const class AppError &error, const QString &procName, const QString &info = {});
    bool apply(const QString &handler);
    /** Shows one of our message boxes; the activation it hands back is no new one. */
    void ownMessage(const std::function<void()> &show);

    ViewHost &m_host;
    std::array<QLineEdit *, 7> m_texts{}; // Text3 ... Text9
    std::array<QLabel *, 5> m_snapshot{}; // Label5 ... Label9
    std::array<QRadioButton *, 4> m_options{};
    QLabel *m_currentDate = nullptr;
    QLabel *m_rateNote = nullptr;
    QScrollBar *m_during = nullptr;
    QScrollBar *m_end = nullptr;
    QPushButton *m_apply = nullptr;
    bool m_ownMessage = false;     // a box of ours is open
    bool m_activationOwed = false; // its activation has yet to come back
};
