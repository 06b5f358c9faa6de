// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QSizeF>
#include <QString>

#include <optional>

/**
 * Everything that asks the user: message boxes and file dialogs. The application shows
 * Qt dialogs; tests and the exporter answer from a script.
 */
class UserInterface {
public:
    enum class Icon { None, Exclamation, Information, Question, Critical };
    enum class Buttons { Ok, YesNo, YesNoCancel };
    enum class Answer { Ok, Yes, No, Cancel };

    virtual ~UserInterface() = default;

    virtual Answer message(const QString &text, Icon icon, const QString &title,
                           Buttons buttons = Buttons::Ok, Answer defaultAnswer = Answer::Ok) = 0;
    /**
     * A question with two named answers and "Abbrechen": Yes for the first, No for the
     * second, Cancel (the default) otherwise.
     */
    virtual Answer choose(const QString &text, const QString &title, const QString &first,
                          const QString &second) = 0;

    /**
     * The file chosen to open or to save, or nothing on cancel. The filter is given as
     * pairs of display text and pattern separated by '|'. Saving asks before an existing
     * file is overwritten, and proposes the given name when there is one.
     */
    virtual std::optional<QString> openFileName(const QString &folder, const QString &filter) = 0;
    virtual std::optional<QString> saveFileName(const QString &folder, const QString &filter,
                                                const QString &proposedName) = 0;
    /** A folder chosen, starting in the given one; nothing on cancel. */
    virtual std::optional<QString> folderName(const QString &folder) = 0;

    /** What the print dialog hands back. */
    struct PrintRequest {
        PrintRequest(QString printer = {}, QString pdf = {}, int copies = 1, int orientation = 1,
                     QSizeF paper = {})
            : printerName(std::move(printer))
            , pdfFile(std::move(pdf))
            , copies(copies)
            , orientation(orientation)
            , paperMillimetres(paper) {}

        QString printerName; ///< empty: the default printer
        QString pdfFile;     ///< set: a PDF file instead of a printer (tests, exporter)
        int copies;
        int orientation;         ///< 1 portrait, 2 landscape
        QSizeF paperMillimetres; ///< the paper chosen; empty: A4
    };

    /** The print dialog, without page range, selection or printing to a file; nothing on
     * cancel. */
    virtual std::optional<PrintRequest> printDialog() = 0;

    /** Back to the normal mouse pointer on every window. */
    virtual void restoreCursors() {}

    /** A line for the status bar, for what needs telling but no answer. */
    virtual void status(const QString & /*text*/) {}
};
