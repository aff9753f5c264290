#include "WebBrowser.h"
#include "Controls.h"
#include "People.h"
#include "PrintPreviewDialog.h"
#include "QtPeople.h"
#include "RuntimeError.h"

#include <QApplication>
#include <QPointer>
#include <malloc.h>

WebBrowser::WebBrowser(QWidget *parent, const QString &name) : QWidget(parent)
{
    setObjectName(name);
    declareKind(this, ControlKind::Browser);
    setFixedSize(0, 0);
    hide();
}

void WebBrowser::Navigate(const QString &url)
{
    m_text.clear();
    m_packed.clear();
    m_hasDocument = url.compare(QLatin1String("about:blank"), Qt::CaseInsensitive) == 0;
    m_open = m_hasDocument;
}

void WebBrowser::opened()
{
    if (!m_hasDocument)
        raiseError(91, QStringLiteral("Object variable or With block variable not set"));
    if (!m_open) {
        // Writing to a closed document starts a new one, as a browser does.
        m_text.clear();
        m_packed.clear();
        m_open = true;
    }
    unpack();
}

void WebBrowser::write(const QString &text)
{
    opened();
    m_text += text.toUtf8();
}

void WebBrowser::writeUtf8(QByteArrayView text)
{
    opened();
    m_text.append(text);
}

void WebBrowser::reserve(qsizetype more)
{
    if (m_open && m_packed.isEmpty() && more > 0)
        m_text.reserve(m_text.size() + more);
}

char *WebBrowser::tail(qsizetype n)
{
    opened();
    const qsizetype size = m_text.size();
    if (m_text.capacity() < size + n)
        m_text.reserve(std::max(size + n, m_text.capacity() + m_text.capacity() / 2));
    m_text.resize(size + n);
    return m_text.data() + size;
}

void WebBrowser::cutAt(const char *end)
{
    m_text.truncate(end - m_text.constData());
}

void WebBrowser::close()
{
    if (!m_hasDocument)
        raiseError(91, QStringLiteral("Object variable or With block variable not set"));
    m_open = false;
}

void WebBrowser::ExecWB(int command, int)
{
    if (command != 7)
        raiseError(-2147221248, QStringLiteral("Method 'ExecWB' of object 'IWebBrowser2' failed"));
    if (!m_hasDocument)
        raiseError(-2147221248, QStringLiteral("Method 'ExecWB' of object 'IWebBrowser2' failed"));
    unpack();
    people().printPreview(*this);
    pack();
}

QString WebBrowser::documentText() const
{
    return QString::fromUtf8(documentUtf8());
}

QByteArray WebBrowser::documentUtf8() const
{
    return m_packed.isEmpty() ? m_text : qUncompress(m_packed);
}

void WebBrowser::pack()
{
    // Short documents stay as they are.
    constexpr qsizetype kLong = 1 << 20;
    if (m_text.size() < kLong)
        return;
    m_packed = qCompress(m_text, 1);
    m_text = QByteArray();
}

void WebBrowser::unpack()
{
    if (m_packed.isEmpty())
        return;
    m_text = qUncompress(m_packed);
    m_packed = QByteArray();
}

void showPrintPreview(WebBrowser &web)
{
    auto *dlg = new PrintPreviewDialog(web.documentUtf8(), boxOwner());
    const QPointer<PrintPreviewDialog> guard(dlg);
    const bool ready = dlg->prepare();
    if (!guard)
        return;
    if (!ready) {
        delete dlg;
        return;
    }
    runOwned(dlg);
    // The layout of a long printout was many small blocks: hand the memory
    // back to the system rather than keep it with the process.
    malloc_trim(0);
}
