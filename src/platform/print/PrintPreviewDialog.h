#pragma once
#include "PrintPages.h"

#include <QPrintPreviewDialog>
#include <QPrinter>

class QPrintPreviewWidget;

namespace detail {
// The printer, turned to landscape when the document is too wide for a
// portrait page, is ready before the dialog that is given it.
struct PreviewPrinter {
    explicit PreviewPrinter(const QString &html);
    QPrinter m_printer{QPrinter::HighResolution};
    PrintPages m_pages;
};
} // namespace detail

// The print preview of a print document. Its pages are prepared before the
// window opens, under a progress dialog when that takes more than a second;
// a person who cancels is back where they were, without a preview.
class PrintPreviewDialog : private detail::PreviewPrinter, public QPrintPreviewDialog {
public:
    explicit PrintPreviewDialog(const QString &html, QWidget *parent = nullptr);

    // Prepares every page; false when the person cancelled.
    bool prepare();
    int pageCount() const;
    QPrinter &previewPrinter() { return m_printer; }

    void setVisible(bool visible) override;

private:
    void paint(QPrinter *p);
    QPrintPreviewWidget *m_preview;
    bool m_prepared = false;
    bool m_cancelled = false;
};
