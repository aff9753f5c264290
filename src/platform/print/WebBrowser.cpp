#include "WebBrowser.h"
#include "Controls.h"
#include "People.h"
#include "PrintPreviewDialog.h"
#include "QtPeople.h"
#include "RuntimeError.h"

#include <QApplication>
#include <QPointer>

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
    m_hasDocument = url.compare(QLatin1String("about:blank"), Qt::CaseInsensitive) == 0;
    m_open = m_hasDocument;
}

void WebBrowser::write(const QString &text)
{
    if (!m_hasDocument)
        raiseError(91, QStringLiteral("Object variable or With block variable not set"));
    if (!m_open) {
        // Writing to a closed document starts a new one, as a browser does.
        m_text.clear();
        m_open = true;
    }
    m_text += text;
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
    people().printPreview(*this);
}

void showPrintPreview(WebBrowser &web)
{
    auto *dlg = new PrintPreviewDialog(web.documentText(), boxOwner());
    const QPointer<PrintPreviewDialog> guard(dlg);
    const bool ready = dlg->prepare();
    if (!guard)
        return;
    if (!ready) {
        delete dlg;
        return;
    }
    runOwned(dlg);
}
