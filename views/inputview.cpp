// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/inputview.h"

#include "controls/busycursor.h"
#include "core/apperror.h"
#include "core/computecommand.h"
#include "core/errorreport.h"
#include "core/feeding.h"
#include "core/germantext.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "core/userinterface.h"
#include "files/appsettings.h"
#include "views/accessibility.h"
#include "views/viewhost.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QScrollArea>

#include <span>

namespace {

using F = DietCase::Field;
using Icon = UserInterface::Icon;

// The text fields Text1 ... Text12 and the case field each carries.
constexpr std::array<F, 12> textFieldOf{
    F::ownerName,         F::petName,       F::todayWeight,      F::targetWeight,
    F::overweightPercent, F::ageYears,      F::weeklyRateDuring, F::weeklyRateEnd,
    F::dietEndDate,       F::bodyCondition, F::foodName,         F::energyDensity};

} // namespace

InputView::InputView(ViewHost &host, QWidget *parent)
    : ChildView(host, "frminput", str(S::Product),
                {View::Input, {{ToolKey::Back, S::Exit}}, S::Exit}, parent)
    , m_case(host.dietCase()) {

    for (int i = 0; i < 24; ++i) {
        m_captions[i] = new QLabel(this);
        m_captions[i]->setObjectName(QStringLiteral("Label3"));
        m_captions[i]->setProperty("index", i);
    }
    for (int i = 8; i <= 11; ++i)
        m_captions[i]->hide(); // the option buttons carry these captions

    for (int n = 1; n <= int(m_texts.size()); ++n) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(u"Text" + QString::number(n));
        m_texts[n - 1] = edit;
        const F field = textFieldOf[n - 1];
        connect(edit, &QLineEdit::textChanged, this,
                [this, field](const QString &text) { m_case.setText(field, text); });
        // Only what the user does counts as input to save, not what loading fills in.
        connect(edit, &QLineEdit::textEdited, this, [this] { m_typed = true; });
    }
    field(F::todayWeight)->installEventFilter(this);
    field(F::targetWeight)->installEventFilter(this);
    field(F::ageYears)->installEventFilter(this);
    field(F::bodyCondition)->installEventFilter(this);
    field(F::energyDensity)->installEventFilter(this);

    m_species = new QComboBox(this);
    m_species->setObjectName(QStringLiteral("Combo1"));
    m_species->addItems(Species::names());
    connect(m_species, &QComboBox::currentTextChanged, this,
            [this](const QString &text) { m_case.setText(F::species, text); });
    connect(m_species, &QComboBox::activated, this, [this] { m_typed = true; });

    auto *sexGroup = new QButtonGroup(this);
    auto *neuterGroup = new QButtonGroup(this);
    for (int n = 1; n <= 4; ++n) {
        auto *button = new QRadioButton(str(S::optionCaptions[n - 1]), this); // captions 8 to 11
        button->setObjectName(u"Option" + QString::number(n));
        (n <= 2 ? sexGroup : neuterGroup)->addButton(button);
        m_options[n - 1] = button;
        connect(button, &QRadioButton::toggled, this,
                [this, n](bool checked) { m_case.setOptionSelected(n, checked); });
        connect(button, &QRadioButton::clicked, this, [this] { m_typed = true; });
    }

    m_currentDate = new QLabel(this);
    m_currentDate->setObjectName(QStringLiteral("Label4"));
    m_creationDate = new QLabel(this);
    m_creationDate->setObjectName(QStringLiteral("lbl_olddate"));
    m_formerWeight = new QLabel(this);
    m_formerWeight->setObjectName(QStringLiteral("lbl_oldweight"));

    auto *product = new QLabel(str(S::Product), this);
    product->setObjectName(QStringLiteral("Label1"));
    QFont productFont = product->font();
    productFont.setPointSizeF(productFont.pointSizeF() * 1.8);
    productFont.setBold(true);
    product->setFont(productFont);

    m_compute = new QPushButton(str(S::ShowCurve), this);
    m_compute->setObjectName(QStringLiteral("Command1"));
    m_compute->setToolTip(str(S::ShowCurve));
    m_compute->setDefault(true);
    connect(m_compute, &QPushButton::clicked, this, &InputView::compute);

    // Each pair is a group of its own for screen readers; the row's caption shows only the
    // first one's name, and a titled frame would change the form's look.
    const auto pair = [this](int first, const QString &name) {
        auto *box = new Accessibility::Group(name, this);
        auto *line = new QHBoxLayout(box);
        line->setContentsMargins(0, 0, 0, 0);
        line->addWidget(option(first));
        line->addWidget(option(first + 1));
        return box;
    };
    QWidget *sexPair = pair(1, Accessibility::nameOf(str(S::SexCaption)));
    QWidget *neuterPair = pair(3, str(S::NeuterCaption));

    createFeedingWidgets();
    const auto feedingCaption = [this](int text, const char *name) {
        auto *label = new QLabel(str(text), this);
        label->setObjectName(QLatin1StringView(name));
        return label;
    };
    // Label3(0) ... Label3(23) with their texts; a field's is the case's caption of it.
    const auto captioned = [this](int index, int text) {
        m_captions[index]->setText(str(text));
        return m_captions[index];
    };
    const auto captionOf = [&](int index, F field) {
        return captioned(index, DietCase::captionNumber(field));
    };

    // The form in reading order. Each row's caption names its control, its unit describes
    // it, further controls follow on the same line; Tab walks the rows top to bottom.
    struct Row {
        QLabel *caption;
        QWidget *control;
        QLabel *unit = nullptr;
        QList<QWidget *> beside = {};
    };
    const QList<Row> rows{
        {captionOf(0, F::ownerName), field(F::ownerName)},
        {captionOf(1, F::petName), field(F::petName)},
        {captionOf(2, F::species), m_species},
        {captionOf(3, F::todayWeight), field(F::todayWeight), captioned(19, S::Kg)},
        {captionOf(4, F::targetWeight), field(F::targetWeight), captioned(20, S::KgUnit)},
        {captionOf(5, F::overweightPercent), field(F::overweightPercent),
         captioned(21, S::PercentUnit)},
        {captioned(6, S::SexCaption), sexPair, nullptr, {neuterPair}},
        {captionOf(7, F::ageYears), field(F::ageYears), captioned(18, S::YearsUnit)},
        {captionOf(12, F::weeklyRateDuring),
         field(F::weeklyRateDuring),
         captioned(15, S::RateDuringUnit),
         {m_rateNote}},
        {captionOf(13, F::weeklyRateEnd), field(F::weeklyRateEnd), captioned(16, S::RateEndUnit)},
        {captionOf(14, F::dietEndDate), field(F::dietEndDate)},
        {feedingCaption(S::BodyConditionCaption, "lblBCS"),
         field(F::bodyCondition),
         nullptr,
         {m_suggestion, m_takeSuggestion}},
        {feedingCaption(S::FoodCaption, "lblFutter"), field(F::foodName)},
        {feedingCaption(S::EnergyCaption, "lblEnergie"), field(F::energyDensity),
         feedingCaption(S::EnergyUnit, "lblEnergieEinheit")},
        {nullptr, m_ration},
        {captionOf(17, F::currentDate), m_currentDate},
        {captionOf(22, F::creationDate), m_creationDate},
        {captionOf(23, F::formerWeight), m_formerWeight},
    };

    auto *grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    for (QLineEdit *number : std::span(m_texts).subspan(2)) // the short fields from today's weight
        number->setMaximumWidth(fontMetrics().horizontalAdvance(u'0') * 14);
    field(F::foodName)->setMaximumWidth(QWIDGETSIZE_MAX);
    for (QWidget *wide :
         {static_cast<QWidget *>(field(F::ownerName)), static_cast<QWidget *>(field(F::petName)),
          static_cast<QWidget *>(m_species), static_cast<QWidget *>(field(F::foodName))})
        wide->setMinimumWidth(fontMetrics().horizontalAdvance(u'M') * 24);
    QList<QWidget *> readingOrder;
    int at = 0;
    for (const Row &row : rows) {
        if (!row.caption) { // a line of its own across both columns
            grid->addWidget(row.control, at++, 0, 1, 2);
            continue;
        }
        grid->addWidget(row.caption, at, 0);
        auto *line = new QHBoxLayout;
        line->addWidget(row.control);
        if (row.unit)
            line->addWidget(row.unit);
        for (QWidget *more : row.beside) {
            line->addSpacing(12);
            line->addWidget(more);
        }
        line->addStretch();
        grid->addLayout(line, at++, 1);
        Accessibility::nameField(row.caption, row.control, row.unit ? row.unit->text() : QString());
        readingOrder << row.control << row.beside;
    }
    readingOrder << m_compute;
    Accessibility::setReadingOrder(readingOrder);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_compute);

    // The form scrolls in a window smaller than itself (a netbook, a remote session): no
    // field is ever cut off.
    auto *form = new QWidget(this);
    form->setObjectName(QStringLiteral("frmForm"));
    auto *layout = new QVBoxLayout(form);
    layout->addWidget(product);
    layout->addSpacing(8);
    layout->addLayout(grid);
    layout->addStretch();
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("scrForm"));
    m_scroll->setWidget(form);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setFocusPolicy(Qt::NoFocus); // Tab goes from field to field, not to the frame
    // The compute button below the scrolled form: always in sight.
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_scroll);
    buttons->setContentsMargins(9, 0, 9, 9);
    outer->addLayout(buttons);
    // Whatever takes the keyboard is scrolled into sight, by Tab, a click or the program.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (now && m_scroll->widget()->isAncestorOf(now))
            m_scroll->ensureWidgetVisible(now);
    });

    // The case is shown as it stands and followed from now on.
    connect(&m_case, &DietCase::textChanged, this, &InputView::showText);
    connect(&m_case, &DietCase::optionsChanged, this, &InputView::showOptions);
    connect(&m_case, &DietCase::visibilityChanged, this, &InputView::showHistory);
    connect(&m_case, &DietCase::textChanged, this, &InputView::showFeeding);
    connect(&m_case, &DietCase::rationChanged, this, &InputView::showFeeding);
    for (int i = 0; i < DietCase::fieldCount; ++i)
        showText(static_cast<F>(i));
    showOptions();
    showHistory();
    showFeeding();
}

