// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/settingsdialog.h"

#include "core/stringids.h"
#include "core/stringtable.h"
#include "core/userinterface.h"
#include "views/accessibility.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <initializer_list>

namespace {

constexpr int maxIdLength = 8;

struct Choice {
    int text;
    int value;
};

// The list entries in the order the practice systems' set-ups number them.
constexpr std::array charsets{
    Choice{S::GdtCharsetAscii, int(Gdt::Charset::Ascii)},
    Choice{S::GdtCharsetCp437, int(Gdt::Charset::Cp437)},
    Choice{S::GdtCharsetLatin1, int(Gdt::Charset::Latin1)},
};
constexpr std::array nameOrders{
    Choice{S::GdtOwnerFirst, int(Gdt::NameOrder::OwnerThenAnimal)},
    Choice{S::GdtAnimalFirst, int(Gdt::NameOrder::AnimalThenOwner)},
};

template <typename T> T *named(T *widget, const char *name) {
    widget->setObjectName(QLatin1StringView(name));
    return widget;
}

template <std::size_t N>
QComboBox *choiceList(const std::array<Choice, N> &choices, int current, const char *name,
                      QWidget *parent) {
    auto *combo = named(new QComboBox(parent), name);
    for (const Choice &choice : choices)
        combo->addItem(str(choice.text), choice.value);
    combo->setCurrentIndex(combo->findData(current));
    return combo;
}

/** Practice systems compare the ids byte for byte in any character set: printable ASCII. */
bool isIdText(const QString &id) {
    return std::all_of(id.begin(), id.end(),
                       [](QChar c) { return c.unicode() > 0x20 && c.unicode() < 0x7f; });
}

/** The folder of a full file path; nothing for an empty or relative one. */
QString folderOf(const QString &file) {
    return QDir::isAbsolutePath(file) ? QFileInfo(file).absolutePath() : QString();
}

/**
 * The first of the folders that exists, else the home folder. The file dialogs create the
 * folder they are given, and a mistyped path must not leave one behind.
 */
QString existingFolder(std::initializer_list<QString> folders) {
    for (const QString &folder : folders) {
        if (QDir::isAbsolutePath(folder) && QFileInfo(folder).isDir())
            return folder;
    }
    return QDir::homePath();
}

/** A file path with its folder's links and dots resolved, the file itself need not exist. */
QString resolved(const QString &file) {
    const QFileInfo info(file);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath())
                            : folder + u'/' + info.fileName();
}

} // namespace

SettingsDialog::SettingsDialog(const GdtSettings &values, UserInterface &ui, QWidget *parent)
    : QDialog(parent)
    , m_ui(ui) {
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(str(S::SettingsCaption));
    setModal(true);

    m_tabs = named(new QTabWidget(this), "tabSettings");
    QWidget *gdt = gdtPage(values);
    m_tabs->addTab(gdt, str(S::GdtPage));

    auto *ok = named(new QPushButton(str(S::Ok), this), "cmdOK");
    auto *cancel = named(new QPushButton(str(S::Cancel), this), "cmdCancel");
    ok->setDefault(true);
    int buttonWidth = 0;
    for (QPushButton *button : {ok, cancel})
        buttonWidth = std::max(buttonWidth, button->sizeHint().width() + 16);
    for (QPushButton *button : {ok, cancel})
        button->setMinimumWidth(buttonWidth);
    connect(ok, &QPushButton::clicked, this, &SettingsDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &SettingsDialog::reject);
    // A plain row, as in the other dialogs: a button box would meet Tab twice.
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    Accessibility::setReadingOrder({m_tabs, gdt, ok, cancel});
    m_requestFile->setFocus();
}

QWidget *SettingsDialog::gdtPage(const GdtSettings &values) {
    auto *page = named(new QWidget(this), "pageGdt");
    const auto field = [page](const QString &text, const char *name) {
        return named(new QLineEdit(text, page), name);
    };
    // Wide enough for a path in a shared folder; the ids are short.
    const int pathWidth = fontMetrics().horizontalAdvance(u'x') * 48;
    const int idWidth = fontMetrics().horizontalAdvance(u'W') * 10;

    m_requestFile = field(values.requestFile, "txtGdtAnfrage");
    m_resultFile = field(values.resultFile, "txtGdtErgebnis");
    m_ownId = field(values.ownId, "txtGdtEigene");
    m_practiceId = field(values.practiceId, "txtGdtPraxis");
    m_charset = choiceList(charsets, int(values.charset), "cboGdtZeichensatz", page);
    m_procedure = field(values.procedure, "txtGdtVerfahren");
    m_nameOrder = choiceList(nameOrders, int(values.nameOrder), "cboGdtNamen", page);
    m_pdfFolder = field(values.pdfFolder, "txtGdtPdf");
    m_pdfFolder->setPlaceholderText(str(S::GdtPdfBesideResult));
    for (QLineEdit *path : {m_requestFile, m_resultFile, m_pdfFolder})
        path->setMinimumWidth(pathWidth);
    for (QLineEdit *id : {m_ownId, m_practiceId, m_procedure})
        id->setFixedWidth(idWidth);

    auto *intro = named(new QLabel(str(S::GdtIntro), page), "lblGdtIntro");
    intro->setWordWrap(true);

    auto *grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    int row = 0;
    const auto addRow = [&](int caption, QWidget *input, QToolButton *browse = nullptr) {
        auto *label = new QLabel(str(caption), page);
        Accessibility::nameField(label, input);
        grid->addWidget(label, row, 0);
        if (browse) {
            grid->addWidget(input, row, 1);
            // "…" says nothing to a screen reader: it hears what the button chooses.
            browse->setAccessibleName(str(S::BrowseFor).arg(Accessibility::nameOf(label->text())));
            browse->setToolTip(browse->accessibleName());
            grid->addWidget(browse, row, 2);
        } else {
            grid->addWidget(input, row, 1, Qt::AlignLeft);
        }
        ++row;
    };
    const auto browseButton = [page](const char *name) {
        auto *button = named(new QToolButton(page), name);
        button->setText(str(S::Browse));
        return button;
    };
    QToolButton *browseRequest = browseButton("cmdGdtAnfrage");
    QToolButton *browseResult = browseButton("cmdGdtErgebnis");
    QToolButton *browsePdf = browseButton("cmdGdtPdf");
    addRow(S::GdtRequestCaption, m_requestFile, browseRequest);
    addRow(S::GdtResultCaption, m_resultFile, browseResult);
    addRow(S::GdtOwnIdCaption, m_ownId);
    addRow(S::GdtPracticeIdCaption, m_practiceId);
    addRow(S::GdtCharsetCaption, m_charset);
    addRow(S::GdtProcedureCaption, m_procedure);
    addRow(S::GdtNameOrderCaption, m_nameOrder);
    addRow(S::GdtPdfCaption, m_pdfFolder, browsePdf);

    connect(browseRequest, &QToolButton::clicked, this,
            [this] { browseFile(m_requestFile, m_resultFile); });
    connect(browseResult, &QToolButton::clicked, this,
            [this] { browseFile(m_resultFile, m_requestFile); });
    connect(browsePdf, &QToolButton::clicked, this, &SettingsDialog::browseFolder);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(intro);
    layout->addSpacing(6);
    layout->addLayout(grid);
    layout->addStretch();
    return page;
}

