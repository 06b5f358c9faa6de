// SPDX-License-Identifier: GPL-3.0-or-later

#include "files/appsettings.h"

#include "core/germantext.h"
#include "core/wholenumber.h"
#include "files/programfolder.h"
#include "files/settingsfile.h"

#include <QDir>
#include <QStandardPaths>

#include <algorithm>

#include <array>
#include <optional>

namespace {

const QString organization = QStringLiteral("Korvalo");
const QString section = QStringLiteral("Settings");

struct KeyInfo {
    const char *name;
    const char *defaultValue; // nullptr: computed
};

constexpr std::array<KeyInfo, 10> keys{{
    {"MainLeft", "0"},
    {"MainTop", "0"},
    {"MainWidth", "12000"},
    {"MainHeight", "9000"},
    {"Path", ""},
    {"PicPath", nullptr},
    {"WebPage", ""},
    {"SmallPets", "0"},
    {"ShowSmallPets", "0"},
    {"ErrorValue", "0"},
}};

float readPlacement(const AppSettings &settings, AppSettings::Key key, float fallback) {
    const QString text = settings.value(AppSettings::applicationName, AppSettings::keyName(key),
                                        GermanText::fromNumber(fallback));
    return WholeNumber::toSingle(GermanText::parseNumber(text));
}

/** Where the desktop's Qt programs keep a program's settings: <config>/Korvalo/<name>.conf. */
QString fileOf(const QString &application) {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' +
           organization + u'/' + application + u".conf";
}

} // namespace

const QString AppSettings::applicationName = QStringLiteral("Korvalo");
const QString AppSettings::notInstalled = QStringLiteral("XXXXX");

QString AppSettings::fileName(const QString &application) {
    return fileOf(application);
}

QString AppSettings::keyName(Key key) {
    return QString::fromLatin1(keys[key].name);
}

QString AppSettings::value(Key key) const {
    const QString fallback = keys[key].defaultValue
                                 ? QString::fromLatin1(keys[key].defaultValue)
                                 : ProgramFolder::dataFile(QStringLiteral("kvl_logo.gif"));
    return value(applicationName, keyName(key), fallback);
}

void AppSettings::setValue(Key key, const QString &text) {
    setValue(applicationName, keyName(key), text);
}

QString AppSettings::value(const QString &application, const QString &key,
                           const QString &defaultValue) const {
    return SettingsFile::value(fileOf(application), section, key).value_or(defaultValue);
}

void AppSettings::setValue(const QString &application, const QString &key, const QString &text) {
    // Only this key's line changes: what others wrote there stays as they wrote it.
    SettingsFile::setValue(fileOf(application), section, key, text);
}

AppSettings::Placement AppSettings::defaultPlacement(double screenHeightTwips) {
    const bool small = screenHeightTwips <= 6200;
    return {0, 0, small ? 9600.0f : 12000.0f, small ? 6200.0f : 9000.0f};
}

AppSettings::Placement AppSettings::placement(double screenHeightTwips) const {
    const Placement defaults = defaultPlacement(screenHeightTwips);
    Placement p;
    p.left = readPlacement(*this, MainLeft, defaults.left);
    p.top = readPlacement(*this, MainTop, defaults.top);
    p.width = readPlacement(*this, MainWidth, defaults.width);
    p.height = readPlacement(*this, MainHeight, defaults.height);
    return p;
}

void AppSettings::setPlacement(const Placement &p) {
    setValue(MainLeft, GermanText::fromNumber(p.left));
    setValue(MainTop, GermanText::fromNumber(p.top));
    setPlacementSize(p.width, p.height);
}

void AppSettings::setPlacementSize(float width, float height) {
    setValue(MainWidth, GermanText::fromNumber(width));
    setValue(MainHeight, GermanText::fromNumber(height));
}

QString AppSettings::companionPath(const QString &programName) const {
    return value(programName, keyName(Path), notInstalled);
}

ErrorReporter AppSettings::errorReporter(UserInterface &ui) const {
    return ErrorReporter(ui, [settings = *this] { return settings.value(ErrorValue); });
}

namespace {

constexpr int recentCount = 8;
const QString recentKey = QStringLiteral("Zuletzt%1");
const QString folderKey = QStringLiteral("FaelleOrdner%1");

} // namespace

QStringList AppSettings::caseFolders(const QStringList &extra) {
    QStringList out{ProgramFolder::reportsFolder()};
    for (const QString &folder : extra) {
        if (!std::any_of(out.begin(), out.end(),
                         [&](const QString &f) { return QDir(f) == QDir(folder); }))
            out << folder;
    }
    return out;
}

QStringList AppSettings::extraCaseFolders() const {
    QStringList folders;
    for (int i = 1;; ++i) {
        const QString folder = value(applicationName, folderKey.arg(i), QString());
        if (folder.isEmpty())
            break;
        if (!folders.contains(folder))
            folders << folder;
    }
    return folders;
}

void AppSettings::setExtraCaseFolders(const QStringList &folders) {
    const auto stored = [&](int i) { return value(applicationName, folderKey.arg(i), QString()); };
    int i = 1;
    for (const QString &folder : folders) {
        if (stored(i) != folder)
            setValue(applicationName, folderKey.arg(i), folder);
        ++i;
    }
    // Emptied, not left: a folder removed must not come back at the next start.
    for (; !stored(i).isEmpty(); ++i)
        setValue(applicationName, folderKey.arg(i), QString());
}

QStringList AppSettings::recentFiles() const {
    QStringList files;
    for (int i = 1; i <= recentCount; ++i) {
        const QString file = value(applicationName, recentKey.arg(i), {});
        if (!file.isEmpty())
            files << file;
    }
    return files;
}

void AppSettings::rememberRecent(const QString &path) {
    QStringList files = recentFiles();
    files.removeAll(path);
    files.prepend(path);
    for (int i = 1; i <= recentCount; ++i) {
        const QString file = files.value(i - 1);
        if (value(applicationName, recentKey.arg(i), {}) != file)
            setValue(applicationName, recentKey.arg(i), file);
    }
}
