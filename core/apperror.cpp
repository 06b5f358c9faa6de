// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/apperror.h"

#include <array>
#include <utility>

namespace {

struct Description {
    int number;
    const char *text;
};

constexpr std::array descriptions{
    Description{AppError::InvalidArgument, "Ungültiger Prozeduraufruf oder ungültiges Argument"},
    Description{AppError::Overflow, "Überlauf"},
    Description{AppError::SubscriptOutOfRange, "Index außerhalb des gültigen Bereichs"},
    Description{AppError::DivisionByZero, "Division durch Null"},
    Description{AppError::TypeMismatch, "Typen unverträglich"},
    Description{AppError::FileNotFound, "Datei nicht gefunden"},
    Description{AppError::DiskFull, "Datenträger voll"},
    Description{AppError::PermissionDenied, "Zugriff verweigert"},
    Description{AppError::PathFileAccess, "Fehler beim Zugriff auf Pfad/Datei"},
    Description{AppError::PathNotFound, "Pfad nicht gefunden"},
    Description{AppError::InvalidFileFormat, "Ungültiges Dateiformat"},
};

} // namespace

AppError::AppError(int number)
    : AppError(number, describe(number)) {}

AppError::AppError(int number, QString description)
    : m_number(number)
    , m_description(std::move(description))
    , m_what(QByteArray::number(number) + " - " + m_description.toUtf8()) {}

const char *AppError::what() const noexcept {
    return m_what.constData();
}

QString AppError::describe(int number) {
    for (const auto &d : descriptions) {
        if (d.number == number)
            return QString::fromUtf8(d.text);
    }
    return {};
}
