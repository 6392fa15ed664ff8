#include "ValoriBaseConsole.h"

#include "FinestraMessaggi.h"
#include "FormUtility.h"
#include "RecordsetManager.h"
#include "RisposteValBase.h"
#include "ValueStore.h"

#include <cstdio>
#include <iostream>
#include <string>

namespace {

const QString Ok = QStringLiteral("&Ok");

// One prompt on the terminal; an empty line takes the proposed answer.
std::optional<QString> ChiediSulTerminale(const RichiestaBase& r)
{
    QString domanda = r.Didascalia();
    if (!r.proposta.isEmpty())
        domanda += QStringLiteral(" [") + r.proposta + QLatin1Char(']');
    std::fprintf(stderr, "%s ", domanda.toUtf8().constData());
    std::fflush(stderr);
    std::string riga;
    if (!std::getline(std::cin, riga))
        return std::nullopt;
    const QString risposta = QString::fromStdString(riga).trimmed();
    return risposta.isEmpty() ? r.proposta : risposta;
}

QString Elenco(const RaccoltaValBase& raccolta, const QStringList& chiavi)
{
    QString testo;
    for (const QString& chiave : chiavi) {
        testo += QStringLiteral("\n  ") + chiave;
        const int n = raccolta.Indice(chiave);
        if (n >= 0 && !raccolta.Richieste()[n].etichetta.isEmpty())
            testo += QStringLiteral(" (") + raccolta.Richieste()[n].etichetta + QLatin1Char(')');
    }
    return testo;
}

}  // namespace

bool PreparaValoriBase(DatabaseLink& db, FinestraMessaggi& messaggi, const QStringList& codici,
                       const OpzioniValBase& opzioni, ValueStore& store)
{
    RaccoltaValBase raccolta;
    try {
        RecordsetManager rs(db);
        for (const QString& codice : codici) {
            QString errore;
            if (raccolta.RicValDefault(rs, codice, errore) != 0) {
                messaggi.msgCom(errore, {Ok});
                return false;
            }
        }
    } catch (const std::exception& errore) {
        messaggi.MsgErrfrm(errore);
        return false;
    }

    std::function<std::optional<QString>(const RichiestaBase&)> chiedi;
    if (opzioni.interattivo)
        chiedi = ChiediSulTerminale;
    if (opzioni.interattivo && !opzioni.batch && raccolta.oiNumRighe() > static_cast<int>(opzioni.impostati.size()))
        std::fprintf(stderr, "Inserire i valori richiesti\n");
    const EsitoRisposte esito = RisposteValBase(raccolta, opzioni.impostati, opzioni.batch, chiedi);
    if (!esito.sconosciute.isEmpty()) {
        messaggi.msgCom(QStringLiteral("Valori base non richiesti dalle definizioni indicate:")
                            + Elenco(raccolta, esito.sconosciute),
                        {Ok});
        return false;
    }
    if (esito.annullato) {
        messaggi.msgCom(QStringLiteral("Richiesta valori base annullata: nessun dato quivato"), {Ok});
        return false;
    }
    if (!esito.mancanti.isEmpty()) {
        messaggi.msgCom(
            QStringLiteral("Mancano i valori base (indicarli con --set CODICE.Campo=valore, o usare --batch):")
                + Elenco(raccolta, esito.mancanti),
            {Ok});
        return false;
    }
    if (const QString rifiuto = raccolta.ControllaContatori(esito.risposte); !rifiuto.isEmpty()) {
        messaggi.msgCom(rifiuto, {Ok});
        return false;
    }
    raccolta.Memorizza(esito.risposte, store);
    return true;
}
