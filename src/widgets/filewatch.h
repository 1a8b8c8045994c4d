#pragma once

#include "datafiles/textfile.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>

class QWidget;

// Tells a window that a file it shows has changed on disk since the window
// read it: another desk saved it. The files (or folders, whose time changes
// when a file in them comes or goes) are looked at every 2 s while the window
// is open, and at once when it is shown or brought to the front.
class FileWatch : public QObject
{
    Q_OBJECT

public:
    FileWatch(QWidget* window, QStringList files, int everyMs = 2000);

    // The files as they stand now are the ones the window shows: it has just
    // read them, or written them itself.
    void markRead();
    // Looks now; changed() follows when a file has changed.
    void look();

signals:
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<datafiles::FileStamp> stamps() const;

    QStringList m_files;
    QList<datafiles::FileStamp> m_read;
    QTimer m_timer;
    bool m_looking = false;
};
