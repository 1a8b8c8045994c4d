#include "filewatch.h"

#include <QEvent>
#include <QWidget>

FileWatch::FileWatch(QWidget* window, QStringList files, int everyMs)
    : QObject(window)
    , m_files(std::move(files))
    , m_read(stamps())
{
    m_timer.setInterval(everyMs);
    connect(&m_timer, &QTimer::timeout, this, &FileWatch::look);
    m_timer.start();
    window->installEventFilter(this);
}

QList<datafiles::FileStamp> FileWatch::stamps() const
{
    QList<datafiles::FileStamp> stamps;
    for (const QString& file : m_files)
        stamps.append(datafiles::fileStamp(file));
    return stamps;
}

void FileWatch::markRead()
{
    m_read = stamps();
}

void FileWatch::look()
{
    // What a change leads to may show a box, in which the timer goes on.
    if (m_looking || stamps() == m_read)
        return;
    m_looking = true;
    emit changed();
    m_looking = false;
}

bool FileWatch::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show)
        look();
    return QObject::eventFilter(watched, event);
}
