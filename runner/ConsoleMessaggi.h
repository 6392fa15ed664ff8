#pragma once
// The message window of the headless runner: texts go to the error stream
// and the first answer is taken.
#include "FinestraMessaggi.h"

class ConsoleMessaggi : public FinestraMessaggi {
public:
    int msgCom(const QString& testo, const QStringList& risposte) override;
};
