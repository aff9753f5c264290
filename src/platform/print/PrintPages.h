#pragma once
#include <QByteArray>
#include <QFont>
#include <QSizeF>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

// The print documents of this program laid out on pages as a browser prints
// them. It reads what the print routines write: lines of text in the size of
// their font tag, each stray "</p>" ending its line with an empty paragraph,
// and tables of header ("th") and data ("td") cells in the style sheet's
// size, blue header cells, 1-pixel collapsed borders, 1-pixel padding, a
// "<br>" in a cell a line break. Columns are laid out for paper: a short
// field (a date, a phone number, an amount) on one line, the width left to
// the columns with more text; texts wrap at blanks, and a word is split only
// when it is wider than its column could be, inside that cell. The page
// shrinks only when the short fields and ordinary words cannot fit it. Rows
// that do not fit go on the next page, under the table's header row again
// when its first row is all header cells. The pages can be laid out as they
// are needed: the first at once, the rest later. Work and memory grow with
// the number of cells: the text stays in the document and is read where it
// lies.
class PrintPages {
public:
    // The document as UTF-8, kept where it lies (shared, not copied).
    explicit PrintPages(const QByteArray &html);
    explicit PrintPages(const QString &html);
    ~PrintPages();
    PrintPages(const PrintPages &) = delete;
    PrintPages &operator=(const PrintPages &) = delete;

    // Told how far the work is, from 0 to 1; false stops it.
    using Progress = std::function<bool(double)>;

    // The width the document needs on a device without shrinking, in that
    // device's pixels: the widest table at its narrowest, margins included,
    // judged from the first rows of each table.
    qreal neededWidth(const QPaintDevice &device) const;

    // Lays the document out on pages of pageSize pixels of the device (its
    // resolution sets the sizes). False when stopped.
    bool layout(const QPaintDevice &device, const QSizeF &pageSize, const Progress &progress = {});
    // The same in steps: begin() sizes the columns from every cell, then
    // layoutPages() lays out until that many pages are complete and
    // layoutFor() for that long; each goes on where the last one ended.
    bool begin(const QPaintDevice &device, const QSizeF &pageSize, const Progress &progress = {});
    bool layoutPages(int pages, const Progress &progress = {});
    bool layoutFor(int milliseconds); // true when the whole document is laid out
    bool complete() const;
    int pagesReady() const; // pages that will not change any more
    double laidOut() const; // how far the layout is, from 0 to 1
    // The pages laid out so far, the last perhaps still growing.
    int pageCount() const;
    // The factor the document was shrunk by to fit the page width (1: none).
    qreal scale() const;

    // Paints page i with its top left corner at the painter's origin.
    void paintPage(QPainter &painter, int page) const;
    // Paints every page onto a device already begun by the painter, a new
    // page before each but the first. False when stopped.
    bool paint(QPainter &painter, QPagedPaintDevice &device, const Progress &progress = {}) const;

    // What the layout made of the document, for whoever checks it.
    struct Line {
        int page;
        qreal y;           // top of the line or row, in the page's pixels
        QString text;      // a line of text, or a row's cells joined by " | "
        bool header;       // a row of header cells
        int table = -1;    // the row's table, -1 for a line of text
        int lineCount = 1; // the row's lines here
    };
    std::vector<Line> lines() const;
    // Content width of each column of table t, in the page's pixels.
    std::vector<qreal> columnWidths(int table) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
