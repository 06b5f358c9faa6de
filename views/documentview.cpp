// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/documentview.h"

#include "controls/busycursor.h"
#include "controls/logoloader.h"
#include "controls/printouts.h"
#include "controls/richtextcontrol.h"
#include "core/apperror.h"
#include "core/dietcase.h"
#include "core/errorreport.h"
#include "core/feeding.h"
#include "core/infosheet.h"
#include "core/stringids.h"
#include "core/stringtable.h"
#include "core/userinterface.h"
#include "files/appsettings.h"
#include "views/viewhost.h"

#include <QClipboard>
#include <QFileInfo>
#include <QMimeData>
#include <QVBoxLayout>

namespace {

using Icon = UserInterface::Icon;

// The text control's frame in the view, in twips: narrow, with room above.
constexpr int marginSide = 100;
constexpr int marginTop = 500;
constexpr int twipsPerInch = 1440;

} // namespace

DocumentView::DocumentView(ViewHost &host, QWidget *parent)
    : ChildView(
          host, "frmDocument", str(S::InfoSheetCaption).trimmed(),
          {View::Document, {{ToolKey::Back, S::Back}, {ToolKey::Copy, S::CopyInfoSheet}}, S::Back},
          parent)
    , m_text(new RichTextControl(this)) {
    const auto px = [this](int twips) {
        return qRound(twips * logicalDpiX() / double(twipsPerInch));
    };
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(px(marginSide), px(marginTop), px(marginSide), px(marginSide));
    layout->addWidget(m_text);
    open_createRTF();
}

void DocumentView::open_createRTF() {
    const DietCase &c = m_host.dietCase();
    const QString petName = c.text(DietCase::Field::petName);
    const QString species = c.text(DietCase::Field::species);
    const Feeding::Figures figures = Feeding::figures(c);
    const QString ration = Feeding::rationSentence(c, figures);
    const bool inFigures = Feeding::rationInFigures(figures);
    m_text->setFont(QFont(QStringLiteral("Arial"), 10));

    m_logo = LogoLoader::LoadPic(LogoLoader::defaultLogoName, m_host.settings());
    if (m_logo.isNull()) {
        m_text->setRtf(infoSheetRtf(petName, species, {}, ration, inFigures));
        m_host.ui().message(str(S::NoLogo) + u' ' + str(S::Reinstall), Icon::Exclamation,
                            str(S::NoLogoTitle));
        return;
    }
    const QByteArray png = LogoLoader::pngBytes(m_logo);
    if (png.isEmpty()) {
        // The picture was read but cannot be handed on: the sheet stays without it.
        m_text->setRtf(infoSheetRtf(petName, species, {}, ration, inFigures));
        m_host.ui().message(str(S::NoLogoShort), Icon::None, QString());
        return;
    }
    m_text->setRtf(infoSheetRtf(petName, species, png, ration, inFigures));
}

void changeLogo(ViewHost &host, AppSettings &settings, DocumentView *activeSheet) {
    UserInterface &ui = host.ui();
    ui.message(str(S::LogoAdvice) + u'\n' + str(S::LogoSizeHint), Icon::None, QString());
    BusyCursor busy;
    // Users have PNG and JPEG logos as well, and some a picture without its ending.
    const QString filter =
        str(S::LogoFilter)
            .replace(QStringLiteral("*.gif"), QStringLiteral("*.gif;*.png;*.jpg;*.jpeg")) +
        u'|' + str(S::AllFiles) + u"|*";
    const QString folder = QFileInfo(settings.value(AppSettings::PicPath)).absolutePath();
    const std::optional<QString> path = ui.openFileName(folder, filter);
    if (!path)
        return;
    try {
        settings.setValue(AppSettings::PicPath, *path);
    } catch (const AppError &error) {
        host.errors().ReportError(error, QStringLiteral("frmMain-mnueditlogo_Click"), *path);
        return;
    }
    if (activeSheet)
        activeSheet->open_createRTF();
}

bool DocumentView::print(QPrinter &printer, int copies, int orientation) {
    try {
        printRichText(*m_text->document(), printer, 1440, 1440, 1440, 1440, copies, orientation);
    } catch (const AppError &e) {
        m_host.ui().message(QString::number(e.number()) + u"  -  " + e.description(),
                            UserInterface::Icon::Critical, str(S::AppTitle));
        return false;
    }
    return true;
}

void DocumentView::copy(QClipboard &clipboard) {
    auto *data = new QMimeData;
    const QByteArray rtf = m_text->rtfOfRange(0, 10000);
    data->setData(QStringLiteral("Rich Text Format"), rtf);
    data->setData(QStringLiteral("text/rtf"), rtf);
    clipboard.setMimeData(data);
    QTextCursor start = m_text->textCursor();
    start.setPosition(0);
    m_text->setTextCursor(start); // the caret at the start, nothing selected
}
