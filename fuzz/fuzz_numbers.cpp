// The leading-number rule on any text, and the amount text: its form, and that
// it reads back by the leading-number rule as the value rounded to hundredths.
//
// Input: the whole input is a text (Windows-1252); its first eight bytes are
// also taken as a double and as a count of hundredths.
#include "datafiles/codepage.h"
#include "datafiles/numbers.h"
#include "fuzzcheck.h"

#include <QRegularExpression>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace {

bool isIgnored(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

// The value the rule gives, worked out another way: the number part is picked
// out and handed to the C library (strtod, long double for &H and &O).
// *wholeNumber tells an &H or &O number, which may differ in its last bit;
// *rangeError a value beyond a double's range, for which 0 is accepted.
double expectedNumber(const QString& text, bool* wholeNumber, bool* rangeError)
{
    std::string s;
    for (QChar c : text) {
        if (!isIgnored(c))
            s.push_back(c.unicode() < 128 ? char(c.unicode()) : '\x01');
    }
    *wholeNumber = false;
    *rangeError = false;
    if (s.size() >= 2 && s[0] == '&' && s[1] != 0 && std::strchr("HhOo", s[1])) {
        *wholeNumber = true;
        const int base = (s[1] == 'H' || s[1] == 'h') ? 16 : 8;
        long double value = 0;
        for (size_t i = 2; i < s.size() && digitValue(s[i]) < base; ++i)
            value = value * base + digitValue(s[i]);
        if (value > 1.79769e308L) {
            *rangeError = true;
            return value > 1.7976931348623157e308L ? 0.0 : double(value);
        }
        return double(value);
    }
    size_t i = 0;
    std::string number;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        number.push_back(s[i++]);
    size_t digits = 0;
    for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i, ++digits)
        number.push_back(s[i]);
    if (i < s.size() && s[i] == '.') {
        number.push_back(s[i++]);
        for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i, ++digits)
            number.push_back(s[i]);
    }
    if (digits == 0)
        return 0.0;
    if (i + 1 < s.size() && s[i] != 0 && std::strchr("EeDd", s[i])) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (s[j] == '+' || s[j] == '-')
            exponent.push_back(s[j++]);
        if (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) {
            while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j])))
                exponent.push_back(s[j++]);
            number += exponent;
        }
    }
    errno = 0;
    const double value = std::strtod(number.c_str(), nullptr);
    if (errno == ERANGE) {
        // Too large reads as the largest double; too small keeps what strtod made of it.
        *rangeError = true;
        return std::isfinite(value) ? value : std::copysign(std::numeric_limits<double>::max(), value);
    }
    return value;
}

void checkLeadingNumber(const QString& text)
{
    const double value = datafiles::leadingNumber(text);
    FUZZ_CHECK(std::isfinite(value));

    bool wholeNumber = false;
    bool rangeError = false;
    const double expected = expectedNumber(text, &wholeNumber, &rangeError);
    const double tolerance = std::fabs(expected) * 1e-15;
    const bool matches = value == expected || (wholeNumber && std::fabs(value - expected) <= tolerance)
        || (rangeError && value == 0.0);
    if (!matches)
        std::fprintf(stderr, "\nleadingNumber gave %.17g, expected %.17g\n", value, expected);
    FUZZ_CHECK(matches);

    // Blanks, tabs and line feeds count for nothing wherever they stand.
    QString spaced;
    for (QChar c : text)
        spaced += QStringLiteral(" \t") + c + QStringLiteral("\n");
    FUZZ_CHECK(datafiles::leadingNumber(spaced) == value);
}

void checkAmountText(double x)
{
    static const QRegularExpression form(QStringLiteral("^-?(0|[1-9][0-9]*)\\.[0-9][0-9]$"));
    const QString text = datafiles::amountText(x);
    if (!std::isfinite(x)) {
        FUZZ_CHECK(text == QStringLiteral("0.00"));
        return;
    }
    FUZZ_CHECK(form.match(text).hasMatch());
    FUZZ_CHECK(text != QStringLiteral("-0.00"));

    // Read back: the value rounded to hundredths, and the same text again.
    const double read = datafiles::leadingNumber(text);
    if (std::fabs(read - x) > 0.005 * (1 + 1e-9) + std::fabs(x) * 1e-14)
        std::fprintf(stderr, "\namountText(%.17g) = %s reads back as %.17g\n", x, qPrintable(text), read);
    FUZZ_CHECK(std::fabs(read - x) <= 0.005 * (1 + 1e-9) + std::fabs(x) * 1e-14);
    FUZZ_CHECK(datafiles::amountText(read) == text);
    FUZZ_CHECK(read == 0.0 || std::signbit(read) == std::signbit(x));

    // Halves away from zero: a value and its negative give the same digits.
    const QString negated = datafiles::amountText(-x);
    if (text == QStringLiteral("0.00"))
        FUZZ_CHECK(negated == text);
    else
        FUZZ_CHECK(negated == (text.startsWith(u'-') ? text.mid(1) : u'-' + text));

    // As a count of hundredths where it fits in 64 bits.
    const std::optional<qint64> hundredths = datafiles::amountHundredths(x);
    if (std::fabs(x) < 9.0e16)
        FUZZ_CHECK(hundredths.has_value());
    if (std::fabs(x) > 9.3e16)
        FUZZ_CHECK(!hundredths.has_value());
    if (hundredths)
        FUZZ_CHECK(datafiles::amountTextOfHundredths(*hundredths) == text);
}

void checkHundredths(qint64 hundredths)
{
    static const QRegularExpression form(QStringLiteral("^-?(0|[1-9][0-9]*)\\.[0-9][0-9]$"));
    const QString text = datafiles::amountTextOfHundredths(hundredths);
    FUZZ_CHECK(form.match(text).hasMatch());
    FUZZ_CHECK(text != QStringLiteral("-0.00"));
    FUZZ_CHECK(text.startsWith(u'-') == (hundredths < 0));
    QString digits = text;
    digits.remove(u'.').remove(u'-');
    FUZZ_CHECK(digits.toULongLong() == (hundredths < 0 ? quint64(0) - quint64(hundredths) : quint64(hundredths)));
    // Within 15 significant digits the text is also the amount text of its value.
    if (hundredths > -1000000000000000 && hundredths < 1000000000000000) {
        const double value = datafiles::leadingNumber(text);
        FUZZ_CHECK(datafiles::amountText(value) == text);
        FUZZ_CHECK(datafiles::amountHundredths(value) == hundredths);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = datafiles::decode1252(fuzzBytes(data, size));
    checkLeadingNumber(text);
    checkAmountText(datafiles::leadingNumber(text));

    if (size >= 8) {
        double x = 0;
        std::memcpy(&x, data, 8);
        checkAmountText(x);
        qint64 whole = 0;
        std::memcpy(&whole, data, 8);
        checkHundredths(whole);
        // Amounts with a third decimal and with halves, where rounding decides.
        checkAmountText(double(whole % 100000000000000) / 1000.0);
        checkAmountText(double(whole % 1000000000) / 200.0);
    }
    return 0;
}
