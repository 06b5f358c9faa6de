// SPDX-License-Identifier: GPL-3.0-or-later

#include "files/gdtsettings.h"

#include "files/settingsfile.h"

#include <QFileInfo>

#include <array>

namespace {

const QString section = QStringLiteral("GDT");

// The keys in the settings file, each with its member.
struct TextKey {
    const char16_t *name;
    QString GdtSettings::*member;
};
constexpr std::array<TextKey, 6> textKeys{{
    {u"Anfragedatei", &GdtSettings::requestFile},
    {u"Ergebnisdatei", &GdtSettings::resultFile},
    {u"EigeneKennung", &GdtSettings::ownId},
    {u"PraxisKennung", &GdtSettings::practiceId},
    {u"Verfahren", &GdtSettings::procedure},
    {u"PdfOrdner", &GdtSettings::pdfFolder},
}};
const QString charsetKey = QStringLiteral("Zeichensatz");
const QString orderKey = QStringLiteral("Namensfolge");
const QString animalFirst = QStringLiteral("TierBesitzer");
const QString ownerFirst = QStringLiteral("BesitzerTier");

} // namespace

QString GdtSettings::attachmentFolder() const {
    return pdfFolder.isEmpty() ? QFileInfo(resultFile).absolutePath() : pdfFolder;
}

GdtSettings GdtSettings::load(const QString &settingsFile) {
    GdtSettings s;
    for (const TextKey &key : textKeys) {
        if (auto value = SettingsFile::value(settingsFile, section, QStringView(key.name)))
            s.*key.member = value->trimmed();
    }
    const int charset =
        SettingsFile::value(settingsFile, section, charsetKey).value_or(QString()).toInt();
    if (charset >= int(Gdt::Charset::Ascii) && charset <= int(Gdt::Charset::Latin1))
        s.charset = Gdt::Charset(charset);
    if (SettingsFile::value(settingsFile, section, orderKey) == animalFirst)
        s.nameOrder = Gdt::NameOrder::AnimalThenOwner;
    return s;
}

void GdtSettings::save(const QString &settingsFile) const {
    for (const TextKey &key : textKeys)
        SettingsFile::setValue(settingsFile, section, QStringView(key.name), this->*key.member);
    SettingsFile::setValue(settingsFile, section, charsetKey, QString::number(int(charset)));
    SettingsFile::setValue(settingsFile, section, orderKey,
                           nameOrder == Gdt::NameOrder::AnimalThenOwner ? animalFirst : ownerFirst);
}
