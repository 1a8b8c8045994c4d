#include "datadirectory.h"

#include "desks.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace datafiles {

namespace {

// The program's own files and folders directly in System, which are no data.
const QString lockName = QStringLiteral("orderregistrering.lock");
const QString lockTakeoverName = QStringLiteral("orderregistrering.lock.övertas");
const QString deskFolderName = QStringLiteral("Skrivbord");
const QString singleDeskJournalName = QStringLiteral("registrering.journal");
const QString restoreJournalName = QStringLiteral("återställning.journal");

} // namespace

DataDirectory::DataDirectory(QString programFolder, std::shared_ptr<Desk> desk)
    : m_programFolder(QDir::cleanPath(std::move(programFolder)))
    , m_desk(std::move(desk))
{
}

Desk& DataDirectory::desk() const
{
    return *deskPointer();
}

const std::shared_ptr<Desk>& DataDirectory::deskPointer() const
{
    return m_desk ? m_desk : Desk::ofProcess();
}

QString DataDirectory::inSystem(const QString& relativePath) const
{
    return m_programFolder + QStringLiteral("/System/") + relativePath;
}

bool DataDirectory::namesFileInside(const QString& text)
{
    if (text == QStringLiteral(".") || text == QStringLiteral(".."))
        return false;
    return !text.contains(QLatin1Char('/')) && !text.contains(QLatin1Char('\\')) && !text.contains(QChar(0));
}

bool DataDirectory::holds(const QString& path) const
{
    const QString system = QFileInfo(systemFolder()).canonicalFilePath();
    const auto inside = [&system](const QString& canonical) {
        return !system.isEmpty() && !canonical.isEmpty()
            && (canonical == system || canonical.startsWith(system + QLatin1Char('/')));
    };
    // A file not yet there is where its folder is.
    const QFileInfo place(path);
    return inside(place.canonicalFilePath()) || inside(QFileInfo(place.absolutePath()).canonicalFilePath());
}

std::optional<Failure> DataDirectory::refuseInside(const QString& operation, const QString& path) const
{
    if (!holds(path))
        return std::nullopt;
    if (QFileInfo(path).isDir())
        return refusedByRule(operation, path,
                             QStringLiteral("mappen ligger i datamappen System; välj en mapp utanför den, helst på en "
                                            "annan disk"));
    return refusedByRule(operation, path,
                         QStringLiteral("filen skulle hamna i datamappen System, bland programmets egna filer; välj "
                                        "en plats utanför den"));
}

std::optional<QString> DataDirectory::named(const QString& folder, const QString& text, const QString& suffix) const
{
    if (!namesFileInside(text))
        return std::nullopt;
    return folder + QLatin1Char('/') + text + suffix;
}

QString DataDirectory::systemFolder() const
{
    return m_programFolder + QStringLiteral("/System");
}

QString DataDirectory::customerFolder() const
{
    return inSystem(QStringLiteral("Customer"));
}

QString DataDirectory::registerFolder() const
{
    return inSystem(QStringLiteral("Registret"));
}

QString DataDirectory::orderFolder() const
{
    return inSystem(QStringLiteral("Order"));
}

QString DataDirectory::errorCatalogueFolder() const
{
    return inSystem(QStringLiteral("Registret/Felmeddelande"));
}

std::optional<QString> DataDirectory::customerFile(const QString& customerNumber) const
{
    return named(customerFolder(), customerNumber, QStringLiteral(".GetInfo.dbf"));
}

QString DataDirectory::orderNumberFile() const
{
    return inSystem(QStringLiteral("Registret/OrderNr.dbf"));
}

std::optional<QString> DataDirectory::basketFile(const QString& orderNumber) const
{
    return named(orderFolder(), orderNumber, QStringLiteral(".basket.dbf"));
}

std::optional<QString> DataDirectory::archiveCustomerFile(const QString& orderNumber) const
{
    return named(orderFolder(), orderNumber, QStringLiteral("_data1.dbf"));
}

std::optional<QString> DataDirectory::archiveOrderHeadFile(const QString& orderNumber) const
{
    return named(orderFolder(), orderNumber, QStringLiteral("_data2.dbf"));
}

std::optional<QString> DataDirectory::archiveLinesFile(const QString& orderNumber) const
{
    return named(orderFolder(), orderNumber, QStringLiteral("_data3.dbf"));
}

QString DataDirectory::orderList() const
{
    return inSystem(QStringLiteral("Order/lista.dbf"));
}

std::optional<QString> DataDirectory::pdfCopyFile(const QString& orderNumber) const
{
    return named(orderFolder(), orderNumber, QStringLiteral(".pdf"));
}

std::optional<QString> DataDirectory::deliveryNoteFile(const QString& orderNumber) const
{
    return named(orderFolder(), orderNumber, QStringLiteral("_följesedel.pdf"));
}

