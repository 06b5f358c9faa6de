// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

/**
 * The build's version, "major.minor.patch" from CMake's project(): what --version prints,
 * the about box shows and the application object carries.
 */
inline QString programVersion() {
    return QString::number(KORVALO_VERSION_MAJOR) + u'.' + QString::number(KORVALO_VERSION_MINOR) +
           u'.' + QString::number(KORVALO_VERSION_PATCH);
}
