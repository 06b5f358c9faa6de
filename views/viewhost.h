// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

class AppSettings;
class DietCase;
class ErrorReporter;
class UserInterface;

/** The child views that set the toolbar when they become active. */
enum class View { Input, Chart, Sheet, Document, Browser, FollowUp, CaseList };

/** The places of the main window's toolbar, in toolbar order. */
enum class ToolKey {
    Back,
    Sep1,
    Open,
    Save,
    Sep2,
    Print,
    Copy,
    NewSep1,
    Mail,
    Inet,
    Sep3,
    Doc,
    Sep4,
    Chart,
    Help,
    Sep5,
    Plan,
    Verlauf,
    Termine,
    Gdt,
    Unbelegt,
    Options,
    Recalc,
    Sep6,
    Delete,
    Sep7,
    Sep8,
    Extra1,
    Extra2,
    Sep9,
    Extra3,
    Extra4,
    Extra5,
    Extra6,
    Sep10,
    Help2,
    Count
};

/** What a child view needs of the main window that hosts it. */
class ViewHost {
public:
    virtual ~ViewHost() = default;

    /** Switches toolbar buttons and menu entries to the view's own set. */
    virtual void set_toolbar(View view) = 0;
    virtual void setToolTip(ToolKey key, const QString &text) = 0;
    /** Caption of the exit entry of the File menu ("Beenden" or "Zurück"). */
    virtual void setExitCaption(const QString &text) = 0;

    virtual DietCase &dietCase() = 0;
    virtual UserInterface &ui() = 0;
    virtual const AppSettings &settings() const = 0;
    virtual const ErrorReporter &errors() const = 0;
};
