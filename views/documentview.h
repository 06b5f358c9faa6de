#pragma once

#include <QImage>
#include <QWidget>

class AppSettings;
class RichTextControl;
class ViewHost;

/** The child view with the owner info sheet, built from the case when it opens. */
class DocumentView : public QWidget {
    Q_OBJECT

public:
    explicit DocumentView(ViewHost &host, QWidget *parent = nullptr);

    /** Builds the sheet from the case's pet and species, with the logo on top. */
    void open_createRTF();
    /** Sets the main window's controls for this view. */
    void activate();

    RichTextControl *textControl() const { return m_text; }
    /** The logo of the last build; null when none could be loaded. */
    const QImage &logo() const { return m_logo; }

private:
    ViewHost &m_host;
    RichTextControl *m_text;
    QImage m_logo;
};

/**
 * The logo command: asks for a picture file, stores it as the logo and rebuilds the
 * sheet when it is the active view.
 */
void changeLogo(ViewHost &host, AppSettings &settings, DocumentView *activeSheet);
