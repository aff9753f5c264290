#include "Messages.h"
#include <cstdio>

namespace {
MessageSink *&sinkRef()
{
    static MessageSink *s = nullptr;
    return s;
}
} // namespace

void setMessageSink(MessageSink *sink)
{
    sinkRef() = sink;
}

MessageSink *messageSink()
{
    return sinkRef();
}

int MyMsgBox(const QString &prompt, int buttons, const QString &title)
{
    if (sinkRef())
        return sinkRef()->myMsgBox(prompt, buttons, title);
    std::fprintf(stderr, "%s\n", prompt.toLocal8Bit().constData());
    return MsgResult::No;
}

void PlainMsgBox(const QString &text)
{
    if (sinkRef()) {
        sinkRef()->plainMsgBox(text);
        return;
    }
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}
