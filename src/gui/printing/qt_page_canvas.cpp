#include "gui/printing/qt_page_canvas.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPrinter>

#include "core/pool/errors.h"
#include "gui/widgets/ansi_text.h"

namespace {
std::string native(const QString& text) { return text.toLocal8Bit().toStdString(); }
}  // namespace

QtPageCanvas::QtPageCanvas(QPrinter& printer) : m_printer(printer), m_fileName(printer.outputFileName())
{
    // Where the face a sheet asks for is missing, Arial's metric twin keeps the sheet's proportions
    // (labels within their columns); failing that, any sans-serif face of the size and style.
    m_font.setFamilies({QStringLiteral("Liberation Sans")});
    m_font.setStyleHint(QFont::SansSerif);
    m_font.setPointSize(10);
}

QtPageCanvas::~QtPageCanvas()
{
    if (m_painter.isActive()) m_painter.end();
    if (!m_fileName.isEmpty()) m_printer.setOutputFileName(m_fileName);
}

QString QtPageCanvas::jobFileName(const QString& fileName, int job)
{
    if (job <= 1 || fileName.isEmpty()) return fileName;
    const QFileInfo info(fileName);
    const QString suffix = info.suffix();
    QString name = info.completeBaseName() + QStringLiteral("-%1").arg(job);
    if (!suffix.isEmpty()) name += QLatin1Char('.') + suffix;
    return info.dir().filePath(name);
}

int QtPageCanvas::pageWidth() const { return m_printer.width(); }
int QtPageCanvas::pageHeight() const { return m_printer.height(); }

bool QtPageCanvas::selectFace(const std::string& face)
{
    const QString family = QString::fromStdString(face);
    if (!QFontDatabase::hasFamily(family)) return false;
    // A face made in a few pixel sizes only (the screen's "MS Sans Serif") would print blocky. A
    // name the system maps to another face is no family of its own and counts as scalable.
    if (QFontDatabase::families().contains(family, Qt::CaseInsensitive) && !QFontDatabase::isScalable(family))
        return false;
    m_font.setFamily(family);
    return true;
}

void QtPageCanvas::setFont(int points, int style)
{
    m_font.setPointSize(points);
    m_font.setBold((style & Bold) != 0);
    m_font.setItalic((style & Italic) != 0);
    m_font.setUnderline((style & Underline) != 0);
}

int QtPageCanvas::textWidth(const std::string& text) const
{
    return QFontMetrics(m_font, &m_printer).horizontalAdvance(fromAnsi(text));
}

int QtPageCanvas::textHeight(const std::string&) const
{
    // The height of a text cell is the font's, whatever the text.
    return QFontMetrics(m_font, &m_printer).height();
}

void QtPageCanvas::textOut(int x, int y, const std::string& text)
{
    if (!m_painter.isActive() || text.empty()) return;
    const QString shown = fromAnsi(text);
    const QFontMetrics metrics(m_font, &m_printer);
    m_painter.fillRect(QRect(x, y, metrics.horizontalAdvance(shown), metrics.height()), Qt::white);
    m_painter.setFont(m_font);
    m_painter.setPen(Qt::black);
    m_painter.drawText(x, y + metrics.ascent(), shown);
}

void QtPageCanvas::moveTo(int x, int y)
{
    m_penX = x;
    m_penY = y;
}

void QtPageCanvas::lineTo(int x, int y)
{
    if (m_painter.isActive()) {
        m_painter.setPen(QPen(QBrush(Qt::black), 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        m_painter.drawLine(m_penX, m_penY, x, y);
    }
    moveTo(x, y);
}

void QtPageCanvas::beginDoc()
{
    ++m_jobs;
    if (!m_fileName.isEmpty()) m_printer.setOutputFileName(jobFileName(m_fileName, m_jobs));
    if (!m_painter.begin(&m_printer)) {
        if (!m_printer.outputFileName().isEmpty())
            throw HoopError("The print job could not be started: " +
                            native(QDir::toNativeSeparators(m_printer.outputFileName())) + " could not be written.");
        throw HoopError("The print job could not be started on the printer " + native(m_printer.printerName()) + ".");
    }
    m_painter.setBackgroundMode(Qt::OpaqueMode);
    m_painter.setBackground(Qt::white);
    m_penX = m_penY = 0;
}

void QtPageCanvas::newPage()
{
    if (!m_printer.newPage()) throw HoopError("The printer could not begin a new page.");
    m_penX = m_penY = 0;
}

void QtPageCanvas::endDoc()
{
    if (!m_painter.isActive()) return;
    if (!m_painter.end()) throw HoopError("The print job could not be finished.");
}
