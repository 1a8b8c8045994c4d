// The order list and a basket, cut short at any byte and then added to, as a
// power cut during an append, a copy cut short or a hand edit leaves them:
// every whole record before the cut reads back exactly, the record added
// follows them, and the cut bytes are kept beside the file.
//
// Input: the first byte chooses the file (even: a basket, odd: the list) and,
// with the size, where the file is cut; the rest, split at 0x1F, gives the
// texts of the records written before the cut (or, with the first byte's high
// bit, the rest is the file itself), and the last piece the text of the
// record added.
#include "datafiles/codepage.h"
#include "datafiles/datadirectory.h"
#include "datafiles/records.h"
#include "datafiles/textfile.h"
#include "fuzzcheck.h"
#include "order/archive.h"
#include "order/basket.h"
#include "order/registration.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

// Files on a memory file system where there is one: every append is synced.
QString scratchFolder()
{
    static const QTemporaryDir folder(QDir(QStringLiteral("/dev/shm")).exists()
                                          ? QStringLiteral("/dev/shm/fuzz-recordappend-XXXXXX")
                                          : QDir::tempPath() + QStringLiteral("/fuzz-recordappend-XXXXXX"));
    return folder.path();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const bool basket = data[0] % 2 == 0;
    const int fields = basket ? core::OrderLine::columnCount : core::orderListFields;
    QStringList texts;
    for (QByteArrayView piece : QByteArray(fuzzBytes(data + 1, size - 1).toByteArray()).split('\x1F'))
        texts.append(datafiles::decode1252(piece));
    const QString added = texts.takeLast();
    while (texts.size() % fields != 0)
        texts.append(QString());

    QByteArray file;
    for (qsizetype i = 0; i < texts.size(); i += fields)
        file += datafiles::quotedRecord(texts.mid(i, fields));
    // With the high bit of the first byte, the file is the input's bytes as
    // they stand: a hand-edited file, unquoted and empty fields and all.
    if (data[0] & 0x80)
        file = fuzzBytes(data + 1, size - 1).toByteArray();
    const qsizetype cut = qsizetype((size_t(data[0]) * 131 + size) % size_t(file.size() + 1));
    const QByteArray kept = file.left(cut);
    const datafiles::RecordTable before = datafiles::RecordTable::parse(kept, fields);

    const QString root = scratchFolder();
    QDir(root).removeRecursively();
    QDir().mkpath(root + QStringLiteral("/System/Order"));
    QDir().mkpath(root + QStringLiteral("/System/Registret"));
    const datafiles::DataDirectory folder(root);
    const QString path = basket ? *folder.basketFile(QStringLiteral("7")) : folder.orderList();
    writeFile(path, kept);

    core::Order order;
    order.setText(core::Order::OrderNumber, QStringLiteral("7"));
    order.setText(core::Order::CustomerLine1, added);
    core::OrderLine line;
    line.texts[0] = added;
    if (basket)
        FUZZ_CHECK(!core::appendToBasket(folder, QStringLiteral("7"), { line }).failure);
    else
        FUZZ_CHECK(!core::registerOrder(folder, order));

    // The whole records first, exactly; then the one added; nothing cut.
    const QByteArray after = readFile(path);
    const datafiles::RecordTable table = datafiles::RecordTable::parse(after, fields);
    FUZZ_CHECK(!table.endsInsideRecord());
    FUZZ_CHECK(table.recordCount() == before.recordCount() + 1);
    for (qsizetype r = 0; r < before.recordCount(); ++r) {
        for (int f = 0; f < fields; ++f)
            FUZZ_CHECK(table.fieldBytes(r, f) == before.fieldBytes(r, f));
    }
    const QString last = table.field(table.recordCount() - 1, basket ? 0 : 3);
    FUZZ_CHECK(last == datafiles::textForRecord(added));

    // Nothing is lost: the bytes kept and the bytes set aside are the file.
    const QString aside = datafiles::setAsideFile(path);
    if (before.endsInsideRecord()) {
        const QByteArray cutOff = readFile(aside);
        FUZZ_CHECK(cutOff.endsWith("\r\n"));
        const qsizetype whole = datafiles::wholeRecordsLength(kept, fields);
        FUZZ_CHECK(kept.left(whole) + cutOff.chopped(2) == kept);
        FUZZ_CHECK(after.startsWith(kept.left(whole)));
    } else {
        FUZZ_CHECK(!QFile::exists(aside));
        FUZZ_CHECK(after.startsWith(kept));
    }
    return 0;
}
