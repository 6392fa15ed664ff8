#include "frmVerErrori.h"

#include "ControlliSchermo.h"
#include "DatabaseLink.h"
#include "FinestraMessaggi.h"
#include "FormUtility.h"
#include "GestioneMaschere.h"
#include "ModelloRecordset.h"
#include "ScartiQuiva.h"
#include "SceltaFile.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>

namespace {
const QString Ok = QStringLiteral("&Ok");

QString SqlCodice(const QString& codice)
{
    return QStringLiteral(" Where Tabella = ") + FormUtility::SqlLiteral(codice, TipiDato::String);
}
}  // namespace

frmVerErrori::frmVerErrori(const ContestoQuiva& contesto, QWidget* parent)
    : Maschera(parent), m_ctx(contesto), m_rs(contesto.db)
{
    setObjectName(QStringLiteral("frmVerErrori"));
    osNome = QStringLiteral("frmVerErrori");
    setWindowTitle(QStringLiteral("Errori Quivamento dati"));
    auto* layout = new QVBoxLayout(this);

    auto* riga = new QHBoxLayout;
    Label2 = new QLabel(QStringLiteral("Codice Quivamento:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    CobCodice = new QComboBox(this);
    CobCodice->setObjectName(QStringLiteral("CobCodice"));
    CobCodice->setEditable(true);
    CobCodice->setInsertPolicy(QComboBox::NoInsert);
    CobCodice->setMinimumWidth(Twip(2400));
    CobCodice->installEventFilter(this);
    connect(CobCodice, &QComboBox::activated, this, [this] { PrepGrid(); });
    LabRighe = new QLabel(this);
    LabRighe->setObjectName(QStringLiteral("LabRighe"));
    riga->addWidget(Label2);
    riga->addWidget(CobCodice);
    riga->addStretch();
    riga->addWidget(LabRighe);
    layout->addLayout(riga);

    dbgErrori = NuovaGriglia("dbgErrori", this);
    m_modello = ModelloGriglia(dbgErrori);
    layout->addWidget(dbgErrori, 1);

    auto* pulsanti = new QHBoxLayout;
    ComSalva = NuovoPulsante(QStringLiteral("&Salva righe scartate..."), "ComSalva", this);
    comOk = NuovoPulsante(QStringLiteral("&Cancella Errori"), "comOk", this);
    ComAnnulla = NuovoPulsante(QStringLiteral("&Esci"), "ComAnnulla", this);
    pulsanti->addWidget(ComSalva);
    pulsanti->addStretch();
    pulsanti->addWidget(comOk);
    pulsanti->addWidget(ComAnnulla);
    layout->addLayout(pulsanti);
    connect(comOk, &QPushButton::clicked, this, &frmVerErrori::comOk_Click);
    connect(ComSalva, &QPushButton::clicked, this, &frmVerErrori::ComSalva_Click);
    connect(ComAnnulla, &QPushButton::clicked, this, &frmVerErrori::ComAnnulla_Click);

    ChiediFile = [this](const QString& proposta) {
        return ScegliFile(this, ModoScelta::Salva, QStringLiteral("Salva righe scartate"), proposta,
                          QStringLiteral("File di testo (*.txt);;Tutti i file (*)"), m_ctx.messaggi);
    };
    resize(Twip(11400), Twip(6000));
}

frmVerErrori::~frmVerErrori() { m_modello->Imposta(nullptr); }

void frmVerErrori::Carica()
{
    helpContext = ContestoHelp;
    oiLoadOk = -1;
    OpzioniMaschera opzioni;
    opzioni.scala = true;
    PreparaMaschera(*this, QString(), opzioni);
    ImpostaCombo();
    oiLoadOk = 1;
}

void frmVerErrori::PassaA() { PassaAlMenu(QStringLiteral("Errori Quivamento Dati"), osNome, osKeySec); }

void frmVerErrori::ImpostaCombo()
{
    CobCodice->clear();
    try {
        RecordsetManager rs(m_ctx.db);
        const QString nome =
            rs.Apri(QStringLiteral("Select Tabella From ErroriQuivamento GROUP BY Tabella ORDER BY Tabella"));
        if (rs.Vuoto(nome))
            CobCodice->addItem(NessunaScelta);
        for (; !rs.Fine(nome); rs.Successivo(nome))
            CobCodice->addItem(rs.Leggi(nome, QStringLiteral("Tabella")));
        rs.Chiudi(nome);
    } catch (const std::exception& errore) {
        m_ctx.messaggi.MsgErrfrm(errore);
    }
    CobCodice->setCurrentIndex(-1);
    ApriGriglia(QString());
}

void frmVerErrori::PrepGrid()
{
    const QString codice = CobCodice->currentText();
    if (codice.compare(NessunaScelta, Qt::CaseInsensitive) == 0)
        return;
    ApriGriglia(codice);
}

// The rows of a definition, or, with no code, none: the grid keeps its
// column headers either way.
void frmVerErrori::ApriGriglia(const QString& codice)
{
    try {
        m_modello->Imposta(nullptr);
        m_rs.Chiudi(m_nomeRs);
        m_nomeRs.clear();
        m_codiceGriglia.clear();
        m_nomeRs = m_rs.Apri(QStringLiteral("Select * from ErroriQuivamento")
                             + (codice.isEmpty() ? QStringLiteral(" Where 1 = 0") : SqlCodice(codice)));
        m_codiceGriglia = codice;
        m_modello->Imposta(&m_rs.Oggetto(m_nomeRs));
        LarghezzeColonne(dbgErrori, {{"Tabella", 1000}, {"Riga", 4800}, {"Errore", 4800}});
    } catch (const std::exception& errore) {
        m_ctx.messaggi.MsgErrfrm(errore);
    }
    MostraConteggio();
}

QString frmVerErrori::TestoConteggio(int righe, int errori)
{
    QString testo = righe == 1 ? QStringLiteral("1 riga scartata") : QStringLiteral("%1 righe scartate").arg(righe);
    if (errori != righe)
        testo += errori == 1 ? QStringLiteral(" (1 errore)") : QStringLiteral(" (%1 errori)").arg(errori);
    return testo;
}

void frmVerErrori::MostraConteggio()
{
    int righe = 0;
    try {
        if (!m_codiceGriglia.isEmpty())
            righe = static_cast<int>(ScartiQuiva::Righe(m_ctx.db, m_codiceGriglia).size());
    } catch (const std::exception&) {
        // the grid has already reported the database's trouble
    }
    // A line rejected for several reasons is one line with as many rows.
    LabRighe->setText(TestoConteggio(righe, m_modello->rowCount()));
    ComSalva->setEnabled(righe > 0);
}

bool frmVerErrori::eventFilter(QObject* oggetto, QEvent* evento)
{
    // Leaving the combo shows the rows of a typed code; a popup taking the
    // focus is not leaving.
    if (oggetto == CobCodice && evento->type() == QEvent::FocusOut
        && static_cast<QFocusEvent*>(evento)->reason() != Qt::PopupFocusReason
        && !CobCodice->currentText().trimmed().isEmpty())
        PrepGrid();
    return Maschera::eventFilter(oggetto, evento);
}

void frmVerErrori::comOk_Click()
{
    const QString codice = CobCodice->currentText();
    if (codice.trimmed().isEmpty()) {
        m_ctx.messaggi.msgCom(QStringLiteral("Manca il codice di quivamento"), {Ok});
        CobCodice->setFocus();
        return;
    }
    if (codice.compare(NessunaScelta, Qt::CaseInsensitive) == 0) {
        m_ctx.messaggi.msgCom(QStringLiteral("Nessun quivamento ha registrato degli errori"), {Ok});
        CobCodice->setFocus();
        return;
    }
    if (oiAbilRW == 0) {  // launched with "/RO"
        m_ctx.messaggi.msgCom(
            QStringLiteral("Cancellazione non consentita: il programma è aperto in sola consultazione"), {Ok});
        return;
    }
    if (m_ctx.messaggi.msgCom(QStringLiteral("Confermi cancellazione messaggi di errore"),
                              {Ok, QStringLiteral("&Annulla")})
        == 2)
        return;
    setCursor(Qt::BusyCursor);
    try {
        m_ctx.db.Esegui(QStringLiteral("Delete * from ErroriQuivamento") + SqlCodice(codice));
        // The grid lets go of the deleted rows.
        ApriGriglia(QString());
        CobCodice->setFocus();
    } catch (const std::exception& errore) {
        m_ctx.messaggi.MsgErrfrm(errore);
    }
    unsetCursor();
}

void frmVerErrori::ComSalva_Click()
{
    try {
        if (m_codiceGriglia.isEmpty() || ScartiQuiva::Righe(m_ctx.db, m_codiceGriglia).isEmpty()) {
            m_ctx.messaggi.msgCom(QStringLiteral("Nessuna riga scartata da salvare"), {Ok});
            return;
        }
        const QString proposta =
            ScartiQuiva::PercorsoProposto(ScartiQuiva::Origine(m_ctx, m_codiceGriglia), m_codiceGriglia);
        const QString percorso = ChiediFile(proposta);
        if (percorso.isEmpty())
            return;
        const int righe = ScartiQuiva::Salva(m_ctx, m_codiceGriglia, percorso);
        m_ctx.messaggi.msgCom(
            (righe == 1 ? QStringLiteral("1 riga salvata in %1") : QStringLiteral("%1 righe salvate in %2").arg(righe))
                .arg(percorso),
            {Ok});
    } catch (const std::exception& errore) {
        m_ctx.messaggi.MsgErrfrm(errore);
    }
}

void frmVerErrori::ComAnnulla_Click() { close(); }
