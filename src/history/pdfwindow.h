#pragma once

#include "datafiles/failure.h"

#include <QByteArray>
#include <QString>
#include <QWidget>

#include <optional>

class QBuffer;
class QLabel;
class QPdfDocument;
class QPdfView;
class QPushButton;

// A window that shows PDF pages as the printer gets them, one page at a time,
// with page turning and zoom: the kept copy of a printed order ("Order <nr>")
// and the print preview of the order on screen ("Förhandsgranskning").
class PdfWindow : public QWidget
{
    Q_OBJECT

public:
    enum class Kind {
        KeptCopy, // the kept copy of a printed order
        Preview, // the preview of the order on screen, with a button that prints it
    };
    static PdfWindow* open(Kind kind);

    // Shows the PDF file, from its first page. The failure, naming the file,
    // when it cannot be read; the window then shows what it showed before.
    std::optional<datafiles::Failure> showFile(const QString& file);
    // Shows a PDF held in memory.
    std::optional<datafiles::Failure> showBytes(const QByteArray& pdf);

    QPdfDocument* document() const { return m_document; }
    QPdfView* view() const { return m_view; }
    int pageCount() const;
    // The page shown, from 0.
    int currentPage() const;

signals:
    // "Skriv ut (F9)" of the preview: the order window prints the order.
    void printRequested();

public slots:
    void cmdForegaende_Click();
    void cmdNasta_Click();
    void cmdZoomaIn_Click();
    void cmdZoomaUt_Click();
    void cmdHelaSidan_Click();

private:
    explicit PdfWindow(bool withPrintButton);
    void setupControls(bool withPrintButton);
    void showPage(int page);
    // The reason the document could not be shown; none when it shows.
    std::optional<QString> loaded();
    qreal shownZoom() const;
    void zoomTo(qreal zoom);

    QPdfDocument* m_document = nullptr;
    QBuffer* m_buffer = nullptr;
    QPdfView* m_view = nullptr;
    QLabel* m_lblSida = nullptr;
    QPushButton* m_cmdForegaende = nullptr;
    QPushButton* m_cmdNasta = nullptr;
    int m_page = 0;
};
