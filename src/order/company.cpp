#include "company.h"

#include "datafiles/datalock.h"

#include "archive.h"
#include "numbering.h"

#include "datafiles/textfile.h"

#include <QRegularExpression>

namespace core {
namespace {

constexpr int companyFields = 2;

struct Detail
{
    const char* key; // the name in the file, and the field a refusal names
    QString Company::*value;
};

const Detail details[] = {
    { "Namn", &Company::name },
    { "Adress", &Company::address },
    { "Postadress", &Company::postalAddress },
    { "Telefon", &Company::phone },
    { "E-post", &Company::email },
    { "Organisationsnummer", &Company::organisationNumber },
    { "Momsregistreringsnummer", &Company::vatNumber },
    { "Bankgiro", &Company::bankgiro },
    { "Plusgiro", &Company::plusgiro },
};
const char* const fTaxKey = "F-skatt";

QString yesNo(bool yes)
{
    return yes ? QStringLiteral("Ja") : QStringLiteral("Nej");
}

// The Luhn check the Swedish organisation and giro numbers end in.
bool checkDigitRight(QStringView digits)
{
    int sum = 0;
    bool twice = false;
    for (auto c = digits.rbegin(); c != digits.rend(); ++c) {
        int d = c->digitValue() * (twice ? 2 : 1);
        sum += d > 9 ? d - 9 : d;
        twice = !twice;
    }
    return sum % 10 == 0;
}

QString withoutBlanks(QStringView text)
{
    QString kept;
    for (QChar c : text) {
        if (!c.isSpace())
            kept.append(c);
    }
    return kept;
}

// The digits of a number typed with an optional "-" before its last `after`
// digits; empty when it is not such a number.
QString numberDigits(QStringView typed, int fewest, int most, int after)
{
    const QRegularExpression form(
        QStringLiteral("^(\\d{%1,%2})-?(\\d{%3})$").arg(fewest - after).arg(most - after).arg(after));
    const QRegularExpressionMatch match = form.match(withoutBlanks(typed));
    return match.hasMatch() ? match.captured(1) + match.captured(2) : QString();
}

std::optional<QString> problemOf(Company& company)
{
    QString& organisation = company.organisationNumber;
    if (!organisation.isEmpty()) {
        const QString digits = numberDigits(organisation, 10, 10, 4);
        if (digits.isEmpty())
            return QStringLiteral("Organisationsnummer: ska vara tio siffror, som 556677-8899");
        if (!checkDigitRight(digits))
            return QStringLiteral("Organisationsnummer: kontrollsiffran stämmer inte");
        organisation = digits.first(6) + u'-' + digits.sliced(6);
    }
    QString& vat = company.vatNumber;
    if (!vat.isEmpty()) {
        static const QRegularExpression form(QStringLiteral("^SE(\\d{10})01$"));
        const QRegularExpressionMatch match = form.match(withoutBlanks(vat).toUpper());
        if (!match.hasMatch())
            return QStringLiteral("Momsregistreringsnummer: ska vara SE, organisationsnumret och 01, som "
                                  "SE556677889901");
        if (!organisation.isEmpty() && match.captured(1) != QString(organisation).remove(u'-'))
            return QStringLiteral("Momsregistreringsnummer: ska innehålla organisationsnumret");
        vat = QStringLiteral("SE") + match.captured(1) + QStringLiteral("01");
    }
    if (!company.bankgiro.isEmpty()) {
        const QString digits = numberDigits(company.bankgiro, 7, 8, 4);
        if (digits.isEmpty() || !checkDigitRight(digits))
            return QStringLiteral("Bankgiro: ska vara sju eller åtta siffror med rätt kontrollsiffra, som 123-4566");
        company.bankgiro = digits.chopped(4) + u'-' + digits.last(4);
    }
    if (!company.plusgiro.isEmpty()) {
        const QString digits = numberDigits(company.plusgiro, 2, 8, 1);
        if (digits.isEmpty() || !checkDigitRight(digits))
            return QStringLiteral("Plusgiro: ska vara två till åtta siffror med rätt kontrollsiffra, som 12345-5");
        company.plusgiro = digits.chopped(1) + u'-' + digits.last(1);
    }
    if (!company.email.isEmpty()) {
        if (const QString problem = emailAddressProblem(company.email); !problem.isEmpty())
            return QStringLiteral("E-post: ") + problem;
    }
    for (const Detail& detail : details) {
        if (const QString problem = datafiles::recordTextProblem(company.*detail.value); !problem.isEmpty())
            return QStringLiteral("%1: %2").arg(QString::fromUtf8(detail.key), problem);
    }
    return std::nullopt;
}

} // namespace

CompanyRead readCompany(const datafiles::DataDirectory& data)
{
    CompanyRead read { {}, datafiles::RecordTable::parse({}, companyFields), std::nullopt };
    const QString file = data.companyFile();
    if (!datafiles::isFile(file))
        return read;
    datafiles::ReadResult bytes = datafiles::readWholeFile(file);
    if (!bytes.ok()) {
        read.failure = bytes.failure->during(QStringLiteral("läsa företagets uppgifter"));
        return read;
    }
    read.records = datafiles::RecordTable::parse(std::move(bytes.bytes), companyFields);
    // The first record of a name counts, as the first code of a register does.
    for (qsizetype r = read.records.recordCount() - 1; r >= 0; --r) {
        const QString key = read.records.field(r, 0);
        const QString value = read.records.field(r, 1);
        if (key == QLatin1String(fTaxKey))
            read.company.fTax = value == yesNo(true);
        for (const Detail& detail : details) {
            if (key == QLatin1String(detail.key))
                read.company.*detail.value = value;
        }
    }
    return read;
}

QString emailAddressProblem(QStringView address)
{
    const qsizetype at = address.indexOf(u'@');
    if (at < 0)
        return QStringLiteral("en e-postadress har ett @, som namn@exempel.se");
    if (at == 0 || at == address.size() - 1 || address.indexOf(u'@', at + 1) >= 0)
        return QStringLiteral("en e-postadress har ett namn före och en domän efter sitt enda @");
    for (QChar c : address) {
        if (c.isSpace())
            return QStringLiteral("en e-postadress har inga blanksteg");
    }
    return {};
}

CompanyChecked checkCompany(const Company& typed)
{
    CompanyChecked checked { typed, std::nullopt };
    for (const Detail& detail : details)
        checked.company.*detail.value = (typed.*detail.value).trimmed();
    if (const std::optional<QString> problem = problemOf(checked.company))
        checked.refused = datafiles::refusedByRule(QStringLiteral("spara företagets uppgifter"), {}, *problem);
    return checked;
}

RegisterSaved saveCompany(const datafiles::DataDirectory& data, const datafiles::RecordTable& current,
                          const Company& typed)
{
    const CompanyChecked checked = checkCompany(typed);
    if (checked.refused) {
        RegisterSaved saved;
        saved.failure = checked.refused;
        saved.failure->file = data.companyFile();
        return saved;
    }
    datafiles::RecordChanges changes;
    const auto change = [&](const QString& key, const QString& value) {
        for (qsizetype r = 0; r < current.recordCount(); ++r) {
            if (current.field(r, 0) == key) {
                if (current.field(r, 1) != value)
                    changes.replaced[r] = { key, value };
                return;
            }
        }
        if (!value.isEmpty())
            changes.added.append({ key, value });
    };
    for (const Detail& detail : details)
        change(QString::fromUtf8(detail.key), checked.company.*detail.value);
    change(QString::fromUtf8(fTaxKey), yesNo(checked.company.fTax));
    RegisterSaved saved;
    saved.records = current;
    if (changes.isEmpty())
        return saved;
    return saveRegister(data, data.companyFile(), current, changes, QStringLiteral("spara företagets uppgifter"),
                        QStringLiteral("uppgifterna har ändrats sedan de lästes; de läses nu in på nytt, "
                                       "gör ändringen igen"));
}

std::optional<datafiles::Failure> saveLogo(const datafiles::DataDirectory& data, const QByteArray& png)
{
    const datafiles::DataLock lock = datafiles::DataLock::take(data, QStringLiteral("spara logotypen"));
    if (lock.failure())
        return lock.failure();
    if (std::optional<datafiles::Failure> failure = datafiles::replaceFile(data.chosenLogoImage(), png))
        return failure->during(QStringLiteral("spara logotypen"));
    return std::nullopt;
}

std::optional<datafiles::Failure> setNextOrderNumber(const datafiles::DataDirectory& data, const QString& typed)
{
    const QString operation = QStringLiteral("sätta nästa ordernummer");
    const auto refuse = [&](const QString& reason) {
        return datafiles::refusedByRule(operation, data.orderNumberFile(), reason);
    };
    bool isNumber = false;
    const qint64 next = typed.trimmed().toLongLong(&isNumber);
    if (!isNumber || next < 1 || typed.trimmed().startsWith(u'+'))
        return refuse(QStringLiteral("Nästa ordernummer: \"%1\" är inget heltal större än 0").arg(typed));
    const datafiles::DataLock lock = datafiles::DataLock::take(data, operation);
    if (lock.failure())
        return lock.failure();
    const HighestNumber used = highestNumberUsed(data, OwnClaim::Kept);
    if (used.failure)
        return used.failure->during(operation);
    const qint64 highest = used.number;
    if (next <= highest)
        return refuse(QStringLiteral("Nästa ordernummer: %1 är redan använt; det lägsta som går är %2")
                          .arg(next)
                          .arg(highest + 1));
    if (std::optional<datafiles::Failure> failure
        = datafiles::replaceFile(data.orderNumberFile(), datafiles::plainLine(QString::number(next - 1))))
        return failure->during(operation);
    return std::nullopt;
}

QStringList senderLines(const Company& company)
{
    QStringList lines;
    const auto add = [&lines](QStringList parts) {
        parts.removeAll(QString());
        if (!parts.isEmpty())
            lines.append(parts.join(QStringLiteral(", ")));
    };
    add({ company.name });
    add({ company.address, company.postalAddress });
    add({ company.phone.isEmpty() ? QString() : QStringLiteral("Tel. ") + company.phone, company.email });
    add({ company.organisationNumber.isEmpty() ? QString() : QStringLiteral("Org.nr ") + company.organisationNumber,
          company.vatNumber.isEmpty() ? QString() : QStringLiteral("Momsreg.nr ") + company.vatNumber });
    add({ company.bankgiro.isEmpty() ? QString() : QStringLiteral("Bankgiro ") + company.bankgiro,
          company.plusgiro.isEmpty() ? QString() : QStringLiteral("Plusgiro ") + company.plusgiro,
          company.fTax ? QStringLiteral("Godkänd för F-skatt") : QString() });
    return lines;
}

} // namespace core
