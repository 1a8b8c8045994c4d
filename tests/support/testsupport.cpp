#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QWidget>

TestDataFolder::TestDataFolder()
{
    Q_ASSERT(m_dir.isValid());
    QDir root(m_dir.path());
    for (const char* folder : {"System/Customer", "System/Registret/Felmeddelande", "System/Order"})
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

bool showActive(QWidget& window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}
