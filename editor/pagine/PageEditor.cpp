#include "PageEditor.h"

#include "BarraComandi.h"
#include "DatabaseLink.h"
#include "ErroreRun.h"
#include "FinestraMessaggi.h"
#include "RichiestaTesto.h"
#include "Tastiera.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

PageEditor::PageEditor(QWidget& schermo, ClientePagina& cliente, FinestraMessaggi& messaggi, RichiestaTesto* domande)
    : PaginaBase(schermo, cliente, messaggi), m_domande(domande)
{
}

PageEditor::~PageEditor() = default;

void PageEditor::Avvia()
{
    AvviaBase();
    Prepara(0);
}

QList<ColonnaChiave> PageEditor::ColonneChiave()
{
    QList<ColonnaChiave> chiave;
    for (CampoPagina* c : m_campi.Chiave())
        chiave << ColonnaChiave {c->colonna, c->attributi.tipo};
    return chiave;
}

ArchivioPagina& PageEditor::Archivio()
{
    if (!m_archivio) {
        if (!m_db)
            throw ErroreRun(CodiciErrore::ErroreGenerico, QStringLiteral("Pagina senza database"));
        m_archivio = std::make_unique<ArchivioPagina>(*m_db, m_tabella, ColonneChiave());
    }
    return *m_archivio;
}

void PageEditor::Esegui(const QString& chiave)
{
    using Verso = ArchivioPagina::Verso;
    if (chiave == QLatin1String("Ricerca")) {
        if (m_flagOpe == 0)
            Cerca();
        else if (ChiediSalvataggio())
            Prepara(0);
    } else if (chiave == QLatin1String("Nuovo")) {
        if (!m_soloLettura && ChiediSalvataggio())
            Prepara(2);
    } else if (chiave == QLatin1String("Salva")) {
        if (!m_soloLettura)
            Salva();
    } else if (chiave == QLatin1String("Cancella")) {
        if (!m_soloLettura)
            Cancella();
    } else if (chiave == QLatin1String("Annulla")) {
        Annulla();
    } else if (chiave == QLatin1String("Duplica")) {
        if (!m_soloLettura)
            Duplica();
    } else if (chiave == QLatin1String("VarKey")) {
        if (!m_soloLettura)
            VariaChiave();
    } else if (chiave == QLatin1String("Lista")) {
        if (!m_lista && apriLista)
            apriLista();
        if (m_lista)
            m_lista->MostraLista();
        AggiornaBarra();
    } else if (chiave == QLatin1String("ListaAvanti") || chiave == QLatin1String("ListaInd")) {
        if (m_lista && m_lista->ListaAperta()) {
            if (chiave == QLatin1String("ListaAvanti"))
                m_lista->ListaAvanti();
            else
                m_lista->ListaIndietro();
        }
    } else if (chiave == QLatin1String("Inizio")) {
        Naviga(Verso::Primo);
    } else if (chiave == QLatin1String("Precedente")) {
        Naviga(Verso::Precedente);
    } else if (chiave == QLatin1String("Successivo")) {
        Naviga(Verso::Successivo);
    } else if (chiave == QLatin1String("Fine")) {
        Naviga(Verso::Ultimo);
    } else if (chiave == QLatin1String("Chiudi")) {
        m_cliente.ChiudiFrm();
    } else if (chiave == QLatin1String("Menu")) {
        m_cliente.MenuFrm();
    }
}

QString PageEditor::WhereRicerca()
{
    QStringList condizioni;
    for (CampoPagina& c : m_campi.Tutti()) {
        if (c.txt->text().trimmed().isEmpty())
            continue;
        const QVariant valore = m_campi.ValoreDaScrivere(c);
        if (valore.isNull())
            continue;  // a number that is not one: no condition
        condizioni << c.colonna + QLatin1Char(' ') + c.attributi.operatore + QLatin1Char(' ')
                + FormUtility::SqlLiteral(valore, c.attributi.tipo);
    }
    return condizioni.join(QStringLiteral(" and "));
}

