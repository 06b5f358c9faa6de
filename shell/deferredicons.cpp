// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/deferredicons.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>
#include <QWidget>

#include <optional>

namespace {

/**
 * Hands every question to the icon it makes on the first one, but whether it is null and,
 * for a square one, its size. Once made, sizes are those of the pixmaps the icon gives,
 * which is what the engines Qt builds icons with answer too.
 */
class DeferredIconEngine : public QIconEngine {
public:
    DeferredIconEngine(std::function<QIcon()> make, bool square)
        : m_make(std::move(make))
        , m_square(square) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio =
            painter->device() ? painter->device()->devicePixelRatio() : qGuiApp->devicePixelRatio();
        painter->drawPixmap(rect, icon().pixmap(rect.size(), ratio, mode, state));
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override {
        return m_icon || !m_square ? pixmap(size, mode, state).size() : size;
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, 1.0, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return icon().pixmap(size / scale, scale, mode, state);
    }
    void addPixmap(const QPixmap &pixmap, QIcon::Mode mode, QIcon::State state) override {
        icon().addPixmap(pixmap, mode, state);
    }
    void addFile(const QString &fileName, const QSize &size, QIcon::Mode mode,
                 QIcon::State state) override {
        icon().addFile(fileName, size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    QString iconName() override { return icon().name(); }
    bool isNull() override { return m_icon && m_icon->isNull(); }
    QString key() const override { return QStringLiteral("DeferredIconEngine"); }
    QIconEngine *clone() const override { return new DeferredIconEngine(*this); }

private:
    DeferredIconEngine(const DeferredIconEngine &other) = default;

    QIcon &icon() {
        if (!m_icon)
            m_icon = m_make();
        return *m_icon;
    }

    std::function<QIcon()> m_make;
    bool m_square;
    std::optional<QIcon> m_icon;
};

} // namespace

QIcon deferredIcon(std::function<QIcon()> make, bool square) {
    return QIcon(new DeferredIconEngine(std::move(make), square));
}

DeferredIconStyle::DeferredIconStyle(QStyle *style)
    : QProxyStyle(style) {}

QIcon DeferredIconStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption *option,
                                      const QWidget *widget) const {
    // Only those the base style reads from picture files; it has the other ones built in.
    if (standardIcon != SP_TitleBarMaxButton &&
        standardIcon != SP_ToolBarHorizontalExtensionButton &&
        standardIcon != SP_ToolBarVerticalExtensionButton)
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    // What the base style reads of the option and the widget, kept until it is asked.
    std::optional<QStyleOption> options;
    if (option)
        options = *option;
    return deferredIcon(
        [style = QPointer<QStyle>(baseStyle()), standardIcon, options,
         widget = QPointer<const QWidget>(widget)] {
            return style ? style->standardIcon(standardIcon, options ? &*options : nullptr, widget)
                         : QIcon();
        },
        standardIcon == SP_TitleBarMaxButton); // the arrows are not square
}
