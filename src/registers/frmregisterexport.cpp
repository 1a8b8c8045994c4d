#include "frmregisterexport.h"

#include "order/exporting.h"
#include "widgets/controls.h"
#include "widgets/filedialog.h"
#include "widgets/look.h"
#include "widgets/messagebox.h"

#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

FrmRegisterExport* FrmRegisterExport::open(const datafiles::DataDirectory& data)
{
    return new FrmRegisterExport(data);
}

FrmRegisterExport::FrmRegisterExport(datafiles::DataDirectory data)
    : QWidget(nullptr)
    , m_data(std::move(data))
{
    setObjectName(QStringLiteral("frmExportera"));
    setWindowTitle(QStringLiteral("Exportera"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setFont(look::sansSerif(8.25, false));

    auto* what = new QGroupBox(QStringLiteral("Vad ska exporteras?"), this);
    auto* choices = new QVBoxLayout(what);
    m_optProdukter = new QRadioButton(QStringLiteral("&Produktregistret"), what);
    m_optProdukter->setObjectName(QStringLiteral("optProdukter"));
    m_optProdukter->setChecked(true);
    m_optKunder = new QRadioButton(QStringLiteral("&Kunderna"), what);
    m_optKunder->setObjectName(QStringLiteral("optKunder"));
    m_optOrderlista = new QRadioButton(QStringLiteral("&Orderlistan (orderdatum, ordernr, kundnr, namn)"), what);
    m_optOrderlista->setObjectName(QStringLiteral("optOrderlista"));
    for (QRadioButton* option : { m_optProdukter, m_optKunder, m_optOrderlista })
        choices->addWidget(option);

    m_cmdExportera = new QPushButton(QStringLiteral("&Exportera…"), this);
    m_cmdExportera->setObjectName(QStringLiteral("cmdExportera"));
    m_cmdExportera->setDefault(true);
    m_cmdStang = new QPushButton(QStringLiteral("&Stäng"), this);
    m_cmdStang->setObjectName(QStringLiteral("cmdStang"));
    connect(m_cmdExportera, &QPushButton::clicked, this, &FrmRegisterExport::cmdExportera_Click);
    connect(m_cmdStang, &QPushButton::clicked, this, &FrmRegisterExport::cmdStang_Click);
    closeOnEscape(this, &FrmRegisterExport::cmdStang_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cmdExportera);
    buttons->addWidget(m_cmdStang);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(what);
    layout->addWidget(new QLabel(QStringLiteral("Filen får UTF-8, semikolon och decimalkomma, som ett svenskt "
                                                "kalkylprogram öppnar den."),
                                 this));
    layout->addLayout(buttons);
    m_optProdukter->setFocus();
    setFixedSize(sizeHint());
    look::placeOnScreen(*this, size());
}

void FrmRegisterExport::cmdExportera_Click()
{
    core::ExportKind kind = core::ExportKind::Products;
    QString name = QStringLiteral("Produkter.csv");
    if (m_optKunder->isChecked()) {
        kind = core::ExportKind::Customers;
        name = QStringLiteral("Kunder.csv");
    } else if (m_optOrderlista->isChecked()) {
        kind = core::ExportKind::OrderList;
        name = QStringLiteral("Orderlista.csv");
    }
    const QString path = FileDialog::saveFile(this, QStringLiteral("Exportera"), QDir::home().filePath(name),
                                              QStringLiteral("CSV-filer (*.csv)"));
    if (path.isEmpty())
        return;
    if (const std::optional<datafiles::Failure> failure = core::exportTo(m_data, kind, path)) {
        MessageBox::reportFailure(this, *failure);
        return;
    }
    MessageBox::show(this, MessageBox::Icon::Information, windowTitle(),
                     QStringLiteral("Exporterat till %1.").arg(QDir::toNativeSeparators(path)));
}

void FrmRegisterExport::cmdStang_Click()
{
    close();
}
