// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/accessibility.h"

#include <QAccessibleWidget>
#include <QGridLayout>
#include <QLabel>
#include <QLayout>
#include <QWidget>

#include <algorithm>
#include <numeric>

namespace Accessibility {

namespace {

void collect(QLayout *layout, QList<QWidget *> &stops) {
    QList<int> order(layout->count());
    std::iota(order.begin(), order.end(), 0);
    // A grid holds its items in the order they were added: read it row by row.
    if (auto *grid = qobject_cast<QGridLayout *>(layout)) {
        const auto place = [grid](int index) {
            int row = 0, column = 0, rows = 0, columns = 0;
            grid->getItemPosition(index, &row, &column, &rows, &columns);
            return std::pair{row, column};
        };
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return place(a) < place(b); });
    }
    for (const int i : order) {
        QLayoutItem *item = layout->itemAt(i);
        if (QWidget *child = item->widget())
            stops << focusStops(child);
        else if (QLayout *inner = item->layout())
            collect(inner, stops);
    }
}

QAccessibleInterface *groupInterface(const QString &className, QObject *object) {
    if (className == QLatin1StringView(Group::staticMetaObject.className()) &&
        object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Grouping);
    return nullptr;
}

} // namespace

QList<QWidget *> focusStops(QWidget *w) {
    if (w->focusPolicy() != Qt::NoFocus)
        return {w};
    QList<QWidget *> stops;
    if (w->layout())
        collect(w->layout(), stops);
    return stops;
}

void setReadingOrder(const QList<QWidget *> &widgets) {
    QWidget *previous = nullptr;
    for (QWidget *widget : widgets) {
        for (QWidget *stop : focusStops(widget)) {
            if (previous)
                QWidget::setTabOrder(previous, stop);
            previous = stop;
        }
    }
}

QString nameOf(const QString &caption) {
    QString name;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i; // "&&" stands for one ampersand, "&x" marks the access key x
        name += caption[i];
    }
    name = name.trimmed();
    if (name.endsWith(u':'))
        name.chop(1);
    return name.trimmed();
}

void nameField(QLabel *caption, QWidget *field, const QString &unit) {
    if (qobject_cast<QLabel *>(field))
        return; // a shown value is read out by its text
    const QList<QWidget *> stops = focusStops(field);
    caption->setBuddy(stops.isEmpty() ? field : stops.first());
    if (!stops.isEmpty() && stops.first() != field)
        return;
    field->setAccessibleName(nameOf(caption->text()));
    if (!unit.isEmpty())
        field->setAccessibleDescription(unit);
}

Group::Group(const QString &name, QWidget *parent)
    : QWidget(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(groupInterface);
        return true;
    }();
    Q_UNUSED(installed)
    setAccessibleName(name);
}

} // namespace Accessibility
