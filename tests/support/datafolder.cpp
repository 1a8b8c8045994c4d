#include "datafolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

TestDataFolder::TestDataFolder()
{
    Q_ASSERT(m_dir.isValid());
    QDir root(m_dir.path());
    for (const char* folder : { "System/Customer", "System/Registret/Felmeddelande", "System/Order" })
        root.mkpath(QLatin1String(folder));
}

datafiles::DataDirectory TestDataFolder::data() const
{
    return datafiles::DataDirectory(m_dir.path());
}

QString TestDataFolder::programFolder() const
{
    return m_dir.path();
}

QString TestDataFolder::path(const QString& underSystem) const
{
    return m_dir.path() + QStringLiteral("/System/") + underSystem;
}

void TestDataFolder::write(const QString& underSystem, const QByteArray& bytes) const
{
    const QString target = path(underSystem);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile file(target);
    const bool opened = file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    Q_ASSERT(opened);
    file.write(bytes);
}

QByteArray TestDataFolder::read(const QString& underSystem) const
{
    QFile file(path(underSystem));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool TestDataFolder::exists(const QString& underSystem) const
{
    return QFileInfo::exists(path(underSystem));
}

void TestDataFolder::remove(const QString& underSystem) const
{
    const QFileInfo info(path(underSystem));
    if (info.isDir())
        QDir(info.filePath()).removeRecursively();
    else
        QFile::remove(info.filePath());
}

void TestDataFolder::copySample(const QString& underSystem) const
{
    if (underSystem.isEmpty()) {
        remove(QString());
        copySampleData(path(QString()));
        return;
    }
    QFile file(QStringLiteral(SAMPLE_DATA "/") + underSystem);
    const bool opened = file.open(QIODevice::ReadOnly);
    Q_ASSERT(opened);
    write(underSystem, file.readAll());
}

void copySampleData(const QString& systemFolder)
{
    const QString from = QStringLiteral(SAMPLE_DATA);
    QDir().mkpath(systemFolder);
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = systemFolder + source.mid(from.size());
        if (it.fileInfo().isDir())
            QDir().mkpath(target);
        else
            QFile::copy(source, target);
    }
}

void writeFileAt(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
    Q_ASSERT(written);
}

QMap<QString, QByteArray> treeOf(const QString& folder)
{
    QMap<QString, QByteArray> tree;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        QFile file(info.filePath());
        tree.insert(QDir(folder).relativeFilePath(info.filePath()),
                    info.isDir() ? QByteArray("<mapp>") : (file.open(QIODevice::ReadOnly) ? file.readAll() : "?"));
    }
    return tree;
}

QStringList orderLine(int i)
{
    return { QStringLiteral("TS35-%1").arg(25 + i),
             QStringLiteral("Träskruv förzinkad 3.5x%1 200 st").arg(25 + i),
             QStringLiteral("förp"),
             QStringLiteral("99.50"),
             QStringLiteral("2"),
             QStringLiteral("0"),
             QStringLiteral("199.00") };
}

QList<QStringList> numberedLines(const QList<int>& numbers)
{
    QList<QStringList> lines;
    for (int n : numbers) {
        const QString nr = QString::number(n);
        lines.append({ "A-" + nr, "Vara " + nr, "st", "1.00", nr, "", nr + ".00" });
    }
    return lines;
}

QList<core::OrderLine> orderLinesOf(const QList<QStringList>& rows)
{
    QList<core::OrderLine> lines;
    for (const QStringList& row : rows)
        lines.append(core::OrderLine::fromList(row));
    return lines;
}

core::Order sampleOrder(int lines)
{
    using core::Order;
    Order order;
    order.setText(Order::OrderNumber, QStringLiteral("124"));
    order.setText(Order::OrderDate, QStringLiteral("060315"));
    order.setText(Order::DeliveryDate, QStringLiteral("060320"));
    order.setText(Order::CustomerNumber, QStringLiteral("1001"));
    order.setText(Order::CustomerLine1, QStringLiteral("Bergström Bygg AB"));
    order.setText(Order::CustomerLine2, QStringLiteral("Industrivägen 14"));
    order.setText(Order::CustomerLine3, QStringLiteral("433 38  Partille"));
    order.setText(Order::Info, QStringLiteral("Leverans till bakre lastkajen"));
    order.setText(Order::PaymentTerms, QStringLiteral("1"));
    order.setText(Order::DeliveryMethod, QStringLiteral("1"));
    order.setText(Order::FreightMethod, QStringLiteral("0"));
    order.setText(Order::RegistrationNumber, QStringLiteral("ABC123"));
    order.setText(Order::VatCode, QStringLiteral("0"));
    for (int i = 0; i < lines; ++i)
        order.appendLine(core::OrderLine::fromList(orderLine(i)));
    return order;
}

QMap<QString, QByteArray> contentsOf(const QString& path)
{
    const QString folder = QDir::cleanPath(path);
    QMap<QString, QByteArray> found;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        found.insert(path.sliced(folder.size() + 1),
                     it.fileInfo().isDir() ? QByteArray("<mapp>") : (file.open(QIODevice::ReadOnly), file.readAll()));
    }
    return found;
}
