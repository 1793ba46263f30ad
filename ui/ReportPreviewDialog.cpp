#include "ReportPreviewDialog.h"

#include "FileDialogs.h"

#include "base/BaseTexts.h"
#include "base/Prompter.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace kx::ui {
namespace {

// Qt's own preview dialog carries these icons in the print support library.
QIcon previewIcon(const QString &name)
{
    const QString path = QStringLiteral(":/qt-project.org/dialogs/qprintpreviewdialog/images/%1-24.png").arg(name);
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

} // namespace

ReportPreviewDialog::ReportPreviewDialog(std::unique_ptr<reports::PreviewDocument> document, Prompter &prompter,
                                         FileDialogs &fileDialogs, QWidget *parent)
    : QDialog(parent)
    , m_document(std::move(document))
    , m_prompter(prompter)
    , m_fileDialogs(fileDialogs)
    , m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(QStringLiteral("Предварительный просмотр"));
    setModal(true);
    setSizeGripEnabled(true);

    m_printer->setPageLayout(m_document->pageLayout());
    m_printer->setDocName(m_document->title());
    m_printer->setCreator(QStringLiteral("Kalyx"));

    auto *toolBar = new QToolBar(this);
    toolBar->setObjectName(QStringLiteral("PreviewTools"));
    m_preview = new QPrintPreviewWidget(m_printer.get(), this);
    m_preview->setObjectName(QStringLiteral("Preview"));

    QAction *printAction = addTool(QStringLiteral("APrint"), QStringLiteral("Печать"), QStringLiteral("printer"));
    printAction->setShortcut(QKeySequence::Print);
    connect(printAction, &QAction::triggered, this, &ReportPreviewDialog::print);
    QAction *setupAction = addTool(QStringLiteral("APageSetup"), QStringLiteral("Параметры страницы"), QStringLiteral("page-setup"));
    connect(setupAction, &QAction::triggered, this, &ReportPreviewDialog::pageSetup);
    QAction *pdfAction = addTool(QStringLiteral("ASavePdf"), QStringLiteral("Сохранить в PDF"), QString());
    pdfAction->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    pdfAction->setShortcut(QKeySequence::Save);
    connect(pdfAction, &QAction::triggered, this, &ReportPreviewDialog::saveAsPdf);
    toolBar->addAction(printAction);
    toolBar->addAction(setupAction);
    toolBar->addAction(pdfAction);
    toolBar->addSeparator();

    QAction *zoomIn = addTool(QStringLiteral("AZoomIn"), QStringLiteral("Увеличить"), QStringLiteral("zoom-in"));
    zoomIn->setShortcut(QKeySequence::ZoomIn);
    connect(zoomIn, &QAction::triggered, m_preview, [this] { m_preview->zoomIn(); });
    QAction *zoomOut = addTool(QStringLiteral("AZoomOut"), QStringLiteral("Уменьшить"), QStringLiteral("zoom-out"));
    zoomOut->setShortcut(QKeySequence::ZoomOut);
    connect(zoomOut, &QAction::triggered, m_preview, [this] { m_preview->zoomOut(); });
    QAction *fitWidth = addTool(QStringLiteral("AFitWidth"), QStringLiteral("По ширине"), QStringLiteral("zoom-fit-width"));
    connect(fitWidth, &QAction::triggered, m_preview, &QPrintPreviewWidget::fitToWidth);
    QAction *fitPage = addTool(QStringLiteral("AFitPage"), QStringLiteral("Страница целиком"), QStringLiteral("zoom-fit-page"));
    connect(fitPage, &QAction::triggered, m_preview, &QPrintPreviewWidget::fitInView);
    toolBar->addAction(zoomIn);
    toolBar->addAction(zoomOut);
    toolBar->addAction(fitWidth);
    toolBar->addAction(fitPage);
    toolBar->addSeparator();

    QAction *first = addTool(QStringLiteral("AFirstPage"), QStringLiteral("Первая страница"), QStringLiteral("go-first"));
    connect(first, &QAction::triggered, this, [this] { goToPage(1); });
    QAction *previous = addTool(QStringLiteral("APriorPage"), QStringLiteral("Предыдущая страница"), QStringLiteral("go-previous"));
    previous->setShortcut(QKeySequence::MoveToPreviousPage);
    connect(previous, &QAction::triggered, this, [this] { goToPage(m_preview->currentPage() - 1); });
    QAction *next = addTool(QStringLiteral("ANextPage"), QStringLiteral("Следующая страница"), QStringLiteral("go-next"));
    next->setShortcut(QKeySequence::MoveToNextPage);
    connect(next, &QAction::triggered, this, [this] { goToPage(m_preview->currentPage() + 1); });
    QAction *last = addTool(QStringLiteral("ALastPage"), QStringLiteral("Последняя страница"), QStringLiteral("go-last"));
    connect(last, &QAction::triggered, this, [this] { goToPage(m_preview->pageCount()); });
    m_pageNumber = new QSpinBox(this);
    m_pageNumber->setObjectName(QStringLiteral("PPage"));
    m_pageNumber->setMinimum(1);
    m_pageNumber->setKeyboardTracking(false);
    connect(m_pageNumber, &QSpinBox::valueChanged, this, &ReportPreviewDialog::goToPage);
    m_pageTotal = new QLabel(this);
    m_pageTotal->setObjectName(QStringLiteral("LPages"));
    toolBar->addAction(first);
    toolBar->addAction(previous);
    toolBar->addWidget(m_pageNumber);
    toolBar->addWidget(m_pageTotal);
    toolBar->addAction(next);
    toolBar->addAction(last);
    toolBar->addSeparator();