void InputView::createFeedingWidgets() {
    m_suggestion = new QLabel(this);
    m_suggestion->setObjectName(QStringLiteral("lblSuggestion"));
    m_takeSuggestion = new QPushButton(str(S::TakeSuggestion), this);
    m_takeSuggestion->setObjectName(QStringLiteral("cmdTakeSuggestion"));
    m_takeSuggestion->setAutoDefault(false);
    connect(m_takeSuggestion, &QPushButton::clicked, this, [this] {
        if (const auto target = Feeding::figures(m_case).suggestedTarget) {
            field(F::targetWeight)->setText(GermanText::fromNumber(*target, 1));
            m_typed = true;
        }
    });

    m_rateNote = new QLabel(this);
    m_rateNote->setObjectName(QStringLiteral("lblRateNote"));

    m_ration = new QLabel(this);
    m_ration->setObjectName(QStringLiteral("lblRation"));
    m_ration->setWordWrap(true);
    QFont bold = m_ration->font();
    bold.setBold(true);
    m_ration->setFont(bold);
}

void InputView::showFeeding() {
    const Feeding::Figures figures = Feeding::figures(m_case);
    m_suggestion->setText(figures.suggestionText);
    m_suggestion->setVisible(!figures.suggestionText.isEmpty());
    m_takeSuggestion->setVisible(figures.suggestedTarget.has_value());
    m_rateNote->setText(Clinical::rateNote(
        m_case.text(F::species), m_case.text(F::weeklyRateDuring), m_case.text(F::weeklyRateEnd)));
    m_rateNote->setVisible(!m_rateNote->text().isEmpty());
    QStringList ration{Feeding::rationSentence(m_case, figures)};
    if (figures.rationPercent)
        ration << Feeding::rationPercentText(*figures.rationPercent);
    ration << figures.floorNote;
    ration.removeAll(QString());
    m_ration->setText(ration.join(u'\n'));
    m_ration->setVisible(!ration.isEmpty());
}

