// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/gdt.h"

#include <QString>

/**
 * How this installation talks GDT with the practice system: section "GDT" of the program's
 * settings. The practice system's set-up decides the file names and the ids; the same
 * values have to be entered on both sides.
 */
struct GdtSettings {
    QString requestFile;                           ///< the practice system writes it, we read it
    QString resultFile;                            ///< we write it, the practice system reads it
    QString ownId = QStringLiteral("KORVALO");     ///< 8316 of our records, 8315 of theirs
    QString practiceId;                            ///< 8315 of our records
    Gdt::Charset charset = Gdt::Charset::Cp437;    ///< the one a reader assumes without 9206
    QString procedure = QStringLiteral("KORVALO"); ///< 8402
    Gdt::NameOrder nameOrder = Gdt::NameOrder::OwnerThenAnimal;
    QString pdfFolder; ///< empty: beside the result file

    /** Sending needs a result file; reading, a request file. */
    bool canSend() const { return !resultFile.isEmpty(); }

    /** The folder the attached PDFs go to. */
    QString attachmentFolder() const;

    /** The values stored in the settings file; absent ones read as the defaults above. */
    static GdtSettings load(const QString &settingsFile);
    /** Stores every value; raises AppError as the settings file does. */
    void save(const QString &settingsFile) const;

    bool operator==(const GdtSettings &) const = default;
};
