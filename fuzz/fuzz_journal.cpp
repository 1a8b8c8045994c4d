// The registration's journal: any bytes decode to a plan or to none without
// harm, and any plan written reads back as itself, while the journal cut short
// or with a byte changed reads as none.
//
// Input: the bytes as a journal; then the same bytes split at 0x1F into the
// plan's texts, the first byte of the input choosing where a cut or a changed
// byte goes.
#include "fuzzcheck.h"
#include "order/journal.h"

#include <QList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes = fuzzBytes(data, size);
    if (const std::optional<core::RegistrationPlan> plan = core::decodeJournal(bytes)) {
        // What decodes is what it encodes to.
        FUZZ_CHECK(core::decodeJournal(core::encodeJournal(*plan)) == plan);
        FUZZ_CHECK(plan->listLengthBefore >= 0);
    }

    const QList<QByteArray> parts = bytes.toByteArray().split('\x1F');
    core::RegistrationPlan plan;
    plan.orderNumber = QString::fromUtf8(parts.value(0));
    plan.orderNumberFile = parts.value(1);
    plan.archiveCustomer = parts.value(2);
    plan.archiveOrderHead = parts.value(3);
    plan.listLengthBefore = parts.value(4).size() * 1000003LL;
    plan.listAppend = parts.value(5);
    // A plan's order number is the text it was made from, as UTF-8 keeps it.
    plan.orderNumber = QString::fromUtf8(plan.orderNumber.toUtf8());
    const QByteArray journal = core::encodeJournal(plan);
    FUZZ_CHECK(core::decodeJournal(journal) == std::optional(plan));

    const size_t choice = size == 0 ? 0 : size_t(data[0]) * 7919 + size;
    const qsizetype cut = qsizetype(choice % size_t(journal.size()));
    FUZZ_CHECK(!core::decodeJournal(QByteArrayView(journal).first(cut)));
    QByteArray damaged = journal;
    damaged[cut] = char(damaged.at(cut) ^ (1 << (choice % 8)));
    FUZZ_CHECK(!core::decodeJournal(damaged));
    return 0;
}
