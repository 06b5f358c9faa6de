#pragma once

#include "views/viewhost.h"

/** Hosts the views the exporter prints: it has no toolbar or menu to set. */
class ExporterHost : public ViewHost {
public:
    ExporterHost(DietCase &dietCase, UserInterface &ui, const AppSettings &settings)
        : m_case(dietCase)
        , m_ui(ui)
        , m_settings(settings) {}

    void set_toolbar(View) override {}
    void setToolTip(const QString &, const QString &) override {}
    void setExitCaption(const QString &) override {}

    DietCase &dietCase() override { return m_case; }
    UserInterface &ui() override { return m_ui; }
    const AppSettings &settings() const override { return m_settings; }

private:
    DietCase &m_case;
    UserInterface &m_ui;
    const AppSettings &m_settings;
};
