#include "frmAnteprima.h"

#include "AspettoMaschere.h"
#include "FinestraMessaggi.h"
#include "GestioneMaschere.h"
#include "Programma.h"
#include "PropostaDefinizione.h"

#include <QApplication>
#include <QDate>
#include <QDateTime>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTextBlock>
#include <QVBoxLayout>

namespace {

const QColor ColoreErrato(255, 205, 205);
const QColor ColoreScartata(255, 238, 238);
const QColor ColoreCampo[2] = {QColor(220, 232, 255), QColor(228, 246, 222)};
const QColor ColoreScelto(255, 214, 120);

QString TestoValore(const ValoreAnteprima& v)
{
    if (!v.impostato)
        return {};
    if (v.valore.isNull())
        return QStringLiteral("(nullo)");
    switch (v.valore.metaType().id()) {
    case QMetaType::QDate: return v.valore.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::QDateTime: return v.valore.toDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    case QMetaType::Double: return QLocale(QLocale::Italian).toString(v.valore.toDouble(), 'g', 15);
    default: return v.valore.toString();
    }
}

QTableWidgetItem* Cella(const QString& testo)
{
    auto* cella = new QTableWidgetItem(testo);
    cella->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return cella;
}

}  // namespace

ContestoQuiva ContestoCarico(const ContestoEditor& contesto)
{
    ContestoQuiva carico {contesto.db, contesto.messaggi, ImpostazioniDitta {}, {}, {}, false};
    if (const Programma* p = Programma::Corrente(); p && p->db.get() == &contesto.db) {
        carico.ditta = p->ditta;
        carico.driveDB = p->driveDB;
        carico.dirQuiva = p->dirSorgenti;
        carico.soloAsci = p->soloAsci.compare(QLatin1String("S"), Qt::CaseInsensitive) == 0;
    }
    return carico;
}

frmAnteprima::frmAnteprima(const ContestoEditor& contesto, const QString& codice, QWidget* parent)
    : Maschera(parent), m_ctx(contesto), m_codice(codice)
{
    Costruisci();
    setWindowTitle(QStringLiteral("Anteprima quivamento ") + codice);
    lblProposta->hide();
    ComSalva->hide();
}

frmAnteprima::frmAnteprima(const ContestoEditor& contesto, const QJsonObject& proposta, const QString& descrizione,
                           QWidget* parent)
    : Maschera(parent),
      m_ctx(contesto),
      m_codice(proposta.value(QStringLiteral("codice")).toString()),
      m_proposta(proposta)
{
    Costruisci();
    setWindowTitle(QStringLiteral("Crea da file: proposta per ") + m_codice);
    lblProposta->setText(descrizione + QStringLiteral("\nNulla è stato scritto: \"Salva\" crea la definizione."));
}

void frmAnteprima::Costruisci()
{
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmAnteprima"));
    osNome = QStringLiteral("frmAnteprima");
    auto* layout = new QVBoxLayout(this);

    lblProposta = new QLabel(this);
    lblProposta->setObjectName(QStringLiteral("lblProposta"));
    lblProposta->setWordWrap(true);
    layout->addWidget(lblProposta);

    auto* comandi = new QHBoxLayout;
    auto* etichetta = new QLabel(QStringLiteral("Righe da leggere:"), this);
    spnRighe = new QSpinBox(this);
    spnRighe->setObjectName(QStringLiteral("spnRighe"));
    spnRighe->setRange(1, 10000);
    spnRighe->setValue(RighePredefinite);
    ComAggiorna = new QPushButton(QStringLiteral("A&ggiorna"), this);
    ComAggiorna->setObjectName(QStringLiteral("ComAggiorna"));
    ComSalva = new QPushButton(QStringLiteral("&Salva"), this);
    ComSalva->setObjectName(QStringLiteral("ComSalva"));
    ComChiudi = new QPushButton(QStringLiteral("C&hiudi"), this);
    ComChiudi->setObjectName(QStringLiteral("ComChiudi"));
    comandi->addWidget(etichetta);
    comandi->addWidget(spnRighe);
    comandi->addWidget(ComAggiorna);
    comandi->addStretch(1);
    comandi->addWidget(ComSalva);
    comandi->addWidget(ComChiudi);
    for (QPushButton* b : {ComAggiorna, ComSalva, ComChiudi})
        b->setAutoDefault(false);
    layout->addLayout(comandi);

    grdRighe = new QTableWidget(this);
    grdRighe->setObjectName(QStringLiteral("grdRighe"));
    grdRighe->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdRighe->setSelectionMode(QAbstractItemView::SingleSelection);
    grdRighe->verticalHeader()->hide();
    grdRighe->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(grdRighe, 1);

    txtRiga = new QPlainTextEdit(this);
    txtRiga->setObjectName(QStringLiteral("txtRiga"));
    txtRiga->setReadOnly(true);
    txtRiga->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtRiga->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    txtRiga->setFixedHeight(txtRiga->fontMetrics().lineSpacing() * 4 + 16);
    layout->addWidget(txtRiga);

    lblEsito = new QLabel(this);
    lblEsito->setObjectName(QStringLiteral("lblEsito"));
    layout->addWidget(lblEsito);

    connect(ComAggiorna, &QPushButton::clicked, this, &frmAnteprima::Aggiorna);
    connect(spnRighe, &QSpinBox::editingFinished, this, [this] {
        if (m_righeLette != spnRighe->value())
            Aggiorna();
    });
    connect(ComChiudi, &QPushButton::clicked, this, &QWidget::close);
    connect(ComSalva, &QPushButton::clicked, this, &frmAnteprima::SalvaProposta_Click);
    connect(grdRighe, &QTableWidget::currentCellChanged, this, &frmAnteprima::MostraRiga);
    resize(Twip(12500), Twip(7000));
}

