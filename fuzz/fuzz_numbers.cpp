// SPDX-License-Identifier: GPL-3.0-or-later

// Feeds arbitrary texts to the German number and date parsers and arbitrary bit patterns to
// the formatter and the 16-bit and single-precision arithmetic. Besides sanitizer reports it
// checks that what parses is finite and reads back from its own text, that a point never
// counts as a separator, and that rounding and overflow behave as the calculation needs.
#include "core/apperror.h"
#include "core/germantext.h"
#include "core/wholenumber.h"

#include <QLocale>
#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

[[noreturn]] void fail(const char *what, const QString &text = {}) {
    std::fprintf(stderr, "fuzz_numbers: %s [%s]\n", what, qUtf8Printable(text));
    std::abort();
}

// Runs f and returns the number of the AppError it raised, 0 when none.
template <typename F> int errorOf(F f) {
    try {
        f();
    } catch (const AppError &e) {
        return e.number();
    }
    return 0;
}

// The locale the parser falls back on: where both read a text, they must agree.
const QLocale &german() {
    static const QLocale locale = [] {
        QLocale l(QLocale::German, QLocale::Germany);
        l.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
        return l;
    }();
    return locale;
}

bool closeTo(double a, double b) {
    // Fifteen significant digits, or a few steps apart where subnormals have fewer.
    const double diff = std::fabs(a - b);
    return diff <= 1e-14 * std::fabs(b) || diff <= 4 * std::numeric_limits<double>::denorm_min();
}

// A finite value's text parses back to nearly the value, and formats to the same text again.
void checkFormatted(double value) {
    const QString text = GermanText::fromNumber(value);
    if (text.contains(u'.'))
        fail("a formatted number holds a point", text);
    if (text == u"-0")
        fail("zero formatted with a sign", text);
    // Fifteen digits round the last values below the double limit up beyond it.
    if (std::fabs(value) > 1.79769313486231e308)
        return;
    const auto again = GermanText::toNumber(text);
    if (!again)
        fail("a formatted number does not parse", text);
    if (!closeTo(*again, value))
        fail("a formatted number parses to another value", text);
    if (GermanText::fromNumber(*again) != text)
        fail("formatting a parsed number changes its text", text);
}

void checkNumberText(const QString &text) {
    const auto value = GermanText::toNumber(text);
    if (GermanText::isNumeric(text) != value.has_value())
        fail("isNumeric disagrees with toNumber", text);
    double parsed = 0;
    const int error = errorOf([&] { parsed = GermanText::parseNumber(text); });
    if (value ? error != 0 || !(parsed == *value || (std::isnan(parsed) && std::isnan(*value)))
              : error != AppError::TypeMismatch)
        fail("parseNumber disagrees with toNumber", text);
    if (!value)
        return;
    if (!std::isfinite(*value))
        fail("a text parsed to a value that is not finite", text);
    // "6.5" or "1.000" would be read ten or a thousand times too large.
    if (text.contains(u'.'))
        fail("a text with a point parsed as a number", text);
    bool ok = false;
    const double byLocale = german().toDouble(QStringView(text).trimmed(), &ok);
    if (ok && std::isfinite(byLocale) && byLocale != *value)
        fail("the shortcut for plain decimals reads another value than the locale", text);
    checkFormatted(*value);
}

void checkDateText(const QString &text) {
    const auto date = GermanText::toDate(text);
    if (!date)
        return;
    if (!date->isValid())
        fail("toDate gave an invalid date", text);
    for (const QChar c : QStringView(text).trimmed()) {
        if (!(c.unicode() >= u'0' && c.unicode() <= u'9') && c != u'.')
            fail("a date text with more than digits and points parsed", text);
    }
    const QString written = GermanText::fromDate(*date);
    if (written.size() != 10)
        fail("a parsed date is not written as dd.MM.yyyy", text);
    if (GermanText::toDate(written) != date)
        fail("a written date reads back as another date", text);
}

void checkBits(double value) {
    if (std::isfinite(value))
        checkFormatted(value);
    else if (GermanText::toNumber(GermanText::fromNumber(value)))
        fail("the text of a value that is not finite parses", GermanText::fromNumber(value));

    std::int16_t whole = 0;
    const int error = errorOf([&] { whole = WholeNumber::toInt16(value); });
    const double nearest = std::nearbyint(value);
    const bool inRange = nearest >= -32768 && nearest <= 32767;
    if (error != (inRange ? 0 : int(AppError::Overflow)))
        fail("toInt16 overflow does not match the range", GermanText::fromNumber(value));
    if (error == 0) {
        const double off = std::fabs(whole - value);
        if (off > 0.5 || (off == 0.5 && whole % 2 != 0))
            fail("toInt16 does not round to nearest, halves to even",
                 GermanText::fromNumber(value));
    }

    float single = 0;
    const int singleError = errorOf([&] { single = WholeNumber::toSingle(value); });
    const bool fits = std::fabs(value) <= std::numeric_limits<float>::max();
    if (singleError != (fits ? 0 : int(AppError::Overflow)))
        fail("toSingle overflow does not match the range", GermanText::fromNumber(value));
    if (singleError == 0 && !std::isfinite(single))
        fail("toSingle gave a value that is not finite", GermanText::fromNumber(value));
}

void checkAdd(std::int16_t a, int b) {
    std::int16_t sum = 0;
    const int error = errorOf([&] { sum = WholeNumber::add(a, b); });
    const long long exact = static_cast<long long>(a) + b;
    const bool inRange = exact >= -32768 && exact <= 32767;
    if (error != (inRange ? 0 : int(AppError::Overflow)) || (inRange && sum != exact))
        fail("add does not give the sum or an overflow", QString::number(exact));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const char *bytes = reinterpret_cast<const char *>(data);
    // Typed fields and case file lines are short; long texts only slow the run down.
    if (size > 256)
        return -1;
    const QString text = QString::fromUtf8(bytes, qsizetype(size));
    checkNumberText(text);
    checkDateText(text);

    if (size >= sizeof(double)) {
        double value = 0;
        std::memcpy(&value, bytes, sizeof value);
        checkBits(value);
    }
    if (size >= sizeof(std::int16_t) + sizeof(int)) {
        std::int16_t a = 0;
        int b = 0;
        std::memcpy(&a, bytes + size - sizeof a - sizeof b, sizeof a);
        std::memcpy(&b, bytes + size - sizeof b, sizeof b);
        checkAdd(a, b);
    }
    return 0;
}