void PageEditor::Cerca()
{
    // A value in error gives no condition: searching without it would
    // show a row the user did not ask for.
    QString messaggio;
    for (CampoPagina& c : m_campi.Tutti())
        m_campi.Valida(c, messaggio);
    if (CampoPagina* errato = m_campi.PrimoErrato()) {
        Avviso(QStringLiteral("Valore non valido nel campo '") + errato->nome
               + QStringLiteral("': ricerca non eseguita"));
        errato->txt->setFocus();
        return;
    }
    if (auto riga = Archivio().Cerca(WhereRicerca())) {
        MostraRiga(*riga);
        return;
    }
    bool chiaveCompleta = true;
    for (CampoPagina* c : m_campi.Chiave())
        chiaveCompleta = chiaveCompleta && !c->txt->text().trimmed().isEmpty();
    if (!chiaveCompleta || m_soloLettura) {
        Avviso(QStringLiteral("Nessun dato trovato"));
        return;
    }
    // A key that is not there yet: a new row with it.
    Prepara(2);
    Stato(QStringLiteral("Nuovo dato: completare e salvare"));
}

void PageEditor::Prepara(int modo)
{
    Prima(EventiPagina::Preparato, {modo});
    if (modo == 0)
        m_campi.Svuota();
    else
        m_campi.ApplicaPredefiniti();
    m_chiaveCorrente.clear();
    m_chiaveAperta = false;
    ImpostaStato(modo);
    m_campi.Fotografa();
    Dopo(EventiPagina::Preparato, {modo});
}

void PageEditor::MostraRiga(const QVariantMap& riga)
{
    m_campi.Mostra(riga);
    m_chiaveCorrente = m_campi.ValoriChiave();
    m_chiaveAperta = false;
    ImpostaStato(1);
    m_campi.Fotografa();
    Stato(QString());
    Dopo(EventiPagina::Mostrato, {1});
}

void PageEditor::StatoCambiato()
{
    const int stato = m_flagOpe;
    // Fields take typing for a search, a new row, or a change when allowed;
    // the key of a shown row only after "VarKey".
    for (CampoPagina& c : m_campi.Tutti()) {
        const bool chiave = c.attributi.chiave > 0;
        const bool scrivibile = stato == 0 || (!m_soloLettura && (stato == 2 || !chiave || m_chiaveAperta));
        c.txt->setReadOnly(!scrivibile);
        m_campi.Colora(c, c.errato);
    }
    if (m_etichetta)
        m_etichetta->setText(stato == 0       ? QStringLiteral("Ricerca")
                                 : stato == 1 ? QStringLiteral("Variazione")
                                              : QStringLiteral("Inserimento"));
    AggiornaBarra();
    Dopo(EventiPagina::ChiaveBloccata, {m_chiaveAperta ? 1 : 0});
}

void PageEditor::AggiornaBarra()
{
    if (!m_barra)
        return;
    const bool riga = m_flagOpe == 1;
    m_barra->Abilita(QStringLiteral("Salva"), m_flagOpe != 0);
    m_barra->Abilita(QStringLiteral("Cancella"), riga);
    m_barra->Abilita(QStringLiteral("Duplica"), riga);
    m_barra->Abilita(QStringLiteral("VarKey"), riga && !m_chiaveAperta);
    m_barra->Abilita(QStringLiteral("Nuovo"), true);
    const bool listaAperta = m_lista && m_lista->ListaAperta();
    m_barra->Abilita(QStringLiteral("ListaInd"), listaAperta);
    m_barra->Abilita(QStringLiteral("ListaAvanti"), listaAperta);
}

bool PageEditor::Salva()
{
    if (m_flagOpe == 0 || (m_flagOpe == 1 && VarDati().isEmpty()))
        return true;
    if (m_flagOpe == 2)
        m_campi.ApplicaPredefiniti();
    if (!ControllaPerSalvare())
        return false;
    const QStringList nuova = m_campi.ValoriChiave();
    const bool chiaveNuova = m_flagOpe == 2 || nuova != m_chiaveCorrente;
    // Keys compare without case: a change of case alone finds the row
    // itself, and is a rename.
    bool soloMaiuscole = m_flagOpe == 1 && nuova.size() == m_chiaveCorrente.size();
    for (int k = 0; soloMaiuscole && k < nuova.size(); ++k)
        soloMaiuscole = nuova[k].compare(m_chiaveCorrente[k], Qt::CaseInsensitive) == 0;
    if (chiaveNuova && !soloMaiuscole && Archivio().Leggi(nuova)) {
        Avviso(QStringLiteral("Esiste già un dato con questa chiave"));
        return false;
    }
    {
        TransazioneUnica transazione(*m_db);
        if (m_flagOpe == 1 && chiaveNuova
            && Prima(EventiPagina::ChiaveCambiata, {QVariant(m_chiaveCorrente), QVariant(nuova)}) != 0)
            return false;
        Archivio().Scrivi(m_flagOpe == 2 ? QStringList() : m_chiaveCorrente, ValoriDaScrivere());
        transazione.Conferma();
    }
    if (auto riga = Archivio().Leggi(nuova))
        MostraRiga(*riga);
    Stato(QStringLiteral("Dati salvati"));
    return true;
}

