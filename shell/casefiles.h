// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/apperror.h"

#include <QObject>
#include <QPointer>

class AppSettings;
class CommandBar;
class DietCase;
class ErrorReporter;
class InputView;
class QMimeData;
class QWidget;
class UserInterface;

/**
 * The main window's case file: loading and saving it, "Zuletzt geöffnet", a .kvl file dropped
 * on the window, and the question before input not saved yet would be lost.
 */
class CaseFiles : public QObject {
    Q_OBJECT

public:
    CaseFiles(QWidget &window, DietCase &dietCase, AppSettings &settings,
              const ErrorReporter &errors, UserInterface &ui, CommandBar &bar);

    /** The input form whose typing is the input to save. */
    void setForm(InputView *form);

    /** "Daten laden": asks for the file once input not saved yet may go. */
    void open();
    /** Loads a case file once input not saved yet may go. */
    void load(const QString &path);
    /** "Daten speichern"; true when saved. */
    bool save();
    /** Input typed since the last load, save or clearing. */
    bool hasUnsavedInput() const;
    /**
     * Asks "Änderungen an Bello speichern?" when input would be lost; true when it may go
     * (saved, or given up), false for Abbrechen or a save that did not happen.
     */
    bool confirmDiscard();
    /** The case files opened or saved last, the newest first; eight at most. */
    QStringList recentFiles() const;

signals:
    /** A case was read into the form. */
    void loaded();
    void failed(const AppError &error, const QString &procedure, const QString &info);

protected:
    /** A case file dropped on the window opens. */
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void loadDone();
    void rememberRecent(const QString &path);
    /** The one .kvl file dropped, or empty. */
    static QString droppedCaseFile(const QMimeData *data);

    DietCase &m_case;
    AppSettings &m_settings;
    const ErrorReporter &m_errors;
    UserInterface &m_ui;
    CommandBar &m_bar;
    QPointer<InputView> m_form;
};
