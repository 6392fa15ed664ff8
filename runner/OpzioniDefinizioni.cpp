#include "OpzioniDefinizioni.h"

#include "FileDefinizione.h"
#include "FinestraMessaggi.h"

void OpzioniDefinizioni::Aggiungi(CLI::App& cli)
{
    CLI::Option* esporta = cli.add_option("--esporta", m_esporta, "Scrive la definizione CODICE nel file FILE (JSON)")
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
    return ImportaDefinizione(db, messaggi, QString::fromStdString(m_importa), decidi) == 0 ? 0 : 1;
}
