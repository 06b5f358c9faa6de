// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDialog>

class AppSettings;
class ChartControl;
class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;
class ErrorReporter;

/**
 * The chart options: automatic scaling and scales of the axes, spacing of the date
 * labels, value-axis divisions, curve and background colour, and the small-pets switch
 * where the settings allow it. Nothing reaches the chart before it is applied.
 */
class OptionsDialog : public QDialog {
    Q_OBJECT

public:
    OptionsDialog(ChartControl &chart, AppSettings &settings, const ErrorReporter &errors,
                  QWidget *parent = nullptr);

    /**
     * The apply procedure (`settings`): every control into the chart and the settings
     * store. An error writing the settings is reported under the handler's name and ends
     * it; then false.
     */
    bool applySettings(const QString &handler = QStringLiteral("settings"));

private:
    void load();

    ChartControl &m_chart;
    AppSettings &m_settings;
    const ErrorReporter &m_errors;
    QCheckBox *m_timeFixed;      // Check1
    QCheckBox *m_timeScale;      // Check2
    QCheckBox *m_valueFixed;     // Check3
    QCheckBox *m_leftScale;      // Check4
    QCheckBox *m_rightScale;     // Check6
    QCheckBox *m_smallPets;      // Check5
    QSlider *m_days;             // Slider1
    QSlider *m_divisions;        // Slider2
    QLabel *m_daysNumber;        // Label3
    QLabel *m_divisionsNumber;   // Label4
    QComboBox *m_seriesColors;   // Combo1
    QComboBox *m_backdropColors; // Combo2
};
