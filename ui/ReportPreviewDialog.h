#pragma once

#include "PreviewDocument.h"

#include "reports/Layout.h"
#include "reports/ReportBuilder.h"

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

namespace kx::store {
class Query;
class Session;
} // namespace kx::store

namespace kx::ui {

class FileDialogs;

// The modal preview of a report: the pages as they will be printed, with
// printing (on the default printer unless the user picks another), page setup,
// zoom, page navigation and saving as PDF. The report is laid out again on the
// printer's paper whenever the page setup changes, so what is shown is what
// prints.
class ReportPreviewDialog : public QDialog
{
    Q_OBJECT
public:
    ReportPreviewDialog(reports::Layout layout, reports::ReportInput input, Prompter &prompter,
                        FileDialogs &fileDialogs, QWidget *parent = nullptr);
    // Any other document through the same preview.
    ReportPreviewDialog(std::unique_ptr<PreviewDocument> document, Prompter &prompter, FileDialogs &fileDialogs,
                        QWidget *parent = nullptr);
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

    std::unique_ptr<PreviewDocument> m_document;
    Prompter &m_prompter;
    FileDialogs &m_fileDialogs;
    std::unique_ptr<QPrinter> m_printer;
    QPrintPreviewWidget *m_preview = nullptr;
    QSpinBox *m_pageNumber = nullptr;
    QLabel *m_pageTotal = nullptr;
    QString m_pdfFolder;
};

// "Печать" from the busy cursor on: the sheet of the current route prepared
// from pp.fr3 (reports/RouteSheet.h, whose messages go to messageOwner, the
// route list window) and shown in the modal preview over parent. Returns when
// the preview is closed; false when the sheet could not be prepared (the
// message has been shown).
bool showRouteSheet(store::Session &session, store::Query &qp, QObject *messageOwner, FileDialogs &fileDialogs,
                    QWidget *parent);

} // namespace kx::ui
