// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "views/viewhost.h"

#include <QList>
#include <QWidget>

#include <utility>

class AppError;
class QClipboard;
class QPrinter;

/**
 * A child view of the main window: its host, its kind, and what it hands the host when it
 * becomes active (its command set, tooltips and the caption of the exit entry).
 */
class ChildView : public QWidget {
    Q_OBJECT

public:
    /** What a view sets on activation: toolbar keys with the string numbers of their tips. */
    struct Activation {
        View kind;
        QList<std::pair<ToolKey, int>> toolTips;
        int exitCaption;
        /** The name its errors are reported under. */
        const char *handler = "Form_Activate";
    };

    View kind() const { return m_activation.kind; }

    /** Run each time the view becomes the active child; errors are reported, not passed on. */
    void activate();

    /** Whether the view has a printout; the input form and the browser have none. */
    virtual bool prints() const { return false; }
    /**
     * Prints the view with the print dialog's copies and orientation (1 portrait,
     * 2 landscape); what goes wrong is told. False when nothing was printed.
     */
    virtual bool print(QPrinter &printer, int copies, int orientation);
    /** Puts the view on the clipboard; copying never complains, it leaves alone what it cannot. */
    virtual void copy(QClipboard &clipboard);

protected:
    ChildView(ViewHost &host, const char *name, const QString &caption, Activation activation,
              QWidget *parent);

    /** Reports an error of one of the view's handlers, with what the view is working on. */
    void report(const AppError &error, const QString &procedure);
    /** What error reports name as the view's work in hand. */
    virtual QString workingOn() const;

    ViewHost &m_host;

private:
    Activation m_activation;
};
