// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/recalcdialog.h"

#include "controls/busycursor.h"
#include "controls/ratebar.h"
#include "core/apperror.h"
#include "core/clinical.h"
#include "core/clock.h"
#include "core/dietcase.h"
#include "core/errorreport.h"
#include "core/germantext.h"
#include "core/ratecoupling.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "core/userinterface.h"
#include "files/appsettings.h"
#include "views/accessibility.h"
#include "views/viewhost.h"

#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <cmath>
#include <utility>

namespace {

using F = DietCase::Field;

// Text3 ... Text9 and the case field each shows, with the unit beside it (0 for none).
struct Shown {
    F field;
    int unit;
};
constexpr std::array<Shown, 7> shownFields{{
    {F::todayWeight, S::Kg},
    {F::targetWeight, S::KgUnit},
    {F::overweightPercent, S::PercentUnit},
    {F::ageYears, S::YearsUnit},
    {F::weeklyRateDuring, S::RateDuringUnit},
    {F::weeklyRateEnd, S::RateEndUnit},
    {F::dietEndDate, 0},
}};

// Label5 ... Label9 keep these fields for "Zurücksetzen".
constexpr std::array snapshotFields{F::todayWeight, F::targetWeight, F::weeklyRateDuring,
                                    F::weeklyRateEnd, F::dietEndDate};

constexpr int endMinimum = 2;
constexpr int endMaximum = 22;
constexpr int duringMaximum = 40;

/** A rate text in tenths of a percent, held within the bar's range. */
int tenths(const QString &rate, int low, int high) {
    const auto value = GermanText::toNumber(rate);
    if (!value)
        return low; // nothing to show: the bar opens at its lower end
    const double scaled = std::clamp(*value * 10, double(low), double(high));
    return int(std::nearbyint(scaled));
}

QString rateText(int tenthsOfPercent) {
    return GermanText::fromNumber(tenthsOfPercent / 10.0);
}

} // namespace

