// A backup read and checked before a restore, without unpacking: any bytes as
// an archive are refused or read through without harm, and an archive that is
// accepted has no entry that could leave the folder it is unpacked in, and has
// the order-number file; one that unpacks to hundreds of times its size is
// refused before its files are read (the corpus holds such a bomb). The same bytes as an entry's name pass the name
// check only where they name a place inside System.
#include "datafiles/datadirectory.h"
#include "fuzzcheck.h"
#include "office/backupzip.h"

#include <QDir>
#include <QSet>

namespace {

// Where an entry of an accepted backup would be unpacked stays inside System.
void checkStaysInside(const QString& path)
{
    FUZZ_CHECK(!path.startsWith(u'/'));
    FUZZ_CHECK(!path.contains(u'\\'));
    FUZZ_CHECK(!path.split(u'/').contains(QStringLiteral("..")));
    const QString unpacked = QDir::cleanPath(QStringLiteral("/unpacked/System/") + path);
    FUZZ_CHECK(unpacked == QStringLiteral("/unpacked/System")
               || unpacked.startsWith(QStringLiteral("/unpacked/System/")));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes = fuzzBytes(data, size);
    const office::BackupContents contents = office::readBackupBytes(bytes);
    // Nothing is read from or written to a file.
    FUZZ_CHECK(!contents.failure);
    if (!contents.refusal) {
        bool orderNumberFile = false;
        QSet<QString> folded;
        for (const office::BackupEntry& entry : contents.entries) {
            checkStaysInside(entry.path);
            // Nothing of the program's working files is put back, and no two
            // names a disk that ignores letter case would take for one.
            FUZZ_CHECK(!datafiles::DataDirectory::isWorkingPath(entry.path));
            FUZZ_CHECK(!folded.contains(entry.path.toCaseFolded()));
            folded.insert(entry.path.toCaseFolded());
            FUZZ_CHECK(entry.folder || entry.sha256.size() == 32);
            orderNumberFile = orderNumberFile || (!entry.folder && entry.path == u"Registret/OrderNr.dbf");
        }
        FUZZ_CHECK(orderNumberFile);
    }

    if (const std::optional<QString> path = office::pathUnderSystem(QString::fromUtf8(bytes))) {
        checkStaysInside(*path);
        FUZZ_CHECK(office::pathUnderSystem(office::entryName(*path, false)) == path);
    }
    return 0;
}
