// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/ratebar.h"

#include "core/germantext.h"
#include "core/stringids.h"
#include "core/stringtable.h"

#include <QAccessibleWidget>

namespace {

/**
 * A scroll bar to screen readers, in percent: a reader given the value as a number (all that
 * Qt's AT-SPI bridge hands on) says 3 instead of 30, one given a text says the rate and unit.
 */
class RateBarInterface : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit RateBarInterface(RateBar *bar)
        : QAccessibleWidget(bar, QAccessible::ScrollBar) {}

    void *interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Value ? RateBar::spoken(bar()->value())
                                       : QAccessibleWidget::text(t);
    }

    QVariant currentValue() const override { return bar()->value() / 10.0; }
    void setCurrentValue(const QVariant &value) override {
        bar()->setValue(qRound(value.toDouble() * 10));
    }
    QVariant maximumValue() const override { return bar()->maximum() / 10.0; }
    QVariant minimumValue() const override { return bar()->minimum() / 10.0; }
    QVariant minimumStepSize() const override { return bar()->singleStep() / 10.0; }

private:
    QScrollBar *bar() const { return static_cast<QScrollBar *>(widget()); }
};

QAccessibleInterface *rateBarInterface(const QString &className, QObject *object) {
    if (className == QLatin1StringView(RateBar::staticMetaObject.className()))
        return new RateBarInterface(static_cast<RateBar *>(object));
    return nullptr;
}

} // namespace

RateBar::RateBar(QWidget *parent)
    : QScrollBar(Qt::Horizontal, parent) {
    static const bool installed = [] {
        QAccessible::installFactory(rateBarInterface);
        return true;
    }();
    Q_UNUSED(installed)
}

QString RateBar::spoken(int tenths) {
    return str(S::RatePerWeek).arg(GermanText::fromNumber(tenths / 10.0, 1));
}
