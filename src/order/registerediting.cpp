#include "registerediting.h"

#include "datafiles/numbers.h"
#include "datafiles/textfile.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace core {
namespace {

EditableRegister readEditable(const QString& file, int fields, const QString& operation)
{
    EditableRegister read;
    read.file = file;
    if (!datafiles::isFile(file) && !QFileInfo::exists(file)) {
        read.records = datafiles::RecordTable::parse({}, fields);
        return read;
    }
    datafiles::ReadResult bytes = datafiles::readWholeFile(file);
    if (bytes.ok() && bytes.bytes.size() > 0xFFFFFFFEll)
        bytes.failure = datafiles::refusedByRule({}, file, QStringLiteral("filen är för stor"));
    if (!bytes.ok()) {
        read.failure = bytes.failure->during(operation);
        return read;
    }
    read.records = datafiles::RecordTable::parse(std::move(bytes.bytes), fields);
    if (read.records.endsInsideRecord())
        read.cutShort = datafiles::endsInsideRecord(operation, file);
    return read;
}

} // namespace

EditableRegister readEditableProducts(const datafiles::DataDirectory& data)
{
    return readEditable(data.productRegister(), productFields, QStringLiteral("läsa produktregistret"));
}

EditableRegister readEditableCodes(const datafiles::DataDirectory& data, CodeRegister which)
{
    static const char* const operations[] = { "läsa registret över betalningsvillkor",
                                              "läsa registret över leveranssätt", "läsa registret över fraktsätt" };
    return readEditable(registerFile(data, which), 2, QString::fromUtf8(operations[size_t(which)]));
}

datafiles::Failure cutRecordWillBeDropped(const datafiles::Failure& cutShort)
{
    datafiles::Failure told = cutShort;
    told.reason += QStringLiteral(". Den avkortade posten tas bort när registret sparas nästa gång");
    return told;
}

RegisterSaved saveRegister(const QString& file, const datafiles::RecordTable& current,
                           const datafiles::RecordChanges& changes, const QString& operation)
{
    RegisterSaved saved;
    const bool exists = QFileInfo::exists(file);
    const datafiles::ReadResult onDisk = exists ? datafiles::readWholeFile(file) : datafiles::ReadResult {};
    if (!onDisk.ok()) {
        saved.failure = onDisk.failure->during(operation);
        return saved;
    }
    if (onDisk.bytes != current.bytes()) {
        saved.failure = datafiles::changedSinceRead(
            operation, file,
            QStringLiteral("registret har ändrats sedan det lästes; det läses nu in på nytt, gör ändringen igen"));
        return saved;
    }
    datafiles::RecordRewrite rewrite = datafiles::rewriteRecords(current, changes);
    if (!rewrite.problem.isEmpty()) {
        saved.failure = datafiles::refusedByRule(operation, file, rewrite.problem);
        return saved;
    }
    if (std::optional<datafiles::Failure> failure = datafiles::replaceFile(file, rewrite.bytes)) {
        saved.failure = failure->during(operation);
        return saved;
    }
    saved.records = std::move(rewrite.readBack);
    return saved;
}

QString productProblem(const QStringList& product)
{
    if (product.value(articleField).trimmed().isEmpty())
        return QStringLiteral("artikelnumret är tomt");
    for (const QString& text : product) {
        if (const QString problem = datafiles::recordTextProblem(text); !problem.isEmpty())
            return problem;
    }
    return {};
}

QString articleNumberTaken(const QString& article)
{
    return QStringLiteral("artikelnummer %1 finns redan (stora och små bokstäver räknas lika)").arg(article);
}

std::optional<QString> storedPrice(QStringView typed, QChar decimalMark)
{
    QString text;
    text.reserve(typed.size());
    for (QChar c : typed) {
        // Blanks group the digits, as a Swedish spreadsheet writes 1 234,50.
        if (!c.isSpace())
            text.append(c);
    }
    if (decimalMark.isNull() || decimalMark == u',')
        text.replace(u',', u'.');
    static const QRegularExpression number(QStringLiteral(R"(^[+-]?(\d+(\.\d*)?|\.\d+)$)"));
    if (!number.match(text).hasMatch())
        return std::nullopt;
    const std::optional<qint64> hundredths = datafiles::amountHundredths(text.toDouble());
    if (!hundredths)
        return std::nullopt;
    return datafiles::amountTextOfHundredths(*hundredths);
}

QString priceIsNoNumber(const QString& typed)
{
    return QStringLiteral("priset \"%1\" är inte ett tal").arg(typed);
}

QString codeProblem(const QString& id)
{
    if (id.size() != 1)
        return QStringLiteral("koden ska vara ett tecken, som orderns kodrutor tar");
    if (id.front().isSpace())
        return QStringLiteral("koden kan inte vara ett blanksteg");
    return datafiles::recordTextProblem(id);
}

QString codeTaken(const QString& id)
{
    return QStringLiteral("koden %1 finns redan (stora och små bokstäver räknas lika)").arg(id);
}

} // namespace core
