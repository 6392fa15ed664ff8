#include "OpzioniDefinizioni.h"

#include "FileDefinizione.h"
#include "FinestraMessaggi.h"

#include <QJsonObject>
#include <cstdio>

namespace {

// The SQL a definition brings with it, for the user to see what an
// imported file will run on this company.
void StampaIstruzioni(const QString& codice, const QJsonObject& testata)
{
    QStringList righe;
    for (const char* base : {"WhereAzz", "Campi"})
        for (int slot = 1; slot <= 5; ++slot) {
            const QString nome = QLatin1String(base) + (slot == 1 ? QString() : QString::number(slot));
            const QString testo = testata.value(nome).toString();
            if (!testo.trimmed().isEmpty())
                righe << nome + QStringLiteral(": ") + testo;
        }
    for (int q = 1; q <= 3; ++q) {
        const QString nome = QStringLiteral("QueryFin%1").arg(q);
        const QString testo = testata.value(nome).toString();
        if (!testo.trimmed().isEmpty())
            righe << nome + QStringLiteral(": ") + testo;
    }
    const QString testo = righe.isEmpty()
        ? QStringLiteral("Definizione %1 importata: nessuna istruzione SQL memorizzata").arg(codice)
        : QStringLiteral("Definizione %1 importata. Istruzioni SQL memorizzate:\n  ").arg(codice)
            + righe.join(QStringLiteral("\n  "));
    std::fputs(testo.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace

void OpzioniDefinizioni::Aggiungi(CLI::App& cli)
{
    CLI::Option* esporta =
        cli.add_option("--esporta", m_esporta, "Scrive la definizione CODICE nel file FILE (JSON; - per lo standard output)")
                               ->expected(2)
                               ->type_name("CODICE FILE");
    CLI::Option* importa = cli.add_option("--importa", m_importa, "Legge una definizione dal file FILE in questa ditta")
                               ->type_name("FILE");
    esporta->excludes(importa);
    // Also for --crea-da-file (OpzioniEsame).
    cli.add_flag("--sostituisci", m_sostituisci,
                 "Con --importa o --crea-da-file: sostituisce una definizione con lo stesso codice");

    CLI::Option* codici = cli.get_option("codici");
    cli.parse_complete_callback([this, codici, &cli] {
        CLI::Option* crea = cli.get_option_no_throw("--crea-da-file");
        if (m_sostituisci && m_importa.empty() && !(crea && crea->count() > 0))
            throw CLI::ValidationError("--sostituisci", "vale solo con --importa o --crea-da-file");
        if (Richieste() && codici->count() > 0)
            throw CLI::ValidationError("codici", "--esporta e --importa non caricano: togliere i codici");
    });
}

int OpzioniDefinizioni::Esegui(DatabaseLink& db, FinestraMessaggi& messaggi) const
{
    if (!m_esporta.empty())
        return EsportaDefinizione(db, messaggi, QString::fromStdString(m_esporta[0]),
                                  QString::fromStdString(m_esporta[1]))
                == 0
            ? 0
            : 1;
    const bool sostituisci = m_sostituisci;
    auto decidi = [&](const QString& codice) {
        if (!sostituisci)
            messaggi.msgCom(
                QStringLiteral("La definizione %1 esiste già in questa ditta: --sostituisci per sostituirla")
                    .arg(codice),
                {QStringLiteral("&Ok")});
        return sostituisci;
    };
    QString codice;
    QJsonObject definizione;
    if (ImportaDefinizione(db, messaggi, QString::fromStdString(m_importa), decidi, &codice, &definizione) != 0)
        return 1;
    StampaIstruzioni(codice, definizione.value(QStringLiteral("QuivaFile")).toObject());
    return 0;
}
