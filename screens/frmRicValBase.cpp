#include "frmRicValBase.h"

#include "GestioneMaschere.h"
#include "Tastiera.h"
#include "frmQuiva.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {
QPushButton* Pulsante(const QString& testo, const char* nome, QWidget* padre)
{
    auto* p = new QPushButton(testo, padre);
    p->setObjectName(QLatin1String(nome));
    p->setAutoDefault(false);  // Enter moves between the answers
    return p;
}
}  // namespace

frmRicValBase::frmRicValBase(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmRicValBase"));
    setWindowTitle(DecoraTitolo(QStringLiteral("Richiesta Valori Base")));
    setModal(true);
    UsaTastieraComune(*this, frmQuiva::ContestoHelp);
    auto* layout = new QVBoxLayout(this);
    LabTitolo = new QLabel(QStringLiteral("Inserire i valori richiesti"), this);
    LabTitolo->setObjectName(QStringLiteral("LabTitolo"));
    QFont grassetto = LabTitolo->font();
    grassetto.setBold(true);
    LabTitolo->setFont(grassetto);
    layout->addWidget(LabTitolo);

    m_righe = new QGridLayout;
    m_righe->setColumnStretch(2, 1);
    for (int r = 0; r < RighePagina; ++r) {
        LabDef[r] = new QLabel(this);
        LabDef[r]->setObjectName(QStringLiteral("LabDef%1").arg(r));
        LabDef[r]->setTextFormat(Qt::PlainText);
        Lab[r] = new QLabel(this);
        Lab[r]->setObjectName(QStringLiteral("Lab%1").arg(r));
        Lab[r]->setTextFormat(Qt::PlainText);
        txt[r] = new QLineEdit(this);
        txt[r]->setObjectName(QStringLiteral("txt%1").arg(r));
        txt[r]->setMinimumWidth(Twip(3600));
        txt[r]->installEventFilter(this);
        DisponiRiga(r, false);
    }
    layout->addLayout(m_righe);

    auto* pagine = new QHBoxLayout;
    ComIndietro = Pulsante(QStringLiteral("&Indietro"), "ComIndietro", this);
    LabPagina = new QLabel(this);
    LabPagina->setObjectName(QStringLiteral("LabPagina"));
    LabPagina->setAlignment(Qt::AlignCenter);
    ComAvanti = Pulsante(QStringLiteral("A&vanti"), "ComAvanti", this);  // Alt+A is "&Annulla"
    pagine->addWidget(ComIndietro);
    pagine->addWidget(LabPagina, 1);
    pagine->addWidget(ComAvanti);
    layout->addLayout(pagine);

    auto* pulsanti = new QHBoxLayout;
    ComOk = Pulsante(QStringLiteral("&Ok"), "ComOk", this);
    ComAnnulla = Pulsante(QStringLiteral("&Annulla"), "ComAnnulla", this);
    pulsanti->addStretch();
    pulsanti->addWidget(ComOk);
    pulsanti->addWidget(ComAnnulla);
    layout->addLayout(pulsanti);

    connect(ComIndietro, &QPushButton::clicked, this, [this] { VaiAPagina(m_pagina - 1); });
    connect(ComAvanti, &QPushButton::clicked, this, [this] { VaiAPagina(m_pagina + 1); });
    connect(ComOk, &QPushButton::clicked, this, [this] {
        SalvaPagina();
        if (controllo && !controllo(m_risposte))
            return;
        obOk = true;
        accept();
    });
    connect(ComAnnulla, &QPushButton::clicked, this, [this] {
        obOk = false;
        reject();
    });
    connect(this, &QDialog::rejected, this, [this] { obOk = false; });
    MostraPagina();
}

void frmRicValBase::Imposta(const RaccoltaValBase& raccolta)
{
    m_richieste = raccolta.Richieste();
    oiNumRighe = raccolta.oiNumRighe();
    m_risposte.clear();
    for (const RichiestaBase& r : m_richieste)
        m_risposte << r.proposta;
    m_pagina = 0;
    MostraPagina();
}

QStringList frmRicValBase::Risposte()
{
    SalvaPagina();
    return m_risposte;
}

int frmRicValBase::NumeroPagine() const { return std::max(1, (oiNumRighe + RighePagina - 1) / RighePagina); }

void frmRicValBase::VaiAPagina(int pagina)
{
    if (pagina < 0 || pagina >= NumeroPagine() || pagina == m_pagina)
        return;
    SalvaPagina();
    m_pagina = pagina;
    MostraPagina();
}

