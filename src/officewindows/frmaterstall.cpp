#include "frmaterstall.h"

#include "workprogress.h"

#include "office/restore.h"
#include "widgets/controls.h"
#include "widgets/look.h"
#include "widgets/messagebox.h"

#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString title = QStringLiteral("Återställ från säkerhetskopia");

QLabel* valueLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

FrmAterstall::FrmAterstall(datafiles::DataDirectory data, QString zipFile, core::OpenOrder::Clock clock)
    : QWidget(nullptr)
    , m_data(std::move(data))
    , m_zipFile(std::move(zipFile))
    , m_clock(std::move(clock))
{
    setObjectName(QStringLiteral("frmAterstall"));
    setWindowTitle(title);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setFont(look::sansSerif(8.25, false));
}

FrmAterstall* FrmAterstall::open(const datafiles::DataDirectory& data, const QString& zipFile,
                                 core::OpenOrder::Clock clock, QWidget* parent)
{
    office::BackupContents contents;
    {
        WorkProgress progress(parent, QStringLiteral("Läser säkerhetskopian…"));
        contents = office::previewBackup(zipFile, progress.progress());
    }
    if (contents.cancelled)
        return nullptr;
    if (contents.failure) {
        MessageBox::reportFailure(parent, contents.failure->during(QStringLiteral("läsa säkerhetskopian")));
        return nullptr;
    }
    if (contents.refusal) {
        MessageBox::show(parent, MessageBox::Icon::Critical, title,
                         QStringLiteral("Säkerhetskopian kan inte återställas.\r\n\r\nFil: %1\r\nOrsak: %2\r\n\r\n"
                                        "Ingenting har ändrats.")
                             .arg(QDir::toNativeSeparators(zipFile), *contents.refusal));
        return nullptr;
    }
    auto* window = new FrmAterstall(data, zipFile, std::move(clock));
    window->setupControls(contents);
    window->setFixedSize(window->sizeHint());
    look::placeOnScreen(*window, window->size());
    return window;
}

void FrmAterstall::setupControls(const office::BackupContents& contents)
{
    const QLocale swedish(QLocale::Swedish, QLocale::Sweden);
    auto* layout = new QVBoxLayout(this);
    auto* facts = new QFormLayout;
    facts->addRow(QStringLiteral("Säkerhetskopia:"), valueLabel(this, "lblFil", QDir::toNativeSeparators(m_zipFile)));
    facts->addRow(QStringLiteral("Gjord:"),
                  valueLabel(this, "lblGjord", contents.made.toString(QStringLiteral("yyyy-MM-dd HH:mm"))));
    facts->addRow(QStringLiteral("Order:"), valueLabel(this, "lblOrder", swedish.toString(contents.orders)));
    facts->addRow(QStringLiteral("Senaste ordernummer:"),
                  valueLabel(this, "lblSenasteOrdernr", contents.lastOrderNumber));
    facts->addRow(QStringLiteral("Kunder:"), valueLabel(this, "lblKunder", swedish.toString(contents.customers)));
    facts->addRow(QStringLiteral("Produkter:"), valueLabel(this, "lblProdukter", swedish.toString(contents.products)));
    facts->addRow(
        QStringLiteral("Filer:"),
        valueLabel(this, "lblFiler",
                   QStringLiteral("%1 filer, %2")
                       .arg(swedish.toString(contents.files),
                            swedish.formattedDataSize(contents.bytes, 1, QLocale::DataSizeTraditionalFormat))));
    layout->addLayout(facts);

    auto* note = new QLabel(QStringLiteral("Det som nu finns i mappen System flyttas undan till mappen "
                                           "System.före-återställning-<datum och tid> i System och finns kvar. "
                                           "Ordern på skärmen stängs, och programmet börjar om som efter en ny start."),
                            this);
    note->setWordWrap(true);
    note->setMinimumWidth(420);
    layout->addWidget(note);

    auto* buttons = new QHBoxLayout;
    m_cmdAterstall = new QPushButton(QStringLiteral("Å&terställ"), this);
    m_cmdAterstall->setObjectName(QStringLiteral("cmdAterstall"));
    m_cmdAvbryt = new QPushButton(QStringLiteral("&Avbryt"), this);
    m_cmdAvbryt->setObjectName(QStringLiteral("cmdAvbryt"));
    buttons->addStretch();
    buttons->addWidget(m_cmdAterstall);
    buttons->addWidget(m_cmdAvbryt);
    layout->addLayout(buttons);

    connect(m_cmdAterstall, &QPushButton::clicked, this, &FrmAterstall::cmdAterstall_Click);
    connect(m_cmdAvbryt, &QPushButton::clicked, this, &FrmAterstall::cmdAvbryt_Click);
    closeOnEscape(this, &FrmAterstall::cmdAvbryt_Click);
    m_cmdAvbryt->setFocus();
}

void FrmAterstall::cmdAterstall_Click()
{
    office::RestoreOutcome restore;
    {
        WorkProgress progress(this, QStringLiteral("Återställer säkerhetskopian…"));
        restore = office::restoreBackup(m_data, m_zipFile, m_clock(), progress.progress());
    }
    if (!restore.restored) {
        if (restore.refusal)
            MessageBox::show(this, MessageBox::Icon::Critical, title,
                             QStringLiteral("Säkerhetskopian kan inte återställas.\r\n\r\nOrsak: %1\r\n\r\n"
                                            "Ingenting har ändrats.")
                                 .arg(*restore.refusal));
        else if (restore.failure)
            MessageBox::reportFailure(this, *restore.failure);
        else if (restore.cancelled)
            MessageBox::show(this, MessageBox::Icon::Information, title,
                             QStringLiteral("Återställningen avbröts. Ingenting har ändrats."));
        return;
    }
    QString text = QStringLiteral("Säkerhetskopian är återställd.");
    if (!restore.setAside.isEmpty())
        text += QStringLiteral("\r\n\r\nDet som fanns i datamappen förut finns kvar i\r\n%1")
                    .arg(QDir::toNativeSeparators(restore.setAside));
    MessageBox::show(this, MessageBox::Icon::Information, title, text);
    if (restore.failure)
        MessageBox::reportFailure(this, *restore.failure);
    close();
    emit restored();
}

void FrmAterstall::cmdAvbryt_Click()
{
    close();
}
