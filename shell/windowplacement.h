// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class AppSettings;
class QWidget;

/** Where the main window stands between runs, kept in twips as the settings have it. */
namespace WindowPlacement {

/**
 * Puts the window where it stood, inside a screen's free area; raises AppError after
 * placing it at the default when the stored values cannot be read.
 */
void restore(QWidget &window, const AppSettings &settings);
/** Keeps where the window stands, unless it is minimised. */
void store(const QWidget &window, AppSettings &settings);

} // namespace WindowPlacement
