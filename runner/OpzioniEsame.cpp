#include "OpzioniEsame.h"

#include "AnteprimaQuiva.h"
#include "ContestoQuiva.h"
#include "FileDefinizione.h"
#include "FinestraMessaggi.h"
#include "FormUtility.h"
#include "PropostaDefinizione.h"
#include "VerificaEditor.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <cstdio>

namespace {

void Stampa(const QString& testo)
{
    std::fputs(testo.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace

void OpzioniEsame::Aggiungi(CLI::App& cli)
{
    CLI::Option* anteprima =
        cli.add_option("--anteprima", m_anteprima,
                       "Mostra che cosa caricherebbero le prime righe del file della definizione CODICE, senza scrivere")
            ->type_name("CODICE");
    cli.add_option("--righe", m_righe, "Con --anteprima: quante righe mostrare (20)")
        ->type_name("N")
        ->needs(anteprima);
    CLI::Option* verifica =
        cli.add_option("--verifica", m_verifica, "Controlla la definizione CODICE; esce con 1 se trova problemi")
            ->type_name("CODICE");
    CLI::Option* crea = cli.add_option("--crea-da-file", m_creaDaFile,
                                       "Propone dal file FILE una definizione per la tabella --tabella e la salva "
                                       "con il codice indicato")
                            ->type_name("FILE");
    cli.add_option("--tabella", m_tabella, "Con --crea-da-file: la tabella di destinazione")
        ->type_name("TABELLA")
        ->needs(crea);
    anteprima->excludes(verifica)->excludes(crea);
    verifica->excludes(crea);
    CLI::Option* codici = cli.get_option("codici");
    cli.final_callback([this, codici] {  // the parse-complete one is OpzioniDefinizioni's
        if ((!m_anteprima.empty() || !m_verifica.empty()) && codici->count() > 0)
            throw CLI::ValidationError("codici", "--anteprima e --verifica non caricano: togliere i codici");
        if (!m_creaDaFile.empty() && (codici->count() != 1 || m_tabella.empty()))
            throw CLI::ValidationError("--crea-da-file", "vuole --tabella e un solo codice, quello da creare");
    });
}

int OpzioniEsame::Esegui(ContestoQuiva& contesto, ValueStore& valori, const QString& codice,
                             bool sostituisci) const
{
    try {
        if (!m_anteprima.empty()) {
            const QString definizione = QString::fromStdString(m_anteprima);
            const EsitoAnteprima esito = ::Anteprima(contesto, definizione, {m_righe, &valori, {}});
            if (esito.esito != 0)
                return 1;
            Stampa(TestoAnteprima(definizione, esito));
            Stampa(QStringLiteral("Anteprima terminata: il database non è stato modificato"));
            return 0;
        }
        if (!m_verifica.empty()) {
            const QString definizione = QString::fromStdString(m_verifica);
            const EsitoVerifica esito = VerificaCompleta(contesto, definizione);
            if (esito.lettura != 0)
                return 1;
            Stampa(TestoVerifica(definizione, esito));
            return esito.problemi.empty() ? 0 : 1;
        }
        const QString origine = QFileInfo(QString::fromStdString(m_creaDaFile)).absoluteFilePath();
        const QString tabella = QString::fromStdString(m_tabella);
        const PropostaDefinizione proposta = ProponiDaFile(contesto.db, origine, tabella);
        std::fputs((TestoProposta(proposta) + u'\n').toUtf8().constData(), stderr);
        const auto decidi = [&](const QString& esistente) {
            if (!sostituisci)
                contesto.messaggi.msgCom(
                    QStringLiteral("La definizione %1 esiste già in questa ditta: --sostituisci per sostituirla")
                        .arg(esistente),
                    {QStringLiteral("&Ok")});
            return sostituisci;
        };
        if (SalvaProposta(contesto.db, contesto.messaggi, DefinizioneProposta(proposta, codice, tabella, origine),
                          decidi)
            != 0)
            return 1;
        Stampa(QString::fromUtf8(
            QJsonDocument(FileDefinizione::Leggi(contesto.db, codice)).toJson(QJsonDocument::Indented).trimmed()));
        return 0;
    } catch (const std::exception& errore) {
        contesto.messaggi.MsgErrfrm(errore);
        return 1;
    }
}
