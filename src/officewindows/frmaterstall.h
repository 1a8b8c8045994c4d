#pragma once

#include "datafiles/datadirectory.h"
#include "office/backupzip.h"
#include "order/openorder.h"

#include <QWidget>

class QPushButton;

// "Återställ från säkerhetskopia": what the chosen backup holds, shown before
// anything changes, and "Återställ", which puts it in place of System. The
// System folder it replaces is kept beside it.
class FrmAterstall : public QWidget
{
    Q_OBJECT

public:
    // Reads the backup through and checks it; nullptr, after telling the
    // operator why (in a box over `parent`), when it cannot be restored. The
    // folder set aside is named by the desk's clock.
    static FrmAterstall* open(const datafiles::DataDirectory& data, const QString& zipFile,
                              core::OpenOrder::Clock clock, QWidget* parent = nullptr);

signals:
    // The backup is System now: the desk is to start again on it.
    void restored();

public slots:
    void cmdAterstall_Click();
    void cmdAvbryt_Click();

private:
    FrmAterstall(datafiles::DataDirectory data, QString zipFile, core::OpenOrder::Clock clock);
    void setupControls(const office::BackupContents& contents);

    datafiles::DataDirectory m_data;
    QString m_zipFile;
    core::OpenOrder::Clock m_clock;
    QPushButton* m_cmdAterstall = nullptr;
    QPushButton* m_cmdAvbryt = nullptr;
};
