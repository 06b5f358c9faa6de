#pragma once

#include <QTextEdit>

class QTextDocument;

/**
 * Shows an RTF text read-only: typed keys change nothing, scrolling and selecting stay.
 * It reads what the program writes (runs of plain, bold, underlined and sized text in
 * the declared code page, Unicode escapes, PNG and JPEG pictures) and skips the rest.
 */
class RichTextControl : public QTextEdit {
    Q_OBJECT

public:
    explicit RichTextControl(QWidget *parent = nullptr);

    /** Replaces the whole content with the RTF text. */
    void setRtf(const QByteArray &rtf);

    /**
     * RTF (Windows-1252, 7-bit clean) of the characters from start, length of them,
     * counting each paragraph end as one character; pictures included.
     */
    QByteArray rtfOfRange(int start, int length) const;

    /** Reads RTF into a document, replacing its content; never fails, whatever the bytes. */
    static void readRtf(QTextDocument &document, const QByteArray &rtf);
    static QByteArray writeRtf(const QTextDocument &document, int start, int length);

protected:
    QMimeData *createMimeDataFromSelection() const override;
};
