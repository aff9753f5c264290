#pragma once
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
// size, blue header cells, 1-pixel collapsed borders, 3-pixel padding. Words
// are never split: a column is at least as wide as its widest word, longer
// texts wrap at blanks, and a table wider than the page shrinks the whole
// page to fit it. Rows that do not fit go on the next page, under the table's
// header row again when its first row is all header cells. Work and memory
// grow with the number of cells: the text stays in the document and is read
// where it lies.
class PrintPages {
public:
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
        qreal y;        // top of the line or row, in the page's pixels
        QString text;   // a line of text, or a row's cells joined by " | "
        bool header;    // a row of header cells
        int table = -1; // the row's table, -1 for a line of text
    };
    std::vector<Line> lines() const;
    // Content width of each column of table t, in the page's pixels.
    std::vector<qreal> columnWidths(int table) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