    QAction *close = addTool(QStringLiteral("AClose"), QStringLiteral("Закрыть"), QString());
    connect(close, &QAction::triggered, this, &QDialog::reject);
    toolBar->addAction(close);
    close->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    bool allIcons = true;
    for (const QAction *a : actions())
        allIcons = allIcons && !a->icon().isNull();
    // Without icons (a Qt built without them) the buttons carry their texts.
    toolBar->setToolButtonStyle(allIcons ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);

    auto *box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    box->addWidget(toolBar);
    // Under the tools, where it cannot be pushed out of sight by a narrow window.
    m_scale = new QLabel(this);
    m_scale->setObjectName(QStringLiteral("LScale"));
    m_scale->setContentsMargins(6, 2, 6, 2);
    m_scale->setVisible(false);
    box->addWidget(m_scale);
    box->addWidget(m_preview, 1);

    connect(m_preview, &QPrintPreviewWidget::paintRequested, this, &ReportPreviewDialog::paintRequested);
    connect(m_preview, &QPrintPreviewWidget::previewChanged, this, &ReportPreviewDialog::updatePageControls);
    m_preview->setZoomMode(QPrintPreviewWidget::FitToWidth);
    m_preview->updatePreview();
    updatePageControls();

    m_pdfFolder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    resize(1100, 780);
}

ReportPreviewDialog::~ReportPreviewDialog() = default;

QAction *ReportPreviewDialog::addTool(const QString &objectName, const QString &text, const QString &icon)
{
    auto *action = new QAction(text, this);
    action->setObjectName(objectName);
    action->setToolTip(text);
    if (!icon.isEmpty())
        action->setIcon(previewIcon(icon));
    addAction(action); // shortcuts work wherever the focus is in the dialog
    return action;
}

int ReportPreviewDialog::pageCount() const
{
    return m_preview->pageCount();
}

int ReportPreviewDialog::currentPage() const
{
    return m_preview->currentPage();
}

void ReportPreviewDialog::paintRequested(QPrinter *printer)
{
    QString why;
    QString note;
    if (!m_document->paint(*printer, &why, &note)) {
        qWarning("%s: %s", qPrintable(m_document->title()), qPrintable(why));
        return;
    }
    m_scale->setText(note);
    m_scale->setVisible(!note.isEmpty());
}

void ReportPreviewDialog::goToPage(int page)
{
    // The preview tells of page changes only when they come from scrolling.
    m_preview->setCurrentPage(qBound(1, page, qMax(1, m_preview->pageCount())));
    updatePageControls();
}

void ReportPreviewDialog::updatePageControls()
{
    const int count = qMax(1, m_preview->pageCount());
    const QSignalBlocker block(m_pageNumber);
    m_pageNumber->setMaximum(count);
    m_pageNumber->setValue(qBound(1, m_preview->currentPage(), count));
    m_pageTotal->setText(QStringLiteral(" из %1 ").arg(count));
    const int current = m_preview->currentPage();
    const auto enable = [this](const char *name, bool on) {
        if (QAction *a = findChild<QAction *>(QLatin1String(name)))
            a->setEnabled(on);
    };
    enable("AFirstPage", current > 1);
    enable("APriorPage", current > 1);
    enable("ANextPage", current < count);
    enable("ALastPage", current < count);
}

void ReportPreviewDialog::print()
{
    QPrintDialog dialog(m_printer.get(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_preview->print();
}

void ReportPreviewDialog::pageSetup()
{
    QPageSetupDialog dialog(m_printer.get(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_preview->updatePreview();
}

void ReportPreviewDialog::saveAsPdf()
{
    QString path = m_fileDialogs.saveFile(this, m_pdfFolder, m_document->fileName(), QStringLiteral("PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    m_pdfFolder = QFileInfo(path).absolutePath();

    QString why;
    if (!m_document->writePdf(path, m_printer->pageLayout(), &why)) {
        qWarning("%s: %s", qPrintable(m_document->title()), qPrintable(why));
        m_prompter.error(this, kx::texts::fileWriteFailed());
    }
}

} // namespace kx::ui