void frmAnteprima::Carica()
{
    helpContext = ContestoHelp;
    OpzioniMaschera opzioni;
    opzioni.soloLettura = false;
    opzioni.silenziosa = true;
    PreparaMaschera(*this, QString(), opzioni);
    Aggiorna();
}

QList<frmAnteprima*> frmAnteprima::Aperte(const QString& codice)
{
    QList<frmAnteprima*> aperte;
    for (QWidget* w : QApplication::allWidgets())
        if (auto* a = qobject_cast<frmAnteprima*>(w); a && a->m_proposta.isEmpty()
            && a->m_codice.compare(codice, Qt::CaseInsensitive) == 0)
            aperte << a;
    return aperte;
}

void frmAnteprima::Aggiorna()
{
    ContestoQuiva contesto = ContestoCarico(m_ctx);
    OpzioniAnteprima opzioni;
    opzioni.righe = m_righeLette = spnRighe->value();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        m_esito = m_proposta.isEmpty() ? Anteprima(contesto, m_codice, opzioni)
                                       : AnteprimaProposta(contesto, m_proposta, opzioni);
    } catch (const std::exception& errore) {
        m_esito = {};
        m_esito.esito = -1;
        QApplication::restoreOverrideCursor();
        m_ctx.messaggi.MsgErrfrm(errore, QStringLiteral("Anteprima ") + m_codice);
        Riempi();
        return;
    }
    QApplication::restoreOverrideCursor();
    Riempi();
}