void frmRicValBase::MostraRisposta(int indice)
{
    if (indice < 0 || indice >= oiNumRighe)
        return;
    VaiAPagina(indice / RighePagina);
    QLineEdit* campo = txt[indice % RighePagina];
    campo->setFocus();
    campo->selectAll();
}

void frmRicValBase::SalvaPagina()
{
    for (int r = 0; r < RighePagina; ++r) {
        const int n = m_pagina * RighePagina + r;
        if (n < m_risposte.size())
            m_risposte[n] = txt[r]->text();
    }
}

void frmRicValBase::MostraPagina()
{
    QStringList definizioni;
    for (const RichiestaBase& r : m_richieste)
        if (!definizioni.contains(r.codice, Qt::CaseInsensitive))
            definizioni << r.codice;
    const bool piuDefinizioni = definizioni.size() > 1;
    for (int r = 0; r < RighePagina; ++r) {
        const int n = m_pagina * RighePagina + r;
        const bool usata = n < static_cast<int>(m_richieste.size());
        LabDef[r]->setVisible(usata && piuDefinizioni);
        Lab[r]->setVisible(usata);
        txt[r]->setVisible(usata);
        LabDef[r]->setText(usata ? m_richieste[n].codice : QString());
        Lab[r]->setText(usata ? m_richieste[n].Didascalia() : QString());
        txt[r]->setText(usata ? m_risposte[n] : QString());
    }
    const bool piuPagine = NumeroPagine() > 1;
    // With several pages every page keeps the size of a full one.
    for (int r = 0; r < RighePagina; ++r)
        for (QWidget* w : {static_cast<QWidget*>(Lab[r]), static_cast<QWidget*>(txt[r])}) {
            QSizePolicy politica = w->sizePolicy();
            politica.setRetainSizeWhenHidden(piuPagine);
            w->setSizePolicy(politica);
        }
    ComIndietro->setVisible(piuPagine);
    ComAvanti->setVisible(piuPagine);
    LabPagina->setVisible(piuPagine);
    ComIndietro->setEnabled(m_pagina > 0);
    ComAvanti->setEnabled(m_pagina + 1 < NumeroPagine());
    LabPagina->setText(QStringLiteral("Pagina %1 di %2").arg(m_pagina + 1).arg(NumeroPagine()));
    if (!m_richieste.empty()) {
        txt[0]->setFocus();
        txt[0]->selectAll();
    }
    Dimensiona();
}

// Row r of the page: definition, label and box side by side; or, for a long
// label, the label across the row, wrapped, and the box under it.
void frmRicValBase::DisponiRiga(int r, bool sopra)
{
    for (QWidget* w : {static_cast<QWidget*>(LabDef[r]), static_cast<QWidget*>(Lab[r]), static_cast<QWidget*>(txt[r])})
        m_righe->removeWidget(w);
    m_righe->addWidget(LabDef[r], 2 * r, 0);
    Lab[r]->setWordWrap(sopra);
    if (sopra) {
        m_righe->addWidget(Lab[r], 2 * r, 1, 1, 2);
        m_righe->addWidget(txt[r], 2 * r + 1, 1, 1, 2);
    } else {
        m_righe->addWidget(Lab[r], 2 * r, 1);
        m_righe->addWidget(txt[r], 2 * r, 2);
    }
}

// A label stands beside its box up to a third of the screen; a longer one
// goes above it. The window is as wide as its title.
void frmRicValBase::Dimensiona()
{
    const QRect schermo = screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    const int accanto = std::max(schermo.width() / 3, Twip(2400));
    int colonna = Twip(2400);
    for (int r = 0; r < RighePagina; ++r) {
        const int serve = Lab[r]->fontMetrics().horizontalAdvance(Lab[r]->text()) + 4;
        const bool sopra = serve > accanto;
        DisponiRiga(r, sopra);
        Lab[r]->setMinimumWidth(sopra ? 0 : std::max(serve, Twip(2400)));
        if (!sopra && Lab[r]->isVisibleTo(this))
            colonna = std::max(colonna, serve);
    }
    setMinimumWidth(std::min(std::max(LarghezzaTitolo(windowTitle()), colonna + Twip(4200)), schermo.width()));
    layout()->activate();
    adjustSize();
}

bool frmRicValBase::eventFilter(QObject* oggetto, QEvent* evento)
{
    // Entering an answer box selects its whole text (after the click that
    // placed the cursor).
    if (evento->type() == QEvent::FocusIn)
        if (auto* campo = qobject_cast<QLineEdit*>(oggetto))
            QTimer::singleShot(0, campo, [campo] { SelezionaTesto(campo); });
    return QDialog::eventFilter(oggetto, evento);
}
