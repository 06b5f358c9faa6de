// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/errorreport.h"

#include <QString>
#include <QStringList>

/**
 * The per-user settings, section "Settings", one store per program of the family under
 * its application name. Absent values read as their defaults; a failed write raises
 * an AppError.
 */
class AppSettings {
public:
    enum Key {
        MainLeft,
        MainTop,
        MainWidth,
        MainHeight,
        Path,
        PicPath,
        WebPage,
        SmallPets,
        ShowSmallPets,
        ErrorValue,
    };

    /** Placement of the main window in twips. */
    struct Placement {
        float left = 0;
        float top = 0;
        float width = 0;
        float height = 0;
    };

    static const QString applicationName;
    /** What a companion's absent "Path" reads as. */
    static const QString notInstalled;

    static QString keyName(Key key);
    /** The file a program's settings are kept in. */
    static QString fileName(const QString &application = applicationName);

    /** A value of this program with its default (placement defaults: large screen). */
    QString value(Key key) const;
    void setValue(Key key, const QString &text);

    /** A value under any program's application name. */
    QString value(const QString &application, const QString &key,
                  const QString &defaultValue) const;
    void setValue(const QString &application, const QString &key, const QString &text);

    /** The placement used when none is stored: small screens (6200 twips or less) get less. */
    static Placement defaultPlacement(double screenHeightTwips);

    /** Default placement by screen height, then the stored values; bad numbers raise 13. */
    Placement placement(double screenHeightTwips) const;
    void setPlacement(const Placement &placement);
    /** Only the size: the position stored before stays. */
    void setPlacementSize(float width, float height);

    /**
     * The error report that reads its detail level, "ErrorValue", from these settings at
     * every report. It keeps its own copy of them and may outlive this object.
     */
    ErrorReporter errorReporter(UserInterface &ui) const;

    /** A companion program's folder, or notInstalled. */
    QString companionPath(const QString &programName) const;

    /** The folders of the recall list: the program's case folder, then those the user added. */
    QStringList caseFolders() const { return caseFolders(extraCaseFolders()); }
    /** The same with these folders added; one that is the case folder counts once. */
    static QStringList caseFolders(const QStringList &extra);
    /** The folders the user added to the recall list. */
    QStringList extraCaseFolders() const;
    /** Keeps them; raises AppError as setValue. */
    void setExtraCaseFolders(const QStringList &folders);

    /** The case files opened or saved last, the newest first; eight at most. */
    QStringList recentFiles() const;
    /** Puts a file first among them; raises AppError when the settings cannot be written. */
    void rememberRecent(const QString &path);
};
