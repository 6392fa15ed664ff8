#include "RisposteValBase.h"

EsitoRisposte RisposteValBase(const RaccoltaValBase& raccolta, const QHash<QString, QString>& impostati, bool batch,
                              const std::function<std::optional<QString>(const RichiestaBase&)>& chiedi)
{
    EsitoRisposte esito;
    QHash<QString, QString> dati;
    for (auto it = impostati.cbegin(); it != impostati.cend(); ++it) {
        const QString chiave = it.key().trimmed().toLower();
        dati.insert(chiave, it.value());
        if (raccolta.Indice(chiave) < 0)
            esito.sconosciute << it.key().trimmed();
    }
    for (const RichiestaBase& r : raccolta.Richieste()) {
        const QString chiave = r.Chiave().toLower();
        if (dati.contains(chiave)) {
            esito.risposte << dati.value(chiave);
        } else if (batch) {
            esito.risposte << r.costBatch;
        } else if (chiedi && !esito.annullato) {
            const std::optional<QString> risposta = chiedi(r);
            if (!risposta)
                esito.annullato = true;
            esito.risposte << risposta.value_or(QString());
        } else {
            esito.mancanti << r.Chiave();
            esito.risposte << QString();
        }
    }
    return esito;
}

std::optional<std::pair<QString, QString>> DividiImpostazione(const QString& testo)
{
    const qsizetype uguale = testo.indexOf(QLatin1Char('='));
    if (uguale <= 0)
        return std::nullopt;
    const QString chiave = testo.left(uguale).trimmed();
    if (chiave.isEmpty() || !chiave.contains(QLatin1Char('.')))
        return std::nullopt;
    return std::make_pair(chiave, testo.mid(uguale + 1));
}