QString DataDirectory::statusFile() const
{
    return inSystem(QStringLiteral("Order/status.dbf"));
}

bool DataDirectory::isLeftoverTemporaryFile(const QString& fileName)
{
    // Every file the program replaces is a .dbf, a .pdf, the journal or a
    // register kept before an import.
    static const QRegularExpression temporary(QStringLiteral(R"(^.+\.(dbf|pdf|journal|före-import)\.[A-Za-z0-9]{6}$)"));
    return temporary.match(fileName).hasMatch();
}

QString DataDirectory::paymentTermsRegister() const
{
    return inSystem(QStringLiteral("Registret/Betalningsvillkor.dbf"));
}

QString DataDirectory::deliveryMethodRegister() const
{
    return inSystem(QStringLiteral("Registret/Leveranssätt.dbf"));
}

QString DataDirectory::freightMethodRegister() const
{
    return inSystem(QStringLiteral("Registret/Fraktsätt.dbf"));
}

QString DataDirectory::productRegister() const
{
    return inSystem(QStringLiteral("Registret/Produkter.dbf"));
}

QString DataDirectory::productRegisterBeforeImport() const
{
    return inSystem(QStringLiteral("Registret/Produkter.dbf.före-import"));
}

QString DataDirectory::customersBeforeImport() const
{
    return inSystem(QStringLiteral("Customer.före-import"));
}

QString DataDirectory::customersBeingImported() const
{
    return inSystem(QStringLiteral("Customer/.importeras"));
}

QString DataDirectory::customersBeforeImportBeingWritten() const
{
    return inSystem(QStringLiteral("Customer.före-import.ny"));
}

std::optional<QString> DataDirectory::customerNumberOfFile(const QString& fileName)
{
    static const QString suffix = QStringLiteral(".GetInfo.dbf");
    if (!fileName.endsWith(suffix) || fileName.size() == suffix.size())
        return std::nullopt;
    return fileName.chopped(suffix.size());
}

QString DataDirectory::logoImage() const
{
    const QString chosen = chosenLogoImage();
    return QFileInfo(chosen).isFile() ? chosen : inSystem(QStringLiteral("Logga.gif"));
}

QString DataDirectory::chosenLogoImage() const
{
    return inSystem(QStringLiteral("Logga.png"));
}

QString DataDirectory::companyFile() const
{
    return inSystem(QStringLiteral("Registret/Företaget.dbf"));
}

QString DataDirectory::tableFrameImage() const
{
    return inSystem(QStringLiteral("form_listview.gif"));
}

QString DataDirectory::errorIndex() const
{
    return inSystem(QStringLiteral("Registret/Felmeddelande/ErrorID.txt"));
}

std::optional<QString> DataDirectory::errorEntry(const QString& id) const
{
    return named(errorCatalogueFolder(), id, QStringLiteral(".txt"));
}

QString DataDirectory::lockFile() const
{
    return inSystem(lockName);
}

QString DataDirectory::lockTakeoverFile() const
{
    return inSystem(lockTakeoverName);
}

QString DataDirectory::deskFolder() const
{
    return inSystem(deskFolderName);
}

QString DataDirectory::presenceFile(const QString& deskId) const
{
    return deskFolder() + QLatin1Char('/') + deskId + presenceSuffix();
}

QString DataDirectory::registrationJournal() const
{
    return registrationJournalOf(desk().id());
}

QString DataDirectory::registrationJournalOf(const QString& deskId) const
{
    return deskFolder() + QLatin1Char('/') + deskId + journalSuffix();
}

QString DataDirectory::singleDeskJournal() const
{
    return inSystem(singleDeskJournalName);
}

std::optional<QString> DataDirectory::claimFile(const QString& orderNumber) const
{
    return named(deskFolder(), orderNumber, claimSuffix());
}

QString DataDirectory::realSystemFolder() const
{
    const QFileInfo system(systemFolder());
    return system.isSymLink() ? QDir::cleanPath(system.absoluteDir().absoluteFilePath(system.symLinkTarget()))
                              : systemFolder();
}

QString DataDirectory::restoreJournal() const
{
    return realSystemFolder() + QLatin1Char('/') + restoreJournalName;
}

bool DataDirectory::isWorkingPath(const QString& pathUnderSystem)
{
    const qsizetype slash = pathUnderSystem.indexOf(QLatin1Char('/'));
    const QString top = slash < 0 ? pathUnderSystem : pathUnderSystem.first(slash);
    const QString name = pathUnderSystem.sliced(pathUnderSystem.lastIndexOf(QLatin1Char('/')) + 1);
    static const QStringList topNames { lockName, lockTakeoverName, deskFolderName, restoreJournalName,
                                        singleDeskJournalName };
    return topNames.contains(top) || top.startsWith(restoreIncomingPrefix()) || top.startsWith(restoreSetAsidePrefix())
        || isLeftoverTemporaryFile(name);
}

} // namespace datafiles
