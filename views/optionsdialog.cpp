// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/optionsdialog.h"

#include "controls/chartcontrol.h"
#include "core/apperror.h"
#include "core/errorreport.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "files/appsettings.h"
#include "views/accessibility.h"

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <optional>

namespace {

constexpr int sliderMinimum = 1;
constexpr int sliderMaximum = 30;

struct ColorEntry {
    int text;
    QColor color;
};

const std::array<ColorEntry, 5> seriesColors{{
    {S::Red, QColor(255, 0, 0)},      // Rot
    {S::Blue, QColor(0, 0, 255)},     // Blau
    {S::Green, QColor(0, 255, 0)},    // Grün
    {S::Yellow, QColor(255, 255, 0)}, // Gelb
    {S::Black, QColor(0, 0, 0)},      // Schwarz
}};

const std::array<ColorEntry, 5> backdropColors{{
    {S::White, QColor(255, 255, 255)},  // Weiß
    {S::Blue, QColor(192, 255, 255)},   // Blau
    {S::Green, QColor(192, 255, 192)},  // Grün
    {S::Yellow, QColor(255, 255, 192)}, // Gelb
    {S::Grey, QColor(212, 212, 212)},   // Grau
}};

template <typename T> T *named(T *widget, const char *name) {
    widget->setObjectName(QLatin1StringView(name));
    return widget;
}

QComboBox *colorList(const std::array<ColorEntry, 5> &table, const char *name, QWidget *parent) {
    auto *combo = named(new QComboBox(parent), name);
    for (const ColorEntry &entry : table)
        combo->addItem(str(entry.text));
    return combo;
}

/** The colour of a list's entry; nothing for an index the table lacks. */
std::optional<QColor> colorAt(const std::array<ColorEntry, 5> &table, int index) {
    if (index < 0 || index >= int(table.size()))
        return std::nullopt;
    return table[index].color;
}

/** The list entry of a colour, -1 for one the table lacks. */
int indexOf(const std::array<ColorEntry, 5> &table, const QColor &color) {
    const auto it = std::find_if(table.begin(), table.end(),
                                 [&](const ColorEntry &entry) { return entry.color == color; });
    return it == table.end() ? -1 : int(it - table.begin());
}

} // namespace

