#include "RiepilogoQuiva.h"

#include <QJsonArray>

namespace {

// "1 riga letta", "3 righe lette".
QString Quante(long n, const char* una, const char* molte)
{
    return QString::number(n) + QLatin1Char(' ') + QString::fromUtf8(n == 1 ? una : molte);
}

QString Secondi(qint64 millisecondi)
{
    return QString::number(static_cast<double>(millisecondi) / 1000.0, 'f', 1).replace(QLatin1Char('.'), QLatin1Char(','))
        + QStringLiteral(" s");
}

enum class Fine { Terminata, Interrotta, Errore, NonLetta, NonEseguita };

Fine ComeFinita(const EsitoDefinizione* esito)
{
    if (!esito)
        return Fine::NonEseguita;
    if (esito->lettura != 0)
        return Fine::NonLetta;
    if (esito->carico != 0)
        return Fine::Errore;
    return esito->conteggi.completo ? Fine::Terminata : Fine::Interrotta;
}

const EsitoDefinizione* Esito(const RiepilogoCorsa& corsa, qsizetype i)
{
    return i < static_cast<qsizetype>(corsa.esiti.size()) ? &corsa.esiti[static_cast<size_t>(i)] : nullptr;
}

QString ParolaJson(Fine fine)
{
    switch (fine) {
    case Fine::Terminata: return QStringLiteral("terminata");
    case Fine::Interrotta: return QStringLiteral("interrotta");
    case Fine::Errore: return QStringLiteral("errore");
    case Fine::NonLetta: return QStringLiteral("non letta");
    case Fine::NonEseguita: return QStringLiteral("non eseguita");
    }
    return {};
}

}  // namespace

bool RiepilogoCorsa::Terminata() const
{
    if (esiti.size() != static_cast<size_t>(codici.size()))
        return false;
    for (const EsitoDefinizione& e : esiti)
        if (!e.Terminata())
            return false;
    return true;
}

long RiepilogoCorsa::Errori() const { return ErroriTotali(esiti); }

QString AvvisoFine(const RiepilogoCorsa& corsa)
{
    const long errori = corsa.Errori();
    if (corsa.Terminata()) {
        if (errori == 0)
            return QStringLiteral("Elaborazione terminata");
        return QStringLiteral("Elaborazione terminata con ") + Quante(errori, "errore", "errori")
            + (errori == 1 ? QStringLiteral("\nmemorizzato") : QStringLiteral("\nmemorizzati"))
            + QStringLiteral(" nell'archivio 'ErroriQuivamento'");
    }
    QString avviso;
    if (corsa.fermata) {
        avviso = QStringLiteral("Elaborazione interrotta dall'utente");
    } else {
        QStringList sbagliate;
        for (const EsitoDefinizione& e : corsa.esiti)
            if (!e.Terminata())
                sbagliate << e.codice;
        avviso = QStringLiteral("Elaborazione interrotta: ")
            + (sbagliate.size() == 1 ? QStringLiteral("errore nella definizione ")
                                     : QStringLiteral("errori nelle definizioni "))
            + sbagliate.join(QStringLiteral(", "));
    }
    if (errori != 0)
        avviso += QLatin1Char('\n') + Quante(errori, "errore memorizzato", "errori memorizzati")
            + QStringLiteral(" nell'archivio 'ErroriQuivamento'");
    return avviso;
}

QString TestoRiepilogo(const RiepilogoCorsa& corsa)
{
    QStringList paragrafi;
    for (qsizetype i = 0; i < corsa.codici.size(); ++i) {
        const EsitoDefinizione* esito = Esito(corsa, i);
        const Fine fine = ComeFinita(esito);
        QString testo = corsa.codici[i] + QStringLiteral(": ");
        switch (fine) {
        case Fine::Terminata: testo += QStringLiteral("terminata in ") + Secondi(esito->millisecondi); break;
        case Fine::Interrotta:
            testo += QStringLiteral("interrotta dall'utente dopo ") + Secondi(esito->millisecondi);
            break;
        case Fine::Errore: testo += QStringLiteral("interrotta da un errore dopo ") + Secondi(esito->millisecondi); break;
        case Fine::NonLetta: testo += QStringLiteral("non eseguita: definizione non trovata o non valida"); break;
        case Fine::NonEseguita: testo += QStringLiteral("non eseguita"); break;
        }
        if (fine == Fine::Terminata || fine == Fine::Interrotta || fine == Fine::Errore) {
            const ConteggiCarico& c = esito->conteggi;
            testo += QStringLiteral("\n  ") + Quante(c.lette, "riga letta", "righe lette") + QStringLiteral(", ")
                + Quante(c.caricate(), "accettata", "accettate") + QStringLiteral(", ")
                + Quante(c.scartate, "scartata", "scartate") + QStringLiteral(", ")
                + Quante(esito->errori, "errore", "errori");
            for (int t = 1; t <= ConteggiCarico::NumSlot; ++t)
                if (!esito->tabelle[t].isEmpty())
                    testo += QStringLiteral("\n  ") + esito->tabelle[t] + QStringLiteral(": ")
                        + Quante(c.inserite[t], "riga inserita", "righe inserite") + QStringLiteral(", ")
                        + Quante(c.modificate[t], "modificata", "modificate");
        }
        paragrafi << testo;
    }
    return paragrafi.join(QLatin1Char('\n'));
}

QJsonObject JsonRiepilogo(const RiepilogoCorsa& corsa)
{
    QJsonArray definizioni;
    for (qsizetype i = 0; i < corsa.codici.size(); ++i) {
        const EsitoDefinizione* esito = Esito(corsa, i);
        const Fine fine = ComeFinita(esito);
        QJsonObject d {{QStringLiteral("codice"), corsa.codici[i]}, {QStringLiteral("esito"), ParolaJson(fine)}};
        if (fine == Fine::Terminata || fine == Fine::Interrotta || fine == Fine::Errore) {
            const ConteggiCarico& c = esito->conteggi;
            d.insert(QStringLiteral("righe_lette"), static_cast<qint64>(c.lette));
            d.insert(QStringLiteral("righe_accettate"), static_cast<qint64>(c.caricate()));
            d.insert(QStringLiteral("righe_scartate"), static_cast<qint64>(c.scartate));
            d.insert(QStringLiteral("errori"), static_cast<qint64>(esito->errori));
            d.insert(QStringLiteral("secondi"), static_cast<double>(esito->millisecondi) / 1000.0);
            QJsonArray tabelle;
            for (int t = 1; t <= ConteggiCarico::NumSlot; ++t)
                if (!esito->tabelle[t].isEmpty())
                    tabelle.append(QJsonObject {{QStringLiteral("tabella"), esito->tabelle[t]},
                                                {QStringLiteral("inserite"), static_cast<qint64>(c.inserite[t])},
                                                {QStringLiteral("modificate"), static_cast<qint64>(c.modificate[t])}});
            d.insert(QStringLiteral("tabelle"), tabelle);
        }
        definizioni.append(d);
    }
    const bool terminata = corsa.Terminata();
    return {{QStringLiteral("esito"), terminata ? QStringLiteral("terminata") : QStringLiteral("interrotta")},
            {QStringLiteral("motivo"),
             terminata ? QString() : corsa.fermata ? QStringLiteral("utente") : QStringLiteral("errore")},
            {QStringLiteral("errori"), static_cast<qint64>(corsa.Errori())},
            {QStringLiteral("definizioni"), definizioni}};
}
