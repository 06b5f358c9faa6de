// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/userinterface.h"

#include <QString>

#include <memory>

class QPrinter;

/** The printer a print request names, a queue or a PDF file, with its paper. */
std::unique_ptr<QPrinter> printerFor(const UserInterface::PrintRequest &request);

/**
 * Why a job for the queue (empty: the default one) would not be printed, as the message that
 * tells the user what to do: no queue at all, a queue that is gone, one that refuses jobs or
 * one that is stopped. Empty when it prints, or when the printing system does not tell.
 */
QString printerProblem(const QString &queue);
