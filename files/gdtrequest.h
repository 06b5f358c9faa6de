// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/gdt.h"

#include <QDate>
#include <QString>
#include <QStringList>

class DietCase;
class ErrorReporter;

/** A practice system's request to open a patient in Korvalo (6301 or 6302). */
struct GdtRequest {
    QString file;
    Gdt::Record record;
    Gdt::Patient patient;
    /** The case file that carries the patient's number; empty for a new patient. */
    QString caseFile;

    /**
     * Reads and checks the request and looks for the patient's case in the folders. A file
     * that is missing, broken, of another record type or with a bad field raises Gdt::Error
     * naming the file and the line; nothing else is touched.
     */
    static GdtRequest read(const QString &file, Gdt::NameOrder order, QDate today,
                           const QStringList &caseFolders);

    /**
     * Puts the patient on the form: the case file as a follow-up with the request's weight
     * as today's, or a new case. False when the case file could not be loaded (reported).
     */
    bool apply(DietCase &c, const ErrorReporter &errors) const;
    /** The request's weight as today's, for the patient's case loaded already. */
    void takeWeight(DietCase &c) const;
};
