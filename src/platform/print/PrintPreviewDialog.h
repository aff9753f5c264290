#pragma once
#include "PrintPages.h"

#include <QDialog>
#include <QPrinter>

class QAction;
class QLabel;
class QLineEdit;
class QScrollArea;
class QTimer;

namespace detail {
// The printer, turned to landscape when the document is too wide for a
// portrait page, is ready before the dialog that is given it.
struct PreviewPrinter {
    explicit PreviewPrinter(const QByteArray &html);
    QPrinter m_printer{QPrinter::HighResolution};
    PrintPages m_pages;
};
class PageView;
} // namespace detail

// The print preview of a print document. Only the first page is laid out
// before the window opens; the others are laid out in the background while
// the window is open, the progress shown in its tool bar, and each page is
// drawn when it comes into view, so neither the wait nor the memory grows
// with the document. Printing lays out and paints every page, under a
// progress dialog when that takes more than a second; a person who cancels
// the preparation is back where they were, without a preview.
class PrintPreviewDialog : private detail::PreviewPrinter, public QDialog {
public:
    // The document as UTF-8 (shared, not copied), or as text.
    explicit PrintPreviewDialog(const QByteArray &html, QWidget *parent = nullptr);
    explicit PrintPreviewDialog(const QString &html, QWidget *parent = nullptr);
    ~PrintPreviewDialog() override;

    // Sizes the columns and lays out the first page; false when the person
    // cancelled.
    bool prepare();
    // Lays out every page now, not in the background; false when cancelled.
    bool prepareAll();
    // The pages laid out so far (all of them once the layout is complete).
    int pageCount() const;
    bool allPagesReady() const { return m_pages.complete(); }
    QPrinter &previewPrinter() { return m_printer; }
    // Prints every page on the preview's printer, with its progress.
    bool printAll();

    void setVisible(bool visible) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class detail::PageView;
    void layOutMore();
    void relayout();
    void updateStatus();
    void showPage(int page);
    void print();
    void pageSetup();
    void setOrientation(QPageLayout::Orientation o);
    bool withProgress(const std::function<bool(const PrintPages::Progress &)> &work, const QString &text);

    detail::PageView *m_view;
    QScrollArea *m_scroll;
    QLineEdit *m_pageEdit;
    QLabel *m_pageTotal;
    QLabel *m_status;
    QTimer *m_background;
    bool m_prepared = false;
    int m_wanted = 0; // pages someone asked to see
};
