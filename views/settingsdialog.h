// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "files/gdtsettings.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QLineEdit;
class QTabWidget;
class UserInterface;

/**
 * The program's settings, one page per subject; for now the GDT exchange with the practice
 * system. The dialog only edits values: the caller stores what it holds after OK.
 */
class SettingsDialog : public QDialog {
    Q_OBJECT

public:
    SettingsDialog(const GdtSettings &values, UserInterface &ui, QWidget *parent = nullptr);

    /** What the controls hold, without the blanks around texts the settings file drops too. */
    GdtSettings values() const;

    /** OK: a value that cannot work is told and keeps the dialog open, its field in focus. */
    void accept() override;

private:
    struct Refusal {
        QLineEdit *field;
        QString text;
    };

    QWidget *gdtPage(const GdtSettings &values);
    std::optional<Refusal> refusal() const;
    void browseFile(QLineEdit *field, QLineEdit *sibling);
    void browseFolder();

    UserInterface &m_ui;
    QTabWidget *m_tabs = nullptr;
    QLineEdit *m_requestFile = nullptr;
    QLineEdit *m_resultFile = nullptr;
    QLineEdit *m_ownId = nullptr;
    QLineEdit *m_practiceId = nullptr;
    QComboBox *m_charset = nullptr;
    QLineEdit *m_procedure = nullptr;
    QComboBox *m_nameOrder = nullptr;
    QLineEdit *m_pdfFolder = nullptr;
};
