#pragma once

#include "reports/core/PreviewDocument.h"

#include <QDialog>

#include <memory>

class QAction;
class QLabel;
class QPrinter;
class QPrintPreviewWidget;
class QSpinBox;

namespace kx {
class Prompter;
}

namespace kx::ui {

class FileDialogs;

// The modal preview of a document (the route sheet, the route map): the pages
// as they will be printed, with printing (on the default printer unless the
// user picks another), page setup, zoom, page navigation and saving as PDF.
// The document is painted again on the printer's paper whenever the page
// setup changes, so what is shown is what prints; what it says about the
// pages on that paper is a line under the tools.
class ReportPreviewDialog : public QDialog
{
    Q_OBJECT
public:
    ReportPreviewDialog(std::unique_ptr<reports::PreviewDocument> document, Prompter &prompter,
                        FileDialogs &fileDialogs, QWidget *parent = nullptr);
    ~ReportPreviewDialog() override;

    QPrintPreviewWidget *preview() const { return m_preview; }
    QPrinter &printer() { return *m_printer; }
    int pageCount() const;
    int currentPage() const;

    // Asks for a file and writes the report there as PDF; a failure is told to
    // the person. The folder proposed is the one last used.
    void saveAsPdf();
    void print();
    void pageSetup();

private:
    void paintRequested(QPrinter *printer);
    void goToPage(int page);
    void updatePageControls();
    QAction *addTool(const QString &objectName, const QString &text, const QString &icon);

    std::unique_ptr<reports::PreviewDocument> m_document;
    Prompter &m_prompter;
    FileDialogs &m_fileDialogs;
    std::unique_ptr<QPrinter> m_printer;
    QPrintPreviewWidget *m_preview = nullptr;
    QSpinBox *m_pageNumber = nullptr;
    QLabel *m_pageTotal = nullptr;
    QLabel *m_scale = nullptr;
    QString m_pdfFolder;
};

} // namespace kx::ui
