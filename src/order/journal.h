#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// The registration's journal: everything a registration will write, put
// durably into one file before the first of its files is touched, so that a
// registration stopped part-way can be completed (registration.h).
namespace core {

// What one registration writes, worked out before the first file is touched.
struct RegistrationPlan
{
    QString orderNumber;
    QByteArray orderNumberFile; // the whole new order-number file
    // A printed order's archive and its line in the order list. A number
    // recorded by hand has none of them, and these stay empty.
    QByteArray archiveCustomer; // <nr>_data1.dbf
    QByteArray archiveOrderHead; // <nr>_data2.dbf
    // <nr>_data3.dbf, the lines as printed; none in a journal written before
    // the lines were archived apart from the basket.
    std::optional<QByteArray> archiveLines;
    // The order list's length just before the append, and what is appended
    // there: the order's line, after a CR LF where the list's last line had
    // lost its end. Completing the step cuts the list back to that length and
    // appends again, which also mends a line cut half-way.
    qint64 listLengthBefore = 0;
    QByteArray listAppend;

    bool recordsNumberOnly() const { return listAppend.isEmpty(); }
    bool operator==(const RegistrationPlan&) const = default;
};

// The journal's bytes: the plan and a SHA-256 checksum over it.
QByteArray encodeJournal(const RegistrationPlan& plan);
// The plan of a journal; none when the journal is cut or damaged, which means
// it was being written when the program stopped and no step had begun.
std::optional<RegistrationPlan> decodeJournal(QByteArrayView bytes);

} // namespace core
