#pragma once
#include "MessageCodes.h"

#include <QString>

// Where the data layer's messages go. The user interface installs the real
// message box (translated, themed); tests install a recorder. Without a
// sink, messages go to standard error and questions are answered "No".
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual int myMsgBox(const QString &prompt, int buttons, const QString &title) = 0;
    virtual void plainMsgBox(const QString &text) = 0;
};
void setMessageSink(MessageSink *sink);
MessageSink *messageSink();

// Every message of the system: translated in the English edition, shown
// with the product title; returns the code of the button pressed.
int MyMsgBox(const QString &prompt, int buttons, const QString &title);
// The plain box: OK only, default title, no translation.
void PlainMsgBox(const QString &text);
