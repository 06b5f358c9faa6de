// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class AppSettings;
class QString;
class QWidget;

/** Where the main window stands between runs, kept in twips as the settings have it. */
namespace WindowPlacement {

/**
 * Puts the window where it stood, inside a screen's free area; raises AppError after
 * placing it at the default when the stored values cannot be read.
 */
void restore(QWidget &window, const AppSettings &settings);
/**
 * Keeps where the window stands, unless it is minimised. Its position only where the
 * platform knows it: not on Wayland, which tells a client nothing of where its windows are,
 * and not above or left of the screens' origin, where a frame of the window's own decoration
 * puts it there; the position stored before then stays.
 */
void store(const QWidget &window, AppSettings &settings);
/** The same on a platform of the given name (QGuiApplication::platformName()). */
void store(const QWidget &window, AppSettings &settings, const QString &platform);

} // namespace WindowPlacement
