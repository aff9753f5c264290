#include "PrintPreviewDialog.h"
#include "QtPeople.h"

#include <QApplication>
#include <QPrintPreviewWidget>
#include <QTextDocument>

PrintPreviewDialog::PrintPreviewDialog(const QString &html, QWidget *parent)
    : QPrintPreviewDialog(&m_printer, parent), m_html(html), m_preview(findChild<QPrintPreviewWidget *>())
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
    QTextDocument doc;
    doc.setHtml(printableHtml(m_html));
    doc.print(p);
}
