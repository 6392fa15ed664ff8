#pragma once
// The message window: the one place where the program asks questions, shows
// notices and unexpected errors. The desktop program shows a dialog; the
// headless runner writes to the terminal; tests script the answers.
#include <QString>
#include <QStringList>
#include <exception>

enum class IconaMessaggio { Nessuna, Informazione, Errore, Domanda };

class FinestraMessaggi {
public:
    virtual ~FinestraMessaggi() = default;
    // Shows testo with one button per answer caption ("&Ok", "&Si", ...) and
    // returns the number of the pressed answer, counting from 1.
    virtual int msgCom(const QString& testo, const QStringList& risposte) = 0;
    // The same with the icon of a notice, an error or a question, where the
    // window can show one.
    virtual int MsgBox(const QString& testo, const QStringList& risposte, IconaMessaggio icona)
    {
        (void)icona;
        return msgCom(testo, risposte);
    }
    // Shows an unexpected error: "Errore(" number "): " description, followed
    // by " - " and testo when given; single answer "&Ok".
    void MsgErrfrm(int numero, const QString& descrizione, const QString& testo = {});
    void MsgErrfrm(const std::exception& errore, const QString& testo = {});

    static QString TestoErrore(int numero, const QString& descrizione, const QString& testo = {});
};
