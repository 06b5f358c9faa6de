// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

/**
 * The program's name, version, desktop entry, icon, style and language, set once before its
 * first window.
 * No display name is set: the desktop would append it to every window title.
 */
void setUpApplication();
