#pragma once

#include <QList>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QSizeF>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

namespace kx::test {

// What a PDF reader finds in a written file, through poppler-utils.

// Runs one of poppler's tools; false (with a warning) when it is missing or fails.
inline bool runPdfTool(const QString &program, const QStringList &args, QString &output)
{
    if (QStandardPaths::findExecutable(program).isEmpty()) {
        qWarning("%s is needed (Debian package poppler-utils)", qPrintable(program));
        return false;
    }
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        qWarning("%s failed: %s", qPrintable(program), p.readAllStandardError().constData());
        return false;
    }
    output = QString::fromUtf8(p.readAllStandardOutput());
    return true;
}

struct PdfWord
{
    QString text;
    QRectF box; // points from the page's top left corner
};

struct PdfPage
{
    QSizeF size; // points
    QList<PdfWord> words;
};

// Every word of every page with its box, as pdftotext -bbox reports them.
inline bool pdfWords(const QString &pdf, QList<PdfPage> &pages)
{
    QString html;
    if (!runPdfTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")}, html))
        return false;
    pages.clear();
    static const QRegularExpression tag(QStringLiteral(
        "<page width=\"([\\d.]+)\" height=\"([\\d.]+)\">|"
        "<word xMin=\"([\\d.-]+)\" yMin=\"([\\d.-]+)\" xMax=\"([\\d.-]+)\" yMax=\"([\\d.-]+)\">([^<]*)</word>"));
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedLength(1) > 0) {
            pages.append({QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()), {}});
        } else if (!pages.isEmpty()) {
            QString text = m.captured(7);
            text.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
                .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
                .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
                .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
            const QPointF topLeft(m.captured(3).toDouble(), m.captured(4).toDouble());
            const QPointF bottomRight(m.captured(5).toDouble(), m.captured(6).toDouble());
            pages.last().words.append({text, QRectF(topLeft, bottomRight)});
        }
    }
    return !pages.isEmpty();
}

// The text of the pages laid out as on paper (pages separated by form feeds).
inline bool pdfLayoutText(const QString &pdf, QString &text)
{
    return runPdfTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")}, text);
}

} // namespace kx::test
