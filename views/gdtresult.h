// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/gdt.h"

#include <QDateTime>
#include <QString>

class ViewHost;
struct ChartSetup;
struct GdtSettings;

namespace GdtResult {

/**
 * The chart page, the diet plan and the info sheet as A4 PDFs, each as the print command
 * makes it; an empty name is left out. False when an error was reported.
 */
bool writePdfs(ViewHost &host, const ChartSetup &setup, const QString &chartFile,
               const QString &diaryFile, const QString &infoFile);

/**
 * Sends the computed plan of the host's case to the practice system: the three PDFs into
 * the settings' folder, then the result record into the result file, replaced whole. The
 * request is the one the case came with, if any. Returns the result file written; empty
 * when the user was told why not.
 */
QString send(ViewHost &host, const ChartSetup &setup, const Gdt::Record *request,
             const GdtSettings &settings, const QDateTime &now);

} // namespace GdtResult
