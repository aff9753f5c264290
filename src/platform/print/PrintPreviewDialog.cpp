#include "PrintPreviewDialog.h"

#include <QApplication>
#include <QPaintEngine>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QProgressDialog>
#include <QTimer>

namespace detail {
PreviewPrinter::PreviewPrinter(const QString &html) : m_pages(html)
{
    const qreal room = m_printer.pageLayout().paintRectPixels(m_printer.resolution()).width();
    if (m_pages.neededWidth(m_printer) > room)
        m_printer.setPageOrientation(QPageLayout::Landscape);
}
} // namespace detail

PrintPreviewDialog::PrintPreviewDialog(const QString &html, QWidget *parent)
    : detail::PreviewPrinter(html), QPrintPreviewDialog(&m_printer, parent),
      m_preview(findChild<QPrintPreviewWidget *>())
{
    setWindowTitle(QApplication::applicationName());
    connect(m_preview, &QPrintPreviewWidget::paintRequested, this, &PrintPreviewDialog::paint);
    resize(900, 700);
}

bool PrintPreviewDialog::prepare()
{
    m_cancelled = false;
    m_preview->updatePreview();
    m_prepared = !m_cancelled;
    return m_prepared;
}

int PrintPreviewDialog::pageCount() const
{
    return m_preview->pageCount();
}

void PrintPreviewDialog::setVisible(bool visible)
{
    // The pages are ready: the base class would prepare them all over again.
    if (visible && !m_prepared && !prepare())
        return;
    QDialog::setVisible(visible);
}

void PrintPreviewDialog::paint(QPrinter *p)
{
    // Pages for the preview are recorded as pictures; anything else prints.
    const bool previewing = p->paintEngine() && p->paintEngine()->type() == QPaintEngine::Picture;
    // Through the application's translators: the Italian edition has words for both.
    QProgressDialog progress(QCoreApplication::translate("PrintPreviewDialog", "Preparing the pages..."),
                             QCoreApplication::translate("QProgressDialog", "Cancel"), 0, 1000,
                             isVisible() ? this : parentWidget());
    progress.setWindowTitle(QApplication::applicationName());
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(1000);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setValue(0);
    const auto onTheWay = [&](double done) {
        progress.setValue(std::clamp(int(done * 1000), 1, 999));
        return !progress.wasCanceled();
    };
    const QSizeF page = p->pageLayout().paintRectPixels(p->resolution()).size();
    bool done = m_pages.layout(*p, page, onTheWay);
    if (done) {
        QPainter painter(p);
        done = m_pages.paint(painter, *p, onTheWay);
    }
    if (done)
        return;
    m_cancelled = true;
    if (!previewing)
        p->abort();
    else if (isVisible())
        QTimer::singleShot(0, this, &QDialog::reject); // the pages are not all there
}
