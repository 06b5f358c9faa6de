// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class QLabel;

/**
 * Keyboard and screen-reader wiring shared by the views: the tab order in reading order,
 * and captions that name their fields.
 */
namespace Accessibility {

/** w when it takes the focus, else the widgets within it that do, as its layouts show them. */
QList<QWidget *> focusStops(QWidget *w);

/** Chains the tab order through the focus stops of the widgets, in the order given. */
void setReadingOrder(const QList<QWidget *> &widgets);

/** A caption as a name: without its access-key marker and its closing colon. */
QString nameOf(const QString &caption);

/**
 * The caption becomes its field's buddy and names it; a unit describes it. A field that
 * takes no Tab itself (a pair of options) is only the buddy's target: its parts keep their
 * own names. A shown value (a label) is left as it is: its text is what a reader says.
 */
void nameField(QLabel *caption, QWidget *field, const QString &unit = {});

/**
 * A box that draws nothing, around options that belong together: a screen reader names the
 * group when the focus enters it, as it would a titled frame's.
 */
class Group : public QWidget {
    Q_OBJECT

public:
    Group(const QString &name, QWidget *parent);
};

} // namespace Accessibility
