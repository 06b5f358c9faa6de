// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/windowplacement.h"

#include "core/apperror.h"
#include "files/appsettings.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <optional>

namespace {

double twipsPerPixel() {
    return 1440.0 / QGuiApplication::primaryScreen()->logicalDotsPerInchY();
}

double screenHeightTwips() {
    return QGuiApplication::primaryScreen()->geometry().height() * twipsPerPixel();
}

} // namespace

namespace WindowPlacement {

void restore(QWidget &window, const AppSettings &settings) {
    const double perPixel = twipsPerPixel();
    const auto toRect = [&](const AppSettings::Placement &p) {
        return QRect(qRound(p.left / perPixel), qRound(p.top / perPixel),
                     qRound(p.width / perPixel), qRound(p.height / perPixel));
    };
    const AppSettings::Placement defaults = AppSettings::defaultPlacement(screenHeightTwips());
    QRect rect = toRect(defaults);
    std::optional<AppError> unreadable; // told after the window is placed
    try {
        rect = toRect(settings.placement(screenHeightTwips()));
    } catch (const AppError &e) {
        unreadable = e;
    }
    // A placement on a screen that is gone would open the program out of sight.
    if (rect.width() <= 0 || rect.height() <= 0 || !QGuiApplication::screenAt(rect.center()))
        rect = toRect(defaults);
    // The title bar stays where the mouse can take it: inside the screen's free area.
    // A window larger than the screen keeps its size, its corner at the screen's.
    const QRect free = QGuiApplication::screenAt(rect.center())->availableGeometry();
    rect.moveLeft(std::clamp(rect.left(), free.left(),
                             std::max(free.left(), free.right() + 1 - rect.width())));
    rect.moveTop(std::clamp(rect.top(), free.top(),
                            std::max(free.top(), free.bottom() + 1 - rect.height())));
    window.resize(rect.size());
    window.move(rect.topLeft());
    if (unreadable)
        throw *unreadable;
}

void store(const QWidget &window, AppSettings &settings) {
    store(window, settings, QGuiApplication::platformName());
}

void store(const QWidget &window, AppSettings &settings, const QString &platform) {
    if (window.isMinimized())
        return;
    const double perPixel = twipsPerPixel();
    const QPoint at = window.pos();
    const QSize size = window.size();
    const float width = float(size.width() * perPixel);
    const float height = float(size.height() * perPixel);
    // Wayland puts a window at 0,0 for its client, and Qt's decoration frame around it at
    // -3,-30; stored, that opened the next start on X11 with the menu bar above the screen.
    if (platform.startsWith(u"wayland") || at.x() < 0 || at.y() < 0)
        settings.setPlacementSize(width, height);
    else
        settings.setPlacement({float(at.x() * perPixel), float(at.y() * perPixel), width, height});
}

} // namespace WindowPlacement
