// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/qtuserinterface.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStatusBar>

namespace {

/** The normal pointer while a dialog waits for the user, over a busy command or not. */
class NormalPointer {
public:
    NormalPointer()
        : m_pushed(QApplication::overrideCursor() != nullptr) {
        if (m_pushed)
            QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~NormalPointer() {
        if (m_pushed && QApplication::overrideCursor())
            QApplication::restoreOverrideCursor(); // the command's hourglass is back
    }
    NormalPointer(const NormalPointer &) = delete;
    NormalPointer &operator=(const NormalPointer &) = delete;

private:
    bool m_pushed;
};

} // namespace

QtUserInterface::QtUserInterface(QWidget *owner)
    : m_owner(owner) {}

UserInterface::Answer QtUserInterface::message(const QString &text, Icon icon, const QString &title,
                                               Buttons buttons, Answer defaultAnswer) {
    QMessageBox box(m_owner);
    box.setText(text);
    box.setWindowTitle(title.isEmpty() ? QApplication::applicationDisplayName() : title);
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    if (buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(defaultAnswer == Answer::Yes ? QMessageBox::Yes : QMessageBox::No);
    } else if (buttons == Buttons::YesNoCancel) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(defaultAnswer == Answer::No       ? QMessageBox::No
                             : defaultAnswer == Answer::Cancel ? QMessageBox::Cancel
                                                               : QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const NormalPointer pointer;
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Ok:
        return Answer::Ok;
    default: // closed with the title bar or Escape
        return buttons == Buttons::YesNo         ? Answer::No
               : buttons == Buttons::YesNoCancel ? Answer::Cancel
                                                 : Answer::Ok;
    }
}

UserInterface::Answer QtUserInterface::choose(const QString &text, const QString &title,
                                              const QString &first, const QString &second) {
    QMessageBox box(m_owner);
    box.setIcon(QMessageBox::Question);
    box.setText(text);
    box.setWindowTitle(title.isEmpty() ? QApplication::applicationDisplayName() : title);
    QAbstractButton *const one = box.addButton(first, QMessageBox::YesRole);
    QAbstractButton *const other = box.addButton(second, QMessageBox::NoRole);
    box.setDefaultButton(box.addButton(QMessageBox::Cancel)); // Enter decides nothing
    const NormalPointer pointer;
    box.exec();
    return box.clickedButton() == one     ? Answer::Yes
           : box.clickedButton() == other ? Answer::No
                                          : Answer::Cancel;
}

std::optional<QString> QtUserInterface::openFileName(const QString &folder, const QString &filter) {
    QDir().mkpath(folder);
    const NormalPointer pointer;
    const QString name = QFileDialog::getOpenFileName(m_owner, QString(), folder, qtFilter(filter),
                                                      nullptr, QFileDialog::ReadOnly);
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

std::optional<QString> QtUserInterface::saveFileName(const QString &folder, const QString &filter,
                                                     const QString &proposedName) {
    QDir().mkpath(folder);
    // QFileDialog asks before an existing file is overwritten.
    const NormalPointer pointer;
    const QString start = proposedName.isEmpty() ? folder : QDir(folder).filePath(proposedName);
    const QString name = QFileDialog::getSaveFileName(m_owner, QString(), start, qtFilter(filter));
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

std::optional<QString> QtUserInterface::folderName(const QString &folder) {
    const NormalPointer pointer;
    const QString name = QFileDialog::getExistingDirectory(m_owner, QString(), folder);
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

std::optional<UserInterface::PrintRequest> QtUserInterface::printDialog() {
    QPrinter printer;
    printer.setPageSize(QPageSize(QPageSize::A4)); // the paper offered first
    QPrintDialog dialog(&printer, m_owner);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    const NormalPointer pointer;
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    PrintRequest request;
    request.printerName = printer.printerName();
    request.copies = printer.copyCount();
    request.orientation = printer.pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1;
    request.paperMillimetres = printer.pageLayout().pageSize().size(QPageSize::Millimeter);
    return request;
}

void QtUserInterface::restoreCursors() {
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    for (QWidget *w : QApplication::allWidgets())
        w->unsetCursor();
}

void QtUserInterface::status(const QString &text) {
    if (auto *window = qobject_cast<QMainWindow *>(m_owner))
        window->statusBar()->showMessage(text, 30000);
}

QString QtUserInterface::qtFilter(const QString &filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // Qt reads the patterns from the parentheses, separated by blanks: "Logo (*.bmp;*.gif)"
        // would be one pattern that no file matches.
        const QString text = parts[i].section(u'(', 0, 0).trimmed();
        const QString patterns = QString(parts[i + 1]).replace(u';', u' ').simplified();
        filters << text + u" (" + patterns + u')';
    }
    return filters.join(QStringLiteral(";;"));
}