QLineEdit *InputView::field(Field field) const {
    const auto it = std::find(textFieldOf.begin(), textFieldOf.end(), field);
    return it == textFieldOf.end() ? nullptr : m_texts[it - textFieldOf.begin()];
}

void InputView::showText(Field field) {
    const QString &text = m_case.text(field);
    if (QLineEdit *edit = this->field(field)) {
        if (edit->text() != text)
            edit->setText(text);
        return;
    }
    switch (field) {
    case F::species: {
        if (m_species->currentText() == text)
            break;
        int index = m_species->findText(text);
        if (index < 0 && !text.isEmpty()) {
            m_species->addItem(text); // a species of an older file keeps its name
            index = m_species->count() - 1;
        }
        m_species->setCurrentIndex(index);
        break;
    }
    case F::currentDate:
        m_currentDate->setText(text);
        break;
    case F::creationDate:
        m_creationDate->setText(text);
        break;
    case F::formerWeight:
        m_formerWeight->setText(text);
        break;
    default:
        break;
    }
}

void InputView::showOptions() {
    for (int n = 1; n <= 4; ++n) {
        QRadioButton *button = option(n);
        const bool selected = m_case.optionSelected(n);
        if (button->isChecked() == selected)
            continue;
        // An exclusive group lets no button be unchecked; lift it for a moment.
        QButtonGroup *group = button->group();
        group->setExclusive(false);
        button->setChecked(selected);
        group->setExclusive(true);
    }
    // Each pair is one tab stop, its selected option or else its first; arrows move within.
    for (const int first : {1, 3}) {
        const bool second = option(first + 1)->isChecked();
        option(first)->setFocusPolicy(second ? Qt::ClickFocus : Qt::StrongFocus);
        option(first + 1)->setFocusPolicy(second ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

void InputView::showHistory() {
    m_creationDate->setVisible(m_case.creationDateVisible());
    m_captions[22]->setVisible(m_case.creationDateVisible());
    m_formerWeight->setVisible(m_case.formerWeightVisible());
    m_captions[23]->setVisible(m_case.formerWeightVisible());
}

bool InputView::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::FocusOut && !m_validating) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        // Only moving on within the form validates, not switching windows, views or menus.
        // Bringing another view forward moves the focus too (and, while the form's window
        // is laid out anew, to its next field); taking it back from there would pull the
        // form in front again and ask once more.
        const QWidget *next = QApplication::focusWidget();
        if ((reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
             reason == Qt::MouseFocusReason || reason == Qt::OtherFocusReason ||
             reason == Qt::ShortcutFocusReason) &&
            next && isAncestorOf(next) && next->isVisible())
            validate(static_cast<QLineEdit *>(watched));
    }
    return QWidget::eventFilter(watched, event);
}

