#pragma once
#include <QPrintPreviewDialog>
#include <QPrinter>

class QPrintPreviewWidget;

namespace detail {
// The printer is made before the dialog that is given it.
struct PreviewPrinter {
    QPrinter m_printer{QPrinter::HighResolution};
};
} // namespace detail

// The print preview of a print document. Its pages are prepared before the
// window opens, so a person who cancels a long preparation is back where
// they were without a preview flashing up.
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
    QString m_html;
    QPrintPreviewWidget *m_preview;
    bool m_prepared = false;
    bool m_cancelled = false;
};
