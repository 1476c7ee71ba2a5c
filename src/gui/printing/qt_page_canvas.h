#pragma once
#include <QFont>
#include <QPainter>
#include <QString>

#include "core/printing/page_canvas.h"

class QPrinter;

// The page canvas on a printer: device pixels of the printable area, one-pixel black lines,
// black text on opaque white cells.
//
// Every job is a print job of its own. When the printer writes to a file, the second and later
// jobs go to files of their own beside it ("sheet.pdf", "sheet-2.pdf", "sheet-3.pdf"), so no
// copy overwrites the one before.
class QtPageCanvas final : public PageCanvas {
public:
    explicit QtPageCanvas(QPrinter& printer);
    ~QtPageCanvas() override;  // ends a job still open and gives the printer back its file name

    int pageWidth() const override;
    int pageHeight() const override;
    bool selectFace(const std::string& face) override;
    void setFont(int points, int style) override;
    int textWidth(const std::string& text) const override;
    int textHeight(const std::string& text) const override;
    void textOut(int x, int y, const std::string& text) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void beginDoc() override;
    void newPage() override;
    void endDoc() override;
    bool printing() const override { return m_painter.isActive(); }

    // File name of job n (1-based) for a printer writing to the given file.
    static QString jobFileName(const QString& fileName, int job);

private:
    QPrinter& m_printer;
    QPainter m_painter;
    QFont m_font;
    QString m_fileName;  // the file the user chose, when printing to a file
    int m_jobs = 0;
    int m_penX = 0;
    int m_penY = 0;
};
