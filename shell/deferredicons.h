// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QIcon>
#include <QProxyStyle>

#include <functional>

/**
 * An icon that is made the first time it is drawn, for pictures known to be there: the start
 * reads no picture for a menu entry or a button that is not shown yet. Menus lay out their
 * entries before they are shown; until the icon is made, it is not null, and a square one
 * fills the size asked, as square pictures at least as large as a menu asks do.
 */
QIcon deferredIcon(std::function<QIcon()> make, bool square = true);

/**
 * The style the application would have, with the standard icons deferred that the menu bar,
 * the toolbar and each MDI window read from picture files when they are built: the extension
 * arrows and the maximise button of the window menu. The first picture file Qt reads loads
 * every image format plugin, the largest part of the start after the fonts, although none of
 * those icons is on the first screen. Qt's maximise button comes square in 16, 32 and 48
 * pixels.
 */
class DeferredIconStyle : public QProxyStyle {
public:
    /** Takes the style over, like QProxyStyle; none is the desktop's default. */
    explicit DeferredIconStyle(QStyle *style = nullptr);

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};
