#pragma once
#include <string>

// Font styles a printed page asks for; they combine.
enum FontStyle : int { Regular = 0, Bold = 1, Italic = 2, Underline = 4 };

// What the printed pages need of a printer: the printable page in device pixels, fonts by face,
// size and style, text measurement, opaque text and one-pixel lines, and the print job.
// Text is bytes in the Windows-1252 code page, as the data files hold it.
class PageCanvas {
public:
    virtual ~PageCanvas() = default;

    // Printable area of the current orientation; the origin is its top-left corner.
    virtual int pageWidth() const = 0;
    virtual int pageHeight() const = 0;

    // Selects a face for the texts that follow; false (and the face unchanged) when the face
    // does not exist.
    virtual bool selectFace(const std::string& face) = 0;
    virtual void setFont(int points, int style) = 0;
    virtual int textWidth(const std::string& text) const = 0;
    virtual int textHeight(const std::string& text) const = 0;

    // Black text whose cell's top-left corner is (x, y), drawn on an opaque white cell.
    virtual void textOut(int x, int y, const std::string& text) = 0;
    // One-pixel black line from the pen position to (x, y); the pen moves there.
    virtual void moveTo(int x, int y) = 0;
    virtual void lineTo(int x, int y) = 0;

    virtual void beginDoc() = 0;
    virtual void newPage() = 0;
    virtual void endDoc() = 0;
    virtual bool printing() const = 0;  // a job is open
};
