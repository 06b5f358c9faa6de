// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/inputview.h"

#include "core/apperror.h"
#include "core/computecommand.h"
#include "core/errorreport.h"
#include "core/germantext.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "core/userinterface.h"
#include "files/appsettings.h"
#include "views/busycursor.h"
#include "views/viewhost.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <span>

namespace {

using F = DietCase::Field;
using Icon = UserInterface::Icon;

// The text fields Text1 ... Text9 and the case field each carries.
constexpr std::array<F, 9> textFieldOf{F::ownerName,        F::petName,           F::todayWeight,
                                       F::targetWeight,     F::overweightPercent, F::ageYears,
                                       F::weeklyRateDuring, F::weeklyRateEnd,     F::dietEndDate};

// One row of the form: caption index, text field number (0: other control), unit index.
struct Row {
    int caption;
    int text;
    int unit;
};

} // namespace

InputView::InputView(ViewHost &host, QWidget *parent)
    : ChildView(host, "frminput", str(S::Product), {View::Input, {{"Back", S::Exit}}, S::Exit},
                parent)
    , m_case(host.dietCase()) {

    for (int i = 0; i < 24; ++i) {
        m_captions[i] = new QLabel(i <= 7 || i >= 12 ? str(110 + i) : QString(), this);
        m_captions[i]->setObjectName(QStringLiteral("Label3"));
        m_captions[i]->setProperty("index", i);
    }
    for (int i = 8; i <= 11; ++i)
        m_captions[i]->hide(); // the option buttons carry these captions
    m_captions[22]->setText(str(S::CreationDateCaption));
    m_captions[23]->setText(str(S::FormerWeightCaption));

    for (int n = 1; n <= 9; ++n) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(u"Text" + QString::number(n));
        m_texts[n - 1] = edit;
        const F field = textFieldOf[n - 1];
        connect(edit, &QLineEdit::textChanged, this,
                [this, field](const QString &text) { m_case.setText(field, text); });
    }
    field(F::todayWeight)->installEventFilter(this);
    field(F::targetWeight)->installEventFilter(this);
    field(F::ageYears)->installEventFilter(this);

    m_species = new QComboBox(this);
    m_species->setObjectName(QStringLiteral("Combo1"));
    m_species->addItems(Species::names());
    connect(m_species, &QComboBox::currentTextChanged, this,
            [this](const QString &text) { m_case.setText(F::species, text); });

    auto *sexGroup = new QButtonGroup(this);
    auto *neuterGroup = new QButtonGroup(this);
    for (int n = 1; n <= 4; ++n) {
        auto *button = new QRadioButton(str(117 + n), this); // captions 8 to 11
        button->setObjectName(u"Option" + QString::number(n));
        (n <= 2 ? sexGroup : neuterGroup)->addButton(button);
        m_options[n - 1] = button;
        connect(button, &QRadioButton::toggled, this,
                [this, n](bool checked) { m_case.setOptionSelected(n, checked); });
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

    // Layout: captions, then each control with its unit beside it.
    auto *grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    for (QLineEdit *number : std::span(m_texts).subspan(2)) // the short fields from today's weight
        number->setMaximumWidth(fontMetrics().horizontalAdvance(u'0') * 14);
    int row = 0;
    const auto addRow = [&](const Row &r, QWidget *control) {
        grid->addWidget(m_captions[r.caption], row, 0);
        auto *line = new QHBoxLayout;
        line->addWidget(control);
        if (r.unit >= 0)
            line->addWidget(m_captions[r.unit]);
        line->addStretch();
        grid->addLayout(line, row, 1);
        ++row;
    };
    addRow({0, 1, -1}, field(F::ownerName));
    addRow({1, 2, -1}, field(F::petName));
    addRow({2, 0, -1}, m_species);
    for (QWidget *wide :
         {static_cast<QWidget *>(field(F::ownerName)), static_cast<QWidget *>(field(F::petName)),
          static_cast<QWidget *>(m_species)})
        wide->setMinimumWidth(fontMetrics().horizontalAdvance(u'M') * 24);
    addRow({3, 3, 19}, field(F::todayWeight));
    addRow({4, 4, 20}, field(F::targetWeight));
    addRow({5, 5, 21}, field(F::overweightPercent));
    auto *sexBox = new QWidget(this);
    auto *sexLayout = new QHBoxLayout(sexBox);
    sexLayout->setContentsMargins(0, 0, 0, 0);
    sexLayout->addWidget(option(1));
    sexLayout->addWidget(option(2));
    sexLayout->addSpacing(24);
    sexLayout->addWidget(option(3));
    sexLayout->addWidget(option(4));
    sexLayout->addStretch();
    addRow({6, 0, -1}, sexBox);
    addRow({7, 6, 18}, field(F::ageYears));
    addRow({12, 7, 15}, field(F::weeklyRateDuring));
    addRow({13, 8, 16}, field(F::weeklyRateEnd));
    addRow({14, 9, -1}, field(F::dietEndDate));
    addRow({17, 0, -1}, m_currentDate);
    addRow({22, 0, -1}, m_creationDate);
    addRow({23, 0, -1}, m_formerWeight);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_compute);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(product);
    layout->addSpacing(8);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);

    // The case is shown as it stands and followed from now on.
    connect(&m_case, &DietCase::textChanged, this, &InputView::showText);
    connect(&m_case, &DietCase::optionsChanged, this, &InputView::showOptions);
    connect(&m_case, &DietCase::visibilityChanged, this, &InputView::showHistory);
    for (int i = 0; i < DietCase::fieldCount; ++i)
        showText(static_cast<F>(i));
    showOptions();
    showHistory();
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
            next && isAncestorOf(next) && next->isVisible()) {
            auto *left = static_cast<QLineEdit *>(watched);
            m_validating = true;
            const bool passed = left == field(F::ageYears) ? validateAge() : validateWeight(left);
            m_validating = false;
            if (!passed)
                left->setFocus(Qt::OtherFocusReason);
        }
    }
    return QWidget::eventFilter(watched, event);
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
}

void InputView::compute() {
    BusyCursor busy;
    if (const auto setup =
            computeCurve(m_case, m_host.errors(), m_host.settings().value(AppSettings::SmallPets)))
        emit curveComputed(*setup);
}