void InputView::keyPressEvent(QKeyEvent *event) {
    // The fields pass Enter on: it presses the compute button, after the check that leaving
    // the field would run.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        auto *edit = qobject_cast<QLineEdit *>(focusWidget());
        if (!edit || validate(edit))
            compute();
        return;
    }
    ChildView::keyPressEvent(event);
}

bool InputView::validate(QLineEdit *field) {
    const bool feeding =
        field == this->field(F::bodyCondition) || field == this->field(F::energyDensity);
    if (!feeding && field != this->field(F::todayWeight) && field != this->field(F::targetWeight) &&
        field != this->field(F::ageYears))
        return true;
    m_validating = true;
    bool passed = true;
    if (field == this->field(F::ageYears))
        passed = validateAge();
    else if (feeding)
        passed = validateFeeding(field);
    else
        passed = validateWeight(field);
    m_validating = false;
    if (!passed)
        field->setFocus(Qt::OtherFocusReason);
    return passed;
}

void InputView::focusField(Field field) {
    // Put there by the program, not left by the user: nothing to check on the way.
    const QScopedValueRollback moving(m_validating, true);
    this->field(field)->setFocus(Qt::OtherFocusReason);
}

bool InputView::validateWeight(QLineEdit *field) {
    const QString text = field->text();
    if (text.isEmpty())
        return true;
    const auto value = GermanText::toNumber(text);
    if (value && *value > 0)
        return true;
    m_host.ui().message(str(value ? S::NotPositive : S::NotNumeric), Icon::Exclamation,
                        str(S::Product));
    return false;
}

bool InputView::validateAge() {
    const QString text = field(F::ageYears)->text();
    if (text.isEmpty())
        return true;
    const auto value = GermanText::toNumber(text);
    if (!value || *value <= 0) {
        m_host.ui().message(str(value ? S::NotPositive : S::NotNumeric), Icon::Exclamation,
                            str(S::Product));
        return false;
    }
    if (*value > 20)
        m_host.ui().message(str(S::AgeQuestion), Icon::Question, str(S::Product));
    return true;
}

bool InputView::validateFeeding(QLineEdit *edit) {
    const auto it = std::find(m_texts.begin(), m_texts.end(), edit);
    const QString refusal = Feeding::refusal(textFieldOf[it - m_texts.begin()], edit->text());
    if (refusal.isEmpty())
        return true;
    m_host.ui().message(refusal, Icon::Exclamation, str(S::Product));
    return false;
}

void InputView::clearInputs() {
    // Controls are found by their names, in the form's own order.
    for (QWidget *control : findChildren<QWidget *>()) {
        const QString name = control->objectName();
        if (name.contains(u"Text"))
            if (auto *edit = qobject_cast<QLineEdit *>(control))
                edit->clear();
        if (name.contains(u"Option"))
            if (auto *button = qobject_cast<QRadioButton *>(control))
                m_case.setOptionSelected(
                    int(std::find(m_options.begin(), m_options.end(), button) - m_options.begin()) +
                        1,
                    false);
        if (name.contains(u"Combo"))
            if (auto *list = qobject_cast<QComboBox *>(control))
                list->setCurrentIndex(-1);
    }
    m_case.setText(F::creationDate, QString());
    m_case.setCreationDateVisible(false);
    m_case.setText(F::formerWeight, QString());
    m_case.setFormerWeightVisible(false);
    m_case.clearHistory();
    m_case.setRationPercent(100);
    m_typed = false;
}

void InputView::compute() {
    BusyCursor busy;
    if (const auto setup = computeCurve(m_case, m_host.errors(),
                                        m_host.settings().value(AppSettings::SmallPets) == u"1"))
        emit curveComputed(*setup);
}
