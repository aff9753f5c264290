#pragma once
#include <QByteArray>
#include <QString>
#include <QWidget>

// The hidden browser that holds a print document: navigated to
// "about:blank" for a new, empty document, written to in pieces, closed, and
// asked for its print preview (command 7). The text written stays readable.
// The document is kept as UTF-8: a long list is mostly ASCII, and the pages
// are laid out from those bytes where they lie.
class WebBrowser : public QWidget {
    Q_OBJECT
public:
    explicit WebBrowser(QWidget *parent = nullptr, const QString &name = QStringLiteral("web"));

    void Navigate(const QString &url);
    bool hasDocument() const { return m_hasDocument; }
    void write(const QString &text); // raises when there is no open document
    // The same for text already in UTF-8 (valid UTF-8 only).
    void writeUtf8(QByteArrayView text);
    // Room for that many more bytes, so a long document is not copied as it grows.
    void reserve(qsizetype more);
    // A long document written in place: n bytes more at the end of the open
    // document, to be filled, and the document then cut where the filling
    // ended (valid UTF-8 only).
    char *tail(qsizetype n);
    void cutAt(const char *end);
    void close(); // closes the document (the text stays)
    bool isDocumentOpen() const { return m_open; }
    QString documentText() const;
    QByteArray documentUtf8() const;
    // Command 7 is the print preview; other commands are not offered.
    void ExecWB(int command, int option);

private:
    // A long document, once its preview is over, is kept packed: read again
    // only by whoever asks for its text, it need not hold its size in memory.
    void pack();
    void unpack();
    void opened();
    QByteArray m_text;
    QByteArray m_packed;
    bool m_hasDocument = false;
    bool m_open = false;
};

// The Qt print preview of the browser's document, with printing and PDF from
// there: what the program installs as the people's print preview.
void showPrintPreview(WebBrowser &web);
