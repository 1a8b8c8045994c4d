#include "numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

namespace datafiles {
namespace {

bool isIgnoredInNumber(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

double wholeNumber(const std::u16string& s, size_t from, int base)
{
    double value = 0;
    for (size_t i = from; i < s.size(); ++i) {
        const char16_t c = s[i];
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0 || digit >= base)
            break;
        value = value * base + digit;
    }
    return std::isfinite(value) ? value : 0.0;
}

// The power of ten of the first significant digit of a decimal number such as
// "0.0012e-400", for telling a number too large for a double from one too small.
long decimalMagnitude(const std::string& number)
{
    const size_t ePos = number.find('e');
    const std::string mantissa = number.substr(0, ePos);
    // Only the sign of the result matters; a huge exponent is held to a size
    // that no count of digits can outweigh.
    const long exponent = ePos == std::string::npos
        ? 0
        : std::clamp(std::strtol(number.c_str() + ePos + 1, nullptr, 10), -1000000000L, 1000000000L);
    const size_t point = mantissa.find('.');
    const std::string whole = mantissa.substr(0, point);
    const size_t firstWhole = whole.find_first_not_of('0');
    if (firstWhole != std::string::npos)
        return long(whole.size() - firstWhole) - 1 + exponent;
    const std::string fraction = point == std::string::npos ? std::string() : mantissa.substr(point + 1);
    const size_t firstFraction = fraction.find_first_not_of('0');
    return -long(firstFraction == std::string::npos ? fraction.size() : firstFraction) - 1 + exponent;
}

} // namespace

double leadingNumber(QStringView text)
{
    std::u16string s;
    s.reserve(size_t(text.size()));
    for (QChar c : text) {
        if (!isIgnoredInNumber(c))
            s.push_back(c.unicode());
    }

    if (s.size() >= 2 && s[0] == u'&') {
        if (s[1] == u'H' || s[1] == u'h')
            return wholeNumber(s, 2, 16);
        if (s[1] == u'O' || s[1] == u'o')
            return wholeNumber(s, 2, 8);
    }

    // Copy the longest leading decimal number into plain ASCII for from_chars.
    std::string number;
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
        negative = s[i] == u'-';
        ++i;
    }
    bool haveDigits = false;
    while (i < s.size() && isDigit(s[i])) {
        number.push_back(char(s[i++]));
        haveDigits = true;
    }
    if (i < s.size() && s[i] == u'.') {
        number.push_back('.');
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            number.push_back(char(s[i++]));
            haveDigits = true;
        }
    }
    if (!haveDigits)
        return 0.0;
    if (i < s.size() && (s[i] == u'E' || s[i] == u'e' || s[i] == u'D' || s[i] == u'd')) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == u'+' || s[j] == u'-'))
            exponent.push_back(char(s[j++]));
        bool exponentDigits = false;
        while (j < s.size() && isDigit(s[j])) {
            exponent.push_back(char(s[j++]));
            exponentDigits = true;
        }
        if (exponentDigits)
            number += exponent;
    }

    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    Q_UNUSED(end);
    if (error == std::errc::result_out_of_range) {
        // Too small to hold is 0; too large is the largest amount a double holds.
        value = decimalMagnitude(number) > 0 ? std::numeric_limits<double>::max() : 0.0;
    } else if (error != std::errc()) {
        return 0.0;
    }
    return negative ? -value : value;
}

QString amountText(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0.00");

    // 15 significant digits, as the number setting formats a double.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", value);
    const std::string formatted(buffer);
    const bool negative = formatted[0] == '-';
    const size_t start = negative ? 1 : 0;
    std::string digits;
    digits.push_back(formatted[start]);
    const size_t ePos = formatted.find('e');
    digits += formatted.substr(start + 2, ePos - start - 2); // 15 digits d.dddd
    const int exponent = std::stoi(formatted.substr(ePos + 1));

    // The value is 0.d1d2...d15 times 10^(exponent + 1). Keep the digits down to
    // the hundredths and round on the next one, halves away from zero.
    const int keep = exponent + 1 + 2;
    std::string hundredths; // the rounded value in hundredths, as decimal digits
    if (keep <= 0) {
        hundredths.assign(1, (keep == 0 && digits[0] >= '5') ? '1' : '0');
    } else if (size_t(keep) >= digits.size()) {
        hundredths = digits;
        hundredths.append(size_t(keep) - digits.size(), '0');
    } else {
        hundredths = digits.substr(0, size_t(keep));
        if (digits[size_t(keep)] >= '5') {
            int k = int(hundredths.size()) - 1;
            while (k >= 0 && hundredths[size_t(k)] == '9')
                hundredths[size_t(k--)] = '0';
            if (k >= 0)
                ++hundredths[size_t(k)];
            else
                hundredths.insert(hundredths.begin(), '1');
        }
    }

    const size_t firstNonZero = hundredths.find_first_not_of('0');
    if (firstNonZero == std::string::npos)
        return QStringLiteral("0.00");
    hundredths.erase(0, firstNonZero);
    if (hundredths.size() < 3)
        hundredths.insert(0, 3 - hundredths.size(), '0');
    hundredths.insert(hundredths.size() - 2, 1, '.');
    if (negative)
        hundredths.insert(hundredths.begin(), '-');
    const std::string& text = hundredths;
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

std::optional<qint64> amountHundredths(double value)
{
    QString text = amountText(value);
    text.remove(QLatin1Char('.'));
    bool ok = false;
    const qint64 hundredths = text.toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return hundredths;
}

QString amountTextOfHundredths(qint64 hundredths)
{
    const bool negative = hundredths < 0;
    // Work in unsigned so that the most negative count has a magnitude too.
    const quint64 magnitude = negative ? quint64(0) - quint64(hundredths) : quint64(hundredths);
    QString text = QString::number(magnitude / 100) + QLatin1Char('.')
        + QStringLiteral("%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
    if (negative)
        text.prepend(QLatin1Char('-'));
    return text;
}

} // namespace datafiles
