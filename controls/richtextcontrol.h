// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QTextEdit>

/**
 * Shows an RTF text read-only: typed keys change nothing, scrolling and selecting stay.
 * Reading and writing the RTF is RtfCodec's.
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

protected:
    QMimeData *createMimeDataFromSelection() const override;
};
