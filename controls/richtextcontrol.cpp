// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/richtextcontrol.h"

#include "controls/rtfcodec.h"

#include <QMimeData>
#include <QTextCursor>

RichTextControl::RichTextControl(QWidget *parent)
    : QTextEdit(parent) {
    setObjectName(QStringLiteral("rtfText"));
    setReadOnly(true);
    setUndoRedoEnabled(false);
    // Read-only, yet the caret keys still select and scroll.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void RichTextControl::setRtf(const QByteArray &rtf) {
    RtfCodec::readRtf(*document(), rtf);
    moveCursor(QTextCursor::Start);
}

QByteArray RichTextControl::rtfOfRange(int start, int length) const {
    return RtfCodec::writeRtf(*document(), start, length);
}

QMimeData *RichTextControl::createMimeDataFromSelection() const {
    QMimeData *data = QTextEdit::createMimeDataFromSelection();
    const QTextCursor cursor = textCursor();
    const QByteArray rtf =
        rtfOfRange(cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart());
    data->setData(QStringLiteral("text/rtf"), rtf);
    data->setData(QStringLiteral("Rich Text Format"), rtf);
    return data;
}