void PageEditor::Cancella()
{
    if (m_flagOpe != 1)
        return;
    if (m_messaggi.msgCom(QStringLiteral("Confermi la cancellazione del dato ")
                              + m_chiaveCorrente.join(QStringLiteral(" / ")) + QLatin1Char('?'),
                          {QStringLiteral("&Si"), QStringLiteral("&No")})
        != 1)
        return;
    int esito = 0;
    try {
        TransazioneUnica transazione(*m_db);
        if (Prima(EventiPagina::Cancellazione, {1}) == 0) {
            Archivio().Cancella(m_chiaveCorrente);
            transazione.Conferma();
            esito = 1;
        }
    } catch (...) {
        Dopo(EventiPagina::Cancellazione, {1, 0});
        throw;
    }
    Dopo(EventiPagina::Cancellazione, {1, esito});
    if (esito == 1) {
        Prepara(0);
        Stato(QStringLiteral("Dato cancellato"));
    }
}

void PageEditor::Annulla()
{
    if (m_flagOpe == 1 && !m_chiaveCorrente.isEmpty()) {
        if (auto riga = Archivio().Leggi(m_chiaveCorrente)) {
            MostraRiga(*riga);
            return;
        }
    }
    Prepara(0);
}

void PageEditor::Duplica()
{
    if (m_flagOpe != 1 || !ChiediSalvataggio() || !m_domande)
        return;
    const QStringList origine = m_chiaveCorrente;
    QStringList nuova;
    for (CampoPagina* c : m_campi.Chiave()) {
        const auto risposta = m_domande->Chiedi(QStringLiteral("Nuovo valore di '") + c->nome + QStringLiteral("':"),
                                                QStringLiteral("Duplica"), QString());
        if (!risposta || risposta->trimmed().isEmpty()) {
            Dopo(EventiPagina::Duplicazione, {3});
            return;
        }
        nuova << risposta->trimmed();
    }
    if (Archivio().Leggi(nuova)) {
        Avviso(QStringLiteral("Esiste già un dato con questa chiave"));
        return;
    }
    try {
        TransazioneUnica transazione(*m_db);
        if (Prima(EventiPagina::Duplicazione, {1}) != 0)
            return;
        QVariantMap chiave;
        const QList<CampoPagina*> campiChiave = m_campi.Chiave();
        for (int i = 0; i < campiChiave.size(); ++i) {
            chiave.insert(campiChiave[i]->colonna, nuova[i]);
            campiChiave[i]->txt->setText(nuova[i]);
        }
        CopiaRighe(*m_db,
                   QStringLiteral("Select * from ") + m_tabella + QStringLiteral(" where ")
                       + Archivio().WhereChiave(origine),
                   chiave);
        Dopo(EventiPagina::Duplicazione, {1});
        transazione.Conferma();
    } catch (...) {
        if (auto riga = Archivio().Leggi(origine))
            MostraRiga(*riga);
        throw;
    }
    if (auto riga = Archivio().Leggi(nuova))
        MostraRiga(*riga);
    Stato(QStringLiteral("Dato duplicato"));
}

void PageEditor::VariaChiave()
{
    if (m_flagOpe != 1)
        return;
    m_chiaveAperta = true;
    ImpostaStato(1);
    if (const QList<CampoPagina*> chiave = m_campi.Chiave(); !chiave.isEmpty())
        chiave.first()->txt->setFocus();
}

void PageEditor::Naviga(ArchivioPagina::Verso verso)
{
    if (!ChiediSalvataggio())
        return;
    const QStringList da = m_flagOpe == 1 ? m_chiaveCorrente : QStringList();
    if (auto riga = Archivio().Vicino(verso, da))
        MostraRiga(*riga);
    else
        Stato(verso == ArchivioPagina::Verso::Precedente ? QStringLiteral("Inizio archivio")
                                                         : QStringLiteral("Fine archivio"));
}

bool PageEditor::Posiziona(const QStringList& chiave)
{
    if (!ChiediSalvataggio())
        return false;
    auto riga = Archivio().Leggi(chiave);
    if (!riga) {
        Avviso(QStringLiteral("Il dato scelto non esiste più"));
        return false;
    }
    MostraRiga(*riga);
    return true;
}
