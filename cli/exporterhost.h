// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/errorreport.h"
#include "views/viewhost.h"

/** Hosts the views the exporter prints: it has no toolbar or menu to set. */
class ExporterHost : public ViewHost {
public:
    ExporterHost(DietCase &dietCase, const ErrorReporter &errors, const AppSettings &settings)
        : m_case(dietCase)
        , m_errors(errors)
        , m_settings(settings) {}

    void set_toolbar(View) override {}
    void setToolTip(ToolKey, const QString &) override {}
    void setExitCaption(const QString &) override {}

    DietCase &dietCase() override { return m_case; }
    UserInterface &ui() override { return m_errors.ui(); }
    const AppSettings &settings() const override { return m_settings; }
    const ErrorReporter &errors() const override { return m_errors; }

private:
    DietCase &m_case;
    const ErrorReporter &m_errors;
    const AppSettings &m_settings;
};