OptionsDialog::OptionsDialog(ChartControl &chart, AppSettings &settings,
                             const ErrorReporter &errors, QWidget *parent)
    : QDialog(parent)
    , m_chart(chart)
    , m_settings(settings)
    , m_errors(errors) {
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(str(S::ChartOptionsCaption));
    setModal(true);

    const auto check = [this](int text, const char *name) {
        return named(new QCheckBox(str(text), this), name);
    };
    const auto slider = [this](const char *name) {
        auto *s = named(new QSlider(Qt::Horizontal, this), name);
        s->setRange(sliderMinimum, sliderMaximum);
        s->setSingleStep(1);
        s->setPageStep(5);
        s->setTickPosition(QSlider::TicksBelow);
        s->setTickInterval(5);
        s->setMinimumWidth(220);
        return s;
    };
    const auto number = [this](const char *name) {
        auto *label = named(new QLabel(this), name);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("000")));
        return label;
    };

    m_timeFixed = check(S::AutoScale, "Check1");
    m_timeScale = check(S::ShowScale, "Check2");
    m_valueFixed = check(S::AutoScale, "Check3");
    m_leftScale = check(S::LeftScale, "Check4");
    m_rightScale = check(S::RightScale, "Check6");
    m_smallPets = check(S::SmallPets, "Check5");
    m_days = slider("Slider1");
    m_divisions = slider("Slider2");
    m_daysNumber = number("Label3");
    m_divisionsNumber = number("Label4");
    m_seriesColors = colorList(seriesColors, "Combo1", this);
    m_seriesColors->setPlaceholderText(str(S::OwnColor)); // the colour the chart starts with
    m_backdropColors = colorList(backdropColors, "Combo2", this);

    auto *daysCaption = named(new QLabel(str(S::Days), this), "Label1");
    auto *divisionsCaption = named(new QLabel(str(S::Divisions), this), "Label2");
    auto *seriesCaption = named(new QLabel(str(S::SeriesColor), this), "Label5");
    auto *backdropCaption = named(new QLabel(str(S::Backdrop), this), "Label6");
    Accessibility::nameField(daysCaption, m_days);
    Accessibility::nameField(divisionsCaption, m_divisions);
    Accessibility::nameField(seriesCaption, m_seriesColors);
    Accessibility::nameField(backdropCaption, m_backdropColors);
    // One caption width in every frame keeps sliders and lists in one column.
    int captionWidth = 0;
    for (QLabel *caption : {daysCaption, divisionsCaption, seriesCaption, backdropCaption})
        captionWidth = std::max(captionWidth, caption->sizeHint().width());
    for (QLabel *caption : {daysCaption, divisionsCaption, seriesCaption, backdropCaption})
        caption->setMinimumWidth(captionWidth);

    const auto frame = [this](int text, const char *name) {
        auto *box = named(new QGroupBox(str(text), this), name);
        auto *grid = new QGridLayout(box);
        grid->setColumnStretch(1, 1);
        grid->setHorizontalSpacing(12);
        return std::pair{box, grid};
    };

    auto [timeFrame, timeGrid] = frame(S::TimeFrame, "Frame1");
    timeGrid->addWidget(m_timeFixed, 0, 0, 1, 3);
    timeGrid->addWidget(m_timeScale, 1, 0, 1, 3);
    timeGrid->addWidget(daysCaption, 2, 0);
    timeGrid->addWidget(m_days, 2, 1);
    timeGrid->addWidget(m_daysNumber, 2, 2);

    auto [valueFrame, valueGrid] = frame(S::ValueFrame, "Frame2");
    valueGrid->addWidget(m_valueFixed, 0, 0, 1, 3);
    valueGrid->addWidget(m_leftScale, 1, 0, 1, 3);
    valueGrid->addWidget(m_rightScale, 2, 0, 1, 3);
    valueGrid->addWidget(divisionsCaption, 3, 0);
    valueGrid->addWidget(m_divisions, 3, 1);
    valueGrid->addWidget(m_divisionsNumber, 3, 2);

    auto [chartFrame, chartGrid] = frame(S::ChartFrame, "Frame3");
    chartGrid->addWidget(seriesCaption, 0, 0);
    chartGrid->addWidget(m_seriesColors, 0, 1);
    chartGrid->addWidget(backdropCaption, 1, 0);
    chartGrid->addWidget(m_backdropColors, 1, 1);
    chartGrid->addWidget(m_smallPets, 2, 0, 1, 3);
    chartGrid->addItem(new QSpacerItem(m_daysNumber->minimumWidth(), 0), 0, 2);

    auto *ok = named(new QPushButton(str(S::Ok), this), "cmdOK");
    auto *cancel = named(new QPushButton(str(S::Cancel), this), "cmdCancel");
    auto *apply = named(new QPushButton(str(S::Apply), this), "cmdApply");
    ok->setDefault(true);
    // Equal buttons, with room around the longest caption.
    int buttonWidth = 0;
    for (QPushButton *button : {ok, cancel, apply})
        buttonWidth = std::max(buttonWidth, button->sizeHint().width() + 16);
    for (QPushButton *button : {ok, cancel, apply})
        button->setMinimumWidth(buttonWidth);
    connect(ok, &QPushButton::clicked, this, [this] {
        if (applySettings(QStringLiteral("cmdOK_Click")))
            accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(apply, &QPushButton::clicked, this,
            [this] { applySettings(QStringLiteral("cmdApply_Click")); });
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(apply);

    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(timeFrame);
    layout->addWidget(valueFrame);
    layout->addWidget(chartFrame);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    Accessibility::setReadingOrder({timeFrame, valueFrame, chartFrame, ok, cancel, apply});

    connect(m_days, &QSlider::valueChanged, m_daysNumber, qOverload<int>(&QLabel::setNum));
    connect(m_divisions, &QSlider::valueChanged, m_divisionsNumber,
            qOverload<int>(&QLabel::setNum));
    load();
}

void OptionsDialog::load() {
    // The boxes and lists show the chart as it is, so that confirming changes nothing.
    using Axis = ChartControl::Axis;
    m_timeFixed->setChecked(!m_chart.autoScale(Axis::Time));
    m_timeScale->setChecked(m_chart.scaleVisible(Axis::Time));
    m_valueFixed->setChecked(!m_chart.autoScale(Axis::Value));
    m_leftScale->setChecked(m_chart.scaleVisible(Axis::Value));
    m_rightScale->setChecked(m_chart.scaleVisible(Axis::SecondValue));

    m_days->setValue(std::clamp(m_chart.divisionsPerTick(), sliderMinimum, sliderMaximum));
    m_divisions->setValue(std::clamp(m_chart.majorDivisions(), sliderMinimum, sliderMaximum));
    m_daysNumber->setNum(m_days->value());
    m_divisionsNumber->setNum(m_divisions->value());

    // A colour the list lacks shows no entry, and applying leaves it.
    m_seriesColors->setCurrentIndex(indexOf(seriesColors, m_chart.seriesColor()));
    m_backdropColors->setCurrentIndex(indexOf(backdropColors, m_chart.backdropColor()));

    const bool offered = m_settings.value(AppSettings::ShowSmallPets) == u"1";
    m_smallPets->setVisible(offered);
    // The stored value is read as a number.
    m_smallPets->setChecked(offered && m_settings.value(AppSettings::SmallPets).toInt() == 1);
}

// The dialog's `settings` procedure; in C++ that name is the store's.
bool OptionsDialog::applySettings(const QString &handler) {
    using Axis = ChartControl::Axis;
    try {
        m_chart.setAutoScale(Axis::Time, !m_timeFixed->isChecked());
        m_chart.setAutoScale(Axis::Value, !m_valueFixed->isChecked());
        m_chart.setScaleVisible(Axis::Time, m_timeScale->isChecked());
        m_chart.setScaleVisible(Axis::Value, m_leftScale->isChecked());
        m_chart.setScaleVisible(Axis::SecondValue, m_rightScale->isChecked());
        // Takes effect at the next computation of the curve.
        if (m_settings.value(AppSettings::ShowSmallPets) == u"1")
            m_settings.setValue(AppSettings::SmallPets, m_smallPets->isChecked()
                                                            ? QStringLiteral("1")
                                                            : QStringLiteral("0"));
        m_chart.setDivisions(m_days->value(), m_days->value());
        m_chart.setMajorDivisions(m_divisions->value());
        if (const auto color = colorAt(backdropColors, m_backdropColors->currentIndex()))
            m_chart.setBackdropColor(*color);
        if (const auto color = colorAt(seriesColors, m_seriesColors->currentIndex()))
            m_chart.setSeriesColor(*color);
    } catch (const AppError &error) {
        m_errors.ReportError(error, objectName() + u'-' + handler);
        return false;
    }
    return true;
}