GdtSettings SettingsDialog::values() const {
    GdtSettings s;
    s.requestFile = m_requestFile->text().trimmed();
    s.resultFile = m_resultFile->text().trimmed();
    s.ownId = m_ownId->text().trimmed();
    s.practiceId = m_practiceId->text().trimmed();
    s.charset = Gdt::Charset(m_charset->currentData().toInt());
    s.procedure = m_procedure->text().trimmed();
    s.nameOrder = Gdt::NameOrder(m_nameOrder->currentData().toInt());
    s.pdfFolder = m_pdfFolder->text().trimmed();
    return s;
}

// In the order the page shows the fields, so that the first one at fault is named.
std::optional<SettingsDialog::Refusal> SettingsDialog::refusal() const {
    const GdtSettings s = values();
    for (const auto &[edit, file] :
         {std::pair{m_requestFile, s.requestFile}, std::pair{m_resultFile, s.resultFile}}) {
        if (file.isEmpty())
            continue;
        // A relative path would depend on the folder the program was started in.
        if (!QDir::isAbsolutePath(file))
            return Refusal{edit, str(S::GdtNotFullPath).arg(file)};
        if (QFileInfo(file).isDir())
            return Refusal{edit, str(S::GdtFileIsFolder).arg(file)};
    }
    if (!s.resultFile.isEmpty()) {
        const QString folder = folderOf(s.resultFile);
        if (!QFileInfo(folder).isDir())
            return Refusal{m_resultFile, str(S::GdtResultFolderMissing).arg(folder)};
        if (!s.requestFile.isEmpty() && resolved(s.requestFile) == resolved(s.resultFile))
            return Refusal{m_resultFile, str(S::GdtSameFile)};
    }
    for (const auto &[edit, id] :
         {std::pair{m_ownId, s.ownId}, std::pair{m_practiceId, s.practiceId}}) {
        if (id.size() > maxIdLength)
            return Refusal{edit, str(S::GdtIdTooLong).arg(id)};
        if (!isIdText(id))
            return Refusal{edit, str(S::GdtIdCharacters).arg(id)};
    }
    if (s.procedure.isEmpty())
        return Refusal{m_procedure, str(S::GdtNoProcedure)};
    if (!s.pdfFolder.isEmpty()) {
        if (!QDir::isAbsolutePath(s.pdfFolder))
            return Refusal{m_pdfFolder, str(S::GdtNotFullPath).arg(s.pdfFolder)};
        if (!QFileInfo(s.pdfFolder).isDir())
            return Refusal{m_pdfFolder, str(S::GdtPdfFolderMissing).arg(s.pdfFolder)};
    }
    return std::nullopt;
}

void SettingsDialog::accept() {
    const std::optional<Refusal> refused = refusal();
    if (!refused) {
        QDialog::accept();
        return;
    }
    for (int i = 0; i < m_tabs->count(); ++i) {
        if (m_tabs->widget(i)->isAncestorOf(refused->field))
            m_tabs->setCurrentIndex(i);
    }
    m_ui.message(refused->text, UserInterface::Icon::Exclamation, str(S::Product));
    refused->field->setFocus();
    refused->field->selectAll();
}

void SettingsDialog::browseFile(QLineEdit *field, QLineEdit *sibling) {
    const QString current = field->text().trimmed();
    // Both files usually lie in one exchange folder.
    const QString folder = existingFolder({folderOf(current), folderOf(sibling->text().trimmed())});
    const QString filter = str(S::GdtFilter) + u'|' + str(S::AllFiles) + u"|*";
    // A save dialog takes a name that is not there yet: the practice system may not have
    // written its first request.
    if (const auto path = m_ui.saveFileName(folder, filter, QFileInfo(current).fileName()))
        field->setText(*path);
}

void SettingsDialog::browseFolder() {
    const QString start =
        existingFolder({m_pdfFolder->text().trimmed(), folderOf(m_resultFile->text().trimmed())});
    if (const auto folder = m_ui.folderName(start))
        m_pdfFolder->setText(*folder);
}
