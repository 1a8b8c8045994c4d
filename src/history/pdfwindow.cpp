#include "pdfwindow.h"

#include "datafiles/textfile.h"
#include "widgets/accessible.h"
#include "widgets/controls.h"
#include "widgets/look.h"

#include <QBuffer>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPdfDocument>
#include <QPdfPageNavigator>
#include <QPdfView>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr qreal zoomStep = 1.25;
constexpr qreal smallestZoom = 0.25;
constexpr qreal largestZoom = 4.0;

QString loadError(QPdfDocument::Error error)
{
    switch (error) {
    case QPdfDocument::Error::FileNotFound:
        return QStringLiteral("filen finns inte");
    case QPdfDocument::Error::InvalidFileFormat:
    case QPdfDocument::Error::UnsupportedSecurityScheme:
        return QStringLiteral("filen är ingen läsbar PDF");
    case QPdfDocument::Error::IncorrectPassword:
        return QStringLiteral("filen är skyddad med lösenord");
    case QPdfDocument::Error::DataNotYetAvailable:
    case QPdfDocument::Error::Unknown:
    case QPdfDocument::Error::None:
        break;
    }
    return QStringLiteral("filen kunde inte läsas");
}

} // namespace

PdfWindow* PdfWindow::open(Kind kind)
{
    if (kind == Kind::KeptCopy) {
        auto* window = new PdfWindow(false);
        window->setObjectName(QStringLiteral("frmVisaOrder"));
        return window;
    }
    auto* window = new PdfWindow(true);
    window->setObjectName(QStringLiteral("frmForhandsgranskning"));
    window->setWindowTitle(QStringLiteral("Förhandsgranskning"));
    return window;
}

PdfWindow::PdfWindow(bool withPrintButton)
    : QWidget(nullptr)
{
    setWindowFlags(Qt::Window);
    m_document = new QPdfDocument(this);
    setupControls(withPrintButton);
    look::placeOnScreen(*this, QSize(760, 900));
}

void PdfWindow::setupControls(bool withPrintButton)
{
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    layout->addLayout(bar);

    const auto addButton = [this, bar](const char* name, const QString& caption, const QString& tip) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(QLatin1String(name));
        button->setToolTip(tip);
        button->setFocusPolicy(Qt::TabFocus);
        bar->addWidget(button);
        return button;
    };
    if (withPrintButton) {
        QPushButton* print = addButton("cmdSkrivUt", QStringLiteral("Skriv &ut (F9)"),
                                       QStringLiteral("Skriver ut ordern och registrerar den, som F9 i orderfönstret"));
        connect(print, &QPushButton::clicked, this, &PdfWindow::printRequested);
        auto* f9 = new QShortcut(QKeySequence(Qt::Key_F9), this);
        connect(f9, &QShortcut::activated, this, &PdfWindow::printRequested);
        bar->addSpacing(16);
    }
    m_cmdForegaende = addButton("cmdForegaende", QStringLiteral("< &Föregående sida"), QStringLiteral("Page Up"));
    m_lblSida = new QLabel(this);
    m_lblSida->setObjectName(QStringLiteral("lblSida"));
    m_lblSida->setAlignment(Qt::AlignCenter);
    m_lblSida->setMinimumWidth(90);
    bar->addWidget(m_lblSida);
    m_cmdNasta = addButton("cmdNasta", QStringLiteral("&Nästa sida >"), QStringLiteral("Page Down"));
    bar->addSpacing(16);
    QPushButton* zoomOut = addButton("cmdZoomaUt", QStringLiteral("Zooma u&t (-)"), QStringLiteral("Ctrl+-"));
    QPushButton* zoomIn = addButton("cmdZoomaIn", QStringLiteral("Zooma &in (+)"), QStringLiteral("Ctrl++"));
    QPushButton* whole = addButton("cmdHelaSidan", QStringLiteral("&Hela sidan"), QStringLiteral("Ctrl+0"));
    bar->addStretch();

    m_view = new QPdfView(this);
    m_view->setObjectName(QStringLiteral("pdfView"));
    m_view->setDocument(m_document);
    m_view->setPageMode(QPdfView::PageMode::SinglePage);
    m_view->setZoomMode(QPdfView::ZoomMode::FitInView);
    m_view->setFocusPolicy(Qt::StrongFocus);
    accessible::name(m_view, QStringLiteral("Sidan"),
                     QStringLiteral("Page Up och Page Down bläddrar, Ctrl+plus och Ctrl+minus zoomar"));
    layout->addWidget(m_view, 1);

    connect(m_cmdForegaende, &QPushButton::clicked, this, &PdfWindow::cmdForegaende_Click);
    connect(m_cmdNasta, &QPushButton::clicked, this, &PdfWindow::cmdNasta_Click);
    connect(zoomIn, &QPushButton::clicked, this, &PdfWindow::cmdZoomaIn_Click);
    connect(zoomOut, &QPushButton::clicked, this, &PdfWindow::cmdZoomaUt_Click);
    connect(whole, &QPushButton::clicked, this, &PdfWindow::cmdHelaSidan_Click);

    const auto addKey = [this](const QKeySequence& key, void (PdfWindow::*slot)()) {
        auto* shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, this, slot);
    };
    addKey(QKeySequence(Qt::Key_PageUp), &PdfWindow::cmdForegaende_Click);
    addKey(QKeySequence(Qt::Key_PageDown), &PdfWindow::cmdNasta_Click);
    // Ctrl++ and Ctrl+-, and whatever else the desktop binds to zooming.
    for (const QKeySequence& key : QKeySequence::keyBindings(QKeySequence::ZoomIn))
        addKey(key, &PdfWindow::cmdZoomaIn_Click);
    for (const QKeySequence& key : QKeySequence::keyBindings(QKeySequence::ZoomOut))
        addKey(key, &PdfWindow::cmdZoomaUt_Click);
    addKey(QKeySequence(Qt::CTRL | Qt::Key_0), &PdfWindow::cmdHelaSidan_Click);
    closeOnEscape(this, &QWidget::close);

    showPage(0);
}