RecalcDialog::RecalcDialog(ViewHost &host, QWidget *parent)
    : QDialog(parent)
    , m_host(host) {
    setObjectName(QStringLiteral("frmRecalc"));
    setWindowTitle(str(S::RecalcCaption));
    // Shown values look like values, not like fields to type into.
    setStyleSheet(QStringLiteral("QLineEdit[readOnly=\"true\"] { background: palette(window); }"));

    auto *grid = new QGridLayout;
    int row = 0;
    m_rateNote = new QLabel(this);
    m_rateNote->setObjectName(QStringLiteral("lblRateNote"));
    for (int i = 0; i < int(shownFields.size()); ++i) {
        const Shown &shown = shownFields[i];
        auto *caption = new QLabel(str(DietCase::captionNumber(shown.field)), this);
        caption->setObjectName(QStringLiteral("Label3"));
        auto *edit = new QLineEdit(this);
        edit->setObjectName(u"Text" + QString::number(i + 3));
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::NoFocus);
        edit->setMaximumWidth(fontMetrics().horizontalAdvance(u'0') * 14);
        m_texts[i] = edit;
        const QString unit = shown.unit ? str(shown.unit) : QString();
        Accessibility::nameField(caption, edit, unit);
        auto *line = new QHBoxLayout;
        line->addWidget(edit);
        if (!unit.isEmpty())
            line->addWidget(new QLabel(unit, this));
        line->addStretch();
        grid->addWidget(caption, row, 0);
        grid->addLayout(line, row, 1);
        ++row;
        if (shown.field == F::weeklyRateDuring || shown.field == F::weeklyRateEnd) {
            auto *bar = new RateBar(this);
            bar->setPageStep(5);
            bar->setMinimumWidth(280);
            // The rates are set from the keyboard too, as on a slider: Right and Up raise them
            // (a scroll bar's own keys run the other way round).
            bar->setFocusPolicy(Qt::StrongFocus);
            bar->setInvertedControls(false);
            Accessibility::nameField(caption, bar, unit); // the row's input
            grid->addWidget(bar, row++, 1);
            if (shown.field == F::weeklyRateDuring) {
                bar->setObjectName(QStringLiteral("ScrollBar1"));
                m_during = bar;
            } else {
                bar->setObjectName(QStringLiteral("ScrollBar2"));
                m_end = bar;
                grid->addWidget(m_rateNote, row++, 1); // below the rates it is about
            }
        }
    }
    m_end->setRange(endMinimum, endMaximum);
    m_during->setRange(endMinimum, duringMaximum);
    connect(m_during, &QScrollBar::valueChanged, this, &RecalcDialog::duringChanged);
    connect(m_end, &QScrollBar::valueChanged, this, &RecalcDialog::endChanged);

    auto *sexFrame = new QGroupBox(str(S::SexCaption), this);
    sexFrame->setObjectName(QStringLiteral("Frame1"));
    sexFrame->setAccessibleName(Accessibility::nameOf(sexFrame->title())); // without its colon
    auto *neuterFrame = new QGroupBox(this);
    neuterFrame->setObjectName(QStringLiteral("Frame2"));
    neuterFrame->setAccessibleName(str(S::NeuterCaption)); // untitled, as the form's pair
    auto *sexLayout = new QHBoxLayout(sexFrame);
    auto *neuterLayout = new QHBoxLayout(neuterFrame);
    for (int n = 1; n <= 4; ++n) {
        auto *button = new QRadioButton(str(S::optionCaptions[n - 1]), this);
        button->setObjectName(u"Option" + QString::number(n));
        button->setAutoExclusive(false);
        button->setEnabled(false); // shown, not changed here
        (n <= 2 ? sexLayout : neuterLayout)->addWidget(button);
        m_options[n - 1] = button;
    }
    auto *frames = new QHBoxLayout;
    frames->addWidget(sexFrame);
    frames->addWidget(neuterFrame);

    m_currentDate = new QLabel(this);
    m_currentDate->setObjectName(QStringLiteral("Label4"));
    auto *dateLine = new QHBoxLayout;
    dateLine->addWidget(new QLabel(str(S::CurrentDateCaption), this));
    dateLine->addWidget(m_currentDate);
    dateLine->addStretch();

    for (int i = 0; i < 5; ++i) {
        m_snapshot[i] = new QLabel(this);
        m_snapshot[i]->setObjectName(u"Label" + QString::number(i + 5));
        m_snapshot[i]->hide(); // what "Zurücksetzen" returns to
    }

    const auto addButton = [&](int caption, const char *name) {
        auto *b = new QPushButton(str(caption), this);
        b->setObjectName(QLatin1StringView(name));
        return b;
    };
    QPushButton *back = addButton(S::Reset, "cmdback");
    QPushButton *ok = addButton(S::Ok, "cmdOK");
    QPushButton *cancel = addButton(S::Cancel, "cmdCancel");
    m_apply = addButton(S::Apply, "cmdApply");
    // A plain row, not a button box: a box hands the focus on to its first button by itself,
    // and Tab would meet it a second time on its way round the dialog.
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(m_apply);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] {
        apply(QStringLiteral("cmdOK_Click"));
        accept(); // also when the check failed: the case then stays as it was
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_apply, &QPushButton::clicked, this, &RecalcDialog::applyRates);
    connect(back, &QPushButton::clicked, this, &RecalcDialog::resetRates);

    for (const F rate : {F::weeklyRateDuring, F::weeklyRateEnd})
        connect(field(rate), &QLineEdit::textChanged, this, &RecalcDialog::showRateNote);
    // Another of our windows took over: the activation owed by a box is no longer coming.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (now && now->window() != this)
            m_activationOwed = false;
    });

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(frames);
    layout->addLayout(grid);
    layout->addLayout(dateLine);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    Accessibility::setReadingOrder({m_during, m_end, back, ok, cancel, m_apply});
}

QPushButton *RecalcDialog::button(const QString &name) const {
    return findChild<QPushButton *>(name);
}

bool RecalcDialog::event(QEvent *event) {
    // Coming back from our own message box is no new activation.
    if (event->type() == QEvent::WindowActivate && !m_ownMessage &&
        !std::exchange(m_activationOwed, false))
        activate();
    return QDialog::event(event);
}

QLineEdit *RecalcDialog::field(DietCase::Field field) const {
    const auto it = std::find_if(shownFields.begin(), shownFields.end(),
                                 [field](const Shown &shown) { return shown.field == field; });
    return it == shownFields.end() ? nullptr : m_texts[it - shownFields.begin()];
}

