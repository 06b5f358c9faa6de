// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "views/childview.h"
#include <QImage>

class AppSettings;
class RichTextControl;

/** The child view with the owner info sheet, built from the case when it opens. */
class DocumentView : public ChildView {
    Q_OBJECT

public:
    explicit DocumentView(ViewHost &host, QWidget *parent = nullptr);

    /** Builds the sheet from the case's pet and species, with the logo on top. */
    void open_createRTF();

    RichTextControl *textControl() const { return m_text; }
    /** The logo of the last build; null when none could be loaded. */
    const QImage &logo() const { return m_logo; }

    bool prints() const override { return true; }
    bool print(QPrinter &printer, int copies, int orientation) override;
    /** The whole sheet as RTF, the caret back at the start. */
    void copy(QClipboard &clipboard) override;

private:
    RichTextControl *m_text;
    QImage m_logo;
};

/**
 * The logo command: asks for a picture file, stores it as the logo and rebuilds the
 * sheet when it is the active view.
 */
void changeLogo(ViewHost &host, AppSettings &settings, DocumentView *activeSheet);