std::optional<QString> PdfWindow::loaded()
{
    // A document in memory may still be loading when load() returns.
    for (QDeadlineTimer deadline(10000);
         m_document->status() == QPdfDocument::Status::Loading && !deadline.hasExpired();) {
        QEventLoop wait;
        connect(m_document, &QPdfDocument::statusChanged, &wait, &QEventLoop::quit);
        QTimer::singleShot(50, &wait, &QEventLoop::quit);
        wait.exec();
    }
    if (m_document->status() != QPdfDocument::Status::Ready)
        return loadError(m_document->error());
    showPage(0);
    return std::nullopt;
}

std::optional<datafiles::Failure> PdfWindow::showFile(const QString& file)
{
    // Read as every file of the data folder is: never through a link.
    const datafiles::ReadResult pdf = datafiles::readWholeFile(file);
    if (!pdf.ok()) {
        m_document->close();
        showPage(0);
        return pdf.missing ? datafiles::Failure { {}, file, loadError(QPdfDocument::Error::FileNotFound) }
                           : *pdf.failure;
    }
    std::optional<datafiles::Failure> failure = showBytes(pdf.bytes);
    if (failure)
        failure->file = file;
    return failure;
}

std::optional<datafiles::Failure> PdfWindow::showBytes(const QByteArray& pdf)
{
    m_document->close();
    delete m_buffer;
    // The document reads from the buffer, on a thread of its own, for as long
    // as it shows it: the buffer holds the bytes itself, and as a child made
    // after the document it is deleted after it.
    m_buffer = new QBuffer(this);
    m_buffer->setData(pdf);
    m_buffer->open(QIODevice::ReadOnly);
    m_document->load(m_buffer);
    if (const std::optional<QString> reason = loaded())
        return datafiles::Failure { {}, {}, *reason };
    return std::nullopt;
}

int PdfWindow::pageCount() const
{
    return m_document->status() == QPdfDocument::Status::Ready ? m_document->pageCount() : 0;
}

int PdfWindow::currentPage() const
{
    return m_page;
}

void PdfWindow::showPage(int page)
{
    const int pages = pageCount();
    m_page = pages > 0 ? qBound(0, page, pages - 1) : 0;
    if (pages > 0)
        m_view->pageNavigator()->jump(m_page, QPointF(), m_view->zoomFactor());
    m_lblSida->setText(pages > 0 ? QStringLiteral("Sida %1 av %2").arg(m_page + 1).arg(pages) : QString());
    m_cmdForegaende->setEnabled(m_page > 0);
    m_cmdNasta->setEnabled(m_page + 1 < pages);
}

void PdfWindow::cmdForegaende_Click()
{
    showPage(m_page - 1);
}

void PdfWindow::cmdNasta_Click()
{
    showPage(m_page + 1);
}

qreal PdfWindow::shownZoom() const
{
    if (m_view->zoomMode() == QPdfView::ZoomMode::Custom || pageCount() == 0)
        return m_view->zoomFactor();
    // The whole page: the size it is shown at now.
    const QSizeF page = m_document->pagePointSize(m_page) * (logicalDpiX() / 72.0);
    const QSize room = m_view->viewport()->size();
    return qMin(room.width() / page.width(), room.height() / page.height());
}

void PdfWindow::zoomTo(qreal zoom)
{
    m_view->setZoomMode(QPdfView::ZoomMode::Custom);
    m_view->setZoomFactor(qBound(smallestZoom, zoom, largestZoom));
}

void PdfWindow::cmdZoomaIn_Click()
{
    zoomTo(shownZoom() * zoomStep);
}

void PdfWindow::cmdZoomaUt_Click()
{
    zoomTo(shownZoom() / zoomStep);
}

void PdfWindow::cmdHelaSidan_Click()
{
    m_view->setZoomMode(QPdfView::ZoomMode::FitInView);
}