void RecalcDialog::activate() {
    const DietCase &c = m_host.dietCase();
    for (int i = 0; i < int(shownFields.size()); ++i)
        m_texts[i]->setText(c.text(shownFields[i].field));
    for (int n = 1; n <= 4; ++n)
        m_options[n - 1]->setChecked(c.optionSelected(n));
    m_currentDate->setText(c.text(F::currentDate));
    setWindowTitle(str(S::RecalcCaption));

    for (int i = 0; i < int(snapshotFields.size()); ++i)
        m_snapshot[i]->setText(field(snapshotFields[i])->text());

    const QSignalBlocker blockEnd(m_end);
    const QSignalBlocker blockDuring(m_during);
    m_end->setValue(tenths(field(F::weeklyRateEnd)->text(), endMinimum, endMaximum));
    m_during->setMinimum(m_end->value());
    m_during->setValue(tenths(field(F::weeklyRateDuring)->text(), m_end->value(), duringMaximum));
    field(F::weeklyRateDuring)->setText(rateText(m_during->value()));
    field(F::weeklyRateEnd)->setText(rateText(m_end->value()));
    showRateNote(); // the species may have changed since the rates did
}

void RecalcDialog::showRateNote() {
    m_rateNote->setText(Clinical::rateNote(m_host.dietCase().text(F::species),
                                           field(F::weeklyRateDuring)->text(),
                                           field(F::weeklyRateEnd)->text()));
    m_rateNote->setVisible(!m_rateNote->text().isEmpty());
}

void RecalcDialog::duringChanged(int value) {
    if (value < m_end->value()) {
        m_during->setValue(m_end->value());
        return;
    }
    field(F::weeklyRateDuring)->setText(rateText(value));
    m_apply->setFocus();
}

void RecalcDialog::endChanged(int value) {
    if (value > m_during->value()) {
        m_end->setValue(m_during->value());
        return;
    }
    m_during->setMinimum(value);
    field(F::weeklyRateEnd)->setText(rateText(value));
    m_apply->setFocus();
}

bool RecalcDialog::applyRates() {
    return apply(QStringLiteral("cmdApply_Click"));
}

bool RecalcDialog::apply(const QString &handler) {
    BusyCursor busy;
    try {
        if (!check_reduction(m_host.dietCase(), field(F::weeklyRateDuring)->text(),
                             field(F::weeklyRateEnd)->text())) {
            ownMessage([this] {
                m_host.ui().message(str(S::TooManyDays), UserInterface::Icon::Critical,
                                    str(S::MailSubject));
            });
            return false;
        }
    } catch (const AppError &e) {
        report(e, objectName() + u'-' + handler);
        return false;
    }

    DietCase &c = m_host.dietCase();
    c.setText(F::weeklyRateDuring, field(F::weeklyRateDuring)->text());
    c.setText(F::weeklyRateEnd, field(F::weeklyRateEnd)->text());
    c.setText(F::dietEndDate, field(F::dietEndDate)->text());
    QString endDate;
    try {
        endDate = GermanText::fromDate(EndDate(c, EndDateMode::Recalculate, Clock::today()));
    } catch (const AppError &e) {
        report(e, QStringLiteral("EndDate"), QStringLiteral("XXX"));
    }
    field(F::dietEndDate)->setText(endDate);
    c.setText(F::dietEndDate, endDate);
    recompute(objectName() + u'-' + handler);
    return true;
}

void RecalcDialog::resetRates() {
    for (int i = 0; i < int(snapshotFields.size()); ++i)
        field(snapshotFields[i])->setText(m_snapshot[i]->text());
    DietCase &c = m_host.dietCase();
    c.setText(F::weeklyRateDuring, field(F::weeklyRateDuring)->text());
    c.setText(F::weeklyRateEnd, field(F::weeklyRateEnd)->text());
    c.setText(F::dietEndDate, field(F::dietEndDate)->text());
    recompute(objectName() + u"-cmdback_Click");
}

void RecalcDialog::recompute(const QString &procName) {
    try {
        emit curveComputed(ChartCalc(m_host.dietCase(),
                                     m_host.settings().value(AppSettings::SmallPets) == u"1",
                                     Clock::today()));
    } catch (const AppError &e) {
        report(e, procName);
    }
}

void RecalcDialog::report(const AppError &error, const QString &procName, const QString &info) {
    const QString working = info.isEmpty() ? field(F::weeklyRateDuring)->text() + u" / " +
                                                 field(F::weeklyRateEnd)->text()
                                           : info;
    ownMessage([&] { m_host.errors().ReportError(error, procName, working); });
}

void RecalcDialog::ownMessage(const std::function<void()> &show) {
    m_ownMessage = true;
    const auto ended = qScopeGuard([this] {
        m_ownMessage = false;
        // The window system hands the activation back after the box has gone, however late.
        m_activationOwed = !isActiveWindow();
    });
    show();
}
