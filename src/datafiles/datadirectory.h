#pragma once

#include "failure.h"

#include <QString>

#include <memory>
#include <optional>

namespace datafiles {

class Desk;

// The folder System beside the program and the fixed places of its files.
// Names on disk are UTF-8; the files' contents are Windows-1252.
//
// A file named after a text the operator typed or a list holds (a customer
// number, an order number, a catalogue id) must stay inside the data folder:
// a text holding "/" or "\", or one that is "." or "..", names no file.
class DataDirectory
{
public:
    // The folder as `desk` works on it; as this program's desk when none is
    // given.
    explicit DataDirectory(QString programFolder, std::shared_ptr<Desk> desk = {});

    Desk& desk() const;
    const std::shared_ptr<Desk>& deskPointer() const;

    QString programFolder() const { return m_programFolder; }
    QString systemFolder() const;
    QString customerFolder() const;
    QString registerFolder() const;
    QString orderFolder() const;
    QString errorCatalogueFolder() const;

    std::optional<QString> customerFile(const QString& customerNumber) const;
    QString orderNumberFile() const;
    std::optional<QString> basketFile(const QString& orderNumber) const;
    std::optional<QString> archiveCustomerFile(const QString& orderNumber) const;
    std::optional<QString> archiveOrderHeadFile(const QString& orderNumber) const;
    // The order's lines as it was last printed, kept apart from its basket,
    // which the order on the desk goes on adding to.
    std::optional<QString> archiveLinesFile(const QString& orderNumber) const;
    QString orderList() const;
    // The PDF copy of the printed order form kept beside its archive files.
    std::optional<QString> pdfCopyFile(const QString& orderNumber) const;
    // The PDF copy of the order's latest delivery note.
    std::optional<QString> deliveryNoteFile(const QString& orderNumber) const;
    // Where each printed order has got to: delivered, invoiced or voided.
    QString statusFile() const;

    QString paymentTermsRegister() const;
    QString deliveryMethodRegister() const;
    QString freightMethodRegister() const;
    QString productRegister() const;
    // The product register as it stood before the last import, kept for
    // "Ångra senaste import" under a name the picker never reads.
    QString productRegisterBeforeImport() const;
    // The customer files the last customer import replaced, and the list of
    // those it added, kept for "Ångra senaste import" beside the Customer folder.
    QString customersBeforeImport() const;
    // A customer import writes its files here first, inside the Customer
    // folder so that a rename puts each in place (Customer may be a link to
    // another disk), and its copies for undoing in a folder beside the last
    // import's; each goes once the import is in place or has failed.
    QString customersBeingImported() const;
    QString customersBeforeImportBeingWritten() const;
    // The customer number a file of the Customer folder belongs to; none for
    // a file that is no customer file.
    static std::optional<QString> customerNumberOfFile(const QString& fileName);

    // The logo the order form and the delivery note print: the one chosen in
    // "Företaget" where there is one, else Logga.gif.
    QString logoImage() const;
    QString chosenLogoImage() const;
    // The business's own details: name, address, numbers.
    QString companyFile() const;
    QString tableFrameImage() const;

    QString errorIndex() const;
    std::optional<QString> errorEntry(const QString& id) const;

    // The lock a desk holds while it changes a file the desks share, and the
    // file that lets one desk at a time take over a lock left by a desk that
    // is gone.
    QString lockFile() const;
    QString lockTakeoverFile() const;
    // The desks' own folder: each desk's presence, its registration journal
    // and the claims on order numbers.
    QString deskFolder() const;
    QString presenceFile(const QString& deskId) const;
    // Where the desk's registration writes what it is about to do before
    // doing it.
    QString registrationJournal() const;
    QString registrationJournalOf(const QString& deskId) const;
    // The one journal the program kept before several desks could share the
    // folder.
    QString singleDeskJournal() const;
    // The claim a desk makes on the order number it gives the order it fills in.
    std::optional<QString> claimFile(const QString& orderNumber) const;
    static QString presenceSuffix() { return QStringLiteral(".skrivbord"); }
    static QString journalSuffix() { return QStringLiteral(".journal"); }
    static QString claimSuffix() { return QStringLiteral(".claim"); }

    // Where the System folder really lies: System itself, or the folder a
    // System that is a link (to a share, say) points to. A restore works
    // beside it, so that every desk on the share sees what it did.
    QString realSystemFolder() const;
    // A restore unpacks a backup into a folder inside System, then moves what
    // System held into a folder of its own there and the unpacked files in
    // their place; its journal, in System too, tells a later start how far it
    // came. Everything happens inside System, which the operators' group may
    // write even where the program's folder belongs to root.
    QString restoreJournal() const;
    static QString restoreIncomingPrefix() { return QStringLiteral("System.återställs-"); }
    static QString restoreSetAsidePrefix() { return QStringLiteral("System.före-återställning-"); }

    static bool namesFileInside(const QString& text);

    // Whether the file or folder at the path lies inside System, links on the
    // way to it followed. A place the operator chooses to write to (an
    // export's file, a backup's folder) is refused there: a file could replace
    // one of the program's own, and would go into every later backup.
    bool holds(const QString& path) const;
    std::optional<Failure> refuseInside(const QString& operation, const QString& path) const;

    // A temporary file that a replacement of one of the program's files left
    // when the program stopped part-way: the file's name and six letters or
    // digits after a dot, as the system names them where it has no unnamed
    // temporary files.
    static bool isLeftoverTemporaryFile(const QString& fileName);

    // A path under System ("Skrivbord/a.skrivbord") that the program keeps for
    // itself while it runs, and that is no data: the lock, the desks' folder
    // with their presence, journals and claims, a restore's folders and
    // journal, and what a stopped replacement left. A backup never saves one
    // and a restore never puts one back.
    static bool isWorkingPath(const QString& pathUnderSystem);

private:
    QString inSystem(const QString& relativePath) const;
    std::optional<QString> named(const QString& folder, const QString& text, const QString& suffix) const;

    QString m_programFolder;
    std::shared_ptr<Desk> m_desk;
};

} // namespace datafiles
