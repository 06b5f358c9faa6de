// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <exception>

/** A run-time error with the number and German description the user sees in error reports. */
class AppError : public std::exception {
public:
    enum Number : int {
        InvalidArgument = 5,
        Overflow = 6,
        SubscriptOutOfRange = 9,
        DivisionByZero = 11,
        TypeMismatch = 13,
        FileNotFound = 53,
        DiskFull = 61,
        PermissionDenied = 70,
        PathFileAccess = 75,
        PathNotFound = 76,
        InvalidFileFormat = 321,
    };

    explicit AppError(int number);
    AppError(int number, QString description);

    int number() const { return m_number; }
    const QString &description() const { return m_description; }
    const char *what() const noexcept override;

    /** The standard German description of an error number, empty for unknown numbers. */
    static QString describe(int number);

private:
    int m_number;
    QString m_description;
    QByteArray m_what;
};
