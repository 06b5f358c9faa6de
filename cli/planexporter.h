// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QStringList>

class QTextStream;

/**
 * The headless exporter: replays what a user does in the input form (load a case
 * file, type fields, press the compute button) and writes the result.
 * Exit codes: 0 computed, 1 refused or an error reported, 2 bad command line or file.
 */
int runPlanExporter(const QStringList &arguments, QTextStream &out, QTextStream &err);