void frmAnteprima::Riempi()
{
    m_slotUsati.clear();
    for (int s = 1; s <= 5; ++s)
        if (!m_esito.tabelle[s].isEmpty())
            m_slotUsati << s;
    const int nCampi = int(m_esito.campi.size());
    grdRighe->clear();
    grdRighe->setRowCount(int(m_esito.righe.size()));
    grdRighe->setColumnCount(ColonnaCampo(nCampi) + 1);
    QStringList titoli {QStringLiteral("Riga")};
    for (int s : m_slotUsati)
        titoli << m_esito.tabelle[s] + QStringLiteral(": scrittura");
    for (const CampoAnteprima& c : m_esito.campi)
        titoli << c.nome;
    titoli << QStringLiteral("Motivi dello scarto");
    grdRighe->setHorizontalHeaderLabels(titoli);

    int scartate = 0;
    for (int r = 0; r < int(m_esito.righe.size()); ++r) {
        const RigaAnteprima& riga = m_esito.righe[r];
        scartate += riga.Scartata() ? 1 : 0;
        grdRighe->setItem(r, 0, Cella(QString::number(riga.numero)));
        for (int k = 0; k < m_slotUsati.size(); ++k)
            grdRighe->setItem(r, 1 + k, Cella(TestoAzione(riga.azioni[m_slotUsati[k]])));
        for (int c = 0; c < nCampi && c < int(riga.valori.size()); ++c) {
            QTableWidgetItem* cella = Cella(TestoValore(riga.valori[c]));
            if (riga.valori[c].errato) {
                cella->setBackground(ColoreErrato);
                cella->setToolTip(riga.motivi.join(QLatin1Char('\n')));
            }
            grdRighe->setItem(r, ColonnaCampo(c), cella);
        }
        grdRighe->setItem(r, ColonnaCampo(nCampi), Cella(riga.motivi.join(QStringLiteral("; "))));
        if (riga.Scartata())
            for (int c : {0, ColonnaCampo(nCampi)})
                grdRighe->item(r, c)->setBackground(ColoreScartata);
    }
    grdRighe->resizeColumnsToContents();
    for (int c = 0; c < grdRighe->columnCount() - 1; ++c)
        grdRighe->setColumnWidth(c, std::min(grdRighe->columnWidth(c), 260));
    txtRiga->setVisible(m_esito.fissa);

    if (m_esito.esito != 0)
        lblEsito->setText(QStringLiteral("Anteprima non eseguita: vedere il messaggio"));
    else
        lblEsito->setText(
            (m_esito.righe.size() == 1 ? QStringLiteral("1 riga letta")
                                       : QStringLiteral("%1 righe lette").arg(m_esito.righe.size()))
            + (scartate == 1 ? QStringLiteral(", 1 scartata") : QStringLiteral(", %1 scartate").arg(scartate))
            + QStringLiteral(". Il database non è stato modificato."));
    if (!m_esito.righe.empty())
        grdRighe->setCurrentCell(0, 0);
    else
        txtRiga->clear();
}

void frmAnteprima::MostraRiga()
{
    const int r = grdRighe->currentRow();
    if (!m_esito.fissa || r < 0 || r >= int(m_esito.righe.size())) {
        txtRiga->clear();
        return;
    }
    const QString testo = m_esito.righe[r].testo;
    int larghezza = int(testo.size());
    for (const CampoAnteprima& c : m_esito.campi)
        larghezza = std::max(larghezza, c.inizio + c.lunghezza - 1);
    QStringList righe = Righello(larghezza);
    const int prima = int(righe.size());
    righe << testo;
    txtRiga->setPlainText(righe.join(QLatin1Char('\n')));

    // Each field's span on the line, the one of the chosen column stronger.
    const int scelto = grdRighe->currentColumn() - ColonnaCampo(0);
    const QTextBlock blocco = txtRiga->document()->findBlockByNumber(prima);
    QList<QTextEdit::ExtraSelection> spazi;
    int alterna = 0;
    for (int c = 0; c < int(m_esito.campi.size()); ++c) {
        const CampoAnteprima& campo = m_esito.campi[c];
        if (campo.inizio < 1 || campo.lunghezza < 1)
            continue;
        QTextEdit::ExtraSelection spazio;
        spazio.cursor = QTextCursor(blocco);
        const int inizio = std::min(campo.inizio - 1, int(testo.size()));
        const int fine = std::min(campo.inizio - 1 + campo.lunghezza, int(testo.size()));
        spazio.cursor.setPosition(blocco.position() + inizio);
        spazio.cursor.setPosition(blocco.position() + fine, QTextCursor::KeepAnchor);
        spazio.format.setBackground(c == scelto ? ColoreScelto : ColoreCampo[alterna++ % 2]);
        spazio.format.setToolTip(campo.nome);
        spazi << spazio;
    }
    txtRiga->setExtraSelections(spazi);
}

void frmAnteprima::SalvaProposta_Click()
{
    auto sostituisci = [this](const QString& codice) {
        return m_ctx.messaggi.msgCom(QStringLiteral("La definizione ") + codice
                                         + QStringLiteral(" esiste già: sostituirla con quella proposta?"),
                                     {QStringLiteral("&Si"), QStringLiteral("&No")})
            == 1;
    };
    try {
        if (SalvaProposta(m_ctx.db, m_ctx.messaggi, m_proposta, sostituisci) != 0)
            return;
    } catch (const std::exception& errore) {
        m_ctx.messaggi.MsgErrfrm(errore, QStringLiteral("Crea da file ") + m_codice);
        return;
    }
    emit Salvata(m_codice);
    close();
}
