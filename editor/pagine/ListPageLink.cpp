#include "ListPageLink.h"

#include "CampiPagina.h"
#include "FormUtility.h"
#include "ListBrowser.h"
#include "PageEditor.h"

#include <QLineEdit>
#include <QWidget>

QString ModelloIniziaCon(const QString& testo)
{
    QString modello;
    for (const QChar c : testo) {
        if (c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('#') || c == QLatin1Char('['))
            modello += QLatin1Char('[') + c + QLatin1Char(']');
        else
            modello += c;
    }
    return modello + QLatin1Char('*');
}

ListPageLink::ListPageLink(QWidget& lista, ClienteLista& cliente, ListBrowser& browser)
    : QObject(&lista), m_lista(lista), m_cliente(cliente), m_browser(browser)
{
}

ListPageLink::~ListPageLink() { Chiusa(); }

void ListPageLink::RegistraFiltro(QLineEdit* casella, const QString& colonna, const QString& operatore)
{
    m_filtri.append(Filtro {casella, colonna, operatore});
}

QString ListPageLink::Where() const
{
    QStringList condizioni;
    for (const Filtro& f : m_filtri) {
        if (!f.casella || f.casella->text().isEmpty())
            continue;
        const QString testo = f.casella->text();
        if (f.operatore == QLatin1String("like*"))
            condizioni << f.colonna + QStringLiteral(" like ")
                    + FormUtility::SqlLiteral(ModelloIniziaCon(testo), TipiDato::String);
        else
            condizioni << f.colonna + QLatin1Char(' ') + f.operatore + QLatin1Char(' ')
                    + FormUtility::SqlLiteral(testo, TipiDato::String);
    }
    return condizioni.join(QStringLiteral(" and "));
}

bool ListPageLink::Comando(const QString& chiave)
{
    if (chiave == QLatin1String("Ricerca"))
        Ricerca();
    else if (chiave == QLatin1String("AzzSel")) {
        for (const Filtro& f : m_filtri)
            if (f.casella)
                f.casella->clear();
        if (!m_filtri.isEmpty() && m_filtri.first().casella)
            m_filtri.first().casella->setFocus();
    } else if (chiave == QLatin1String("Seleziona")) {
        PosizionaPagina();
        Torna();
    } else if (chiave == QLatin1String("Torna"))
        Torna();
    else
        return false;
    return true;
}

void ListPageLink::Ricerca()
{
    if (m_inChiusura || !m_cliente.VerSelez())
        return;
    m_browser.SettaRecordset(m_cliente.PrepSql(Where()));
}

void ListPageLink::impOggBase(PageEditor* pagina)
{
    m_pagina = pagina;
    if (pagina)
        pagina->CollegaLista(this);
}

QStringList ListPageLink::ListaKey() const
{
    QStringList chiave;
    if (!m_pagina)
        return chiave;
    for (CampoPagina* c : m_pagina->Campi().Chiave())
        chiave << m_browser.Valore(c->colonna);
    return chiave;
}

bool ListPageLink::PosizionaPagina() { return m_pagina && m_browser.Riga() > 0 && m_pagina->Posiziona(ListaKey()); }

void ListPageLink::SullaRigaDellaPagina()
{
    if (!m_pagina)
        return;
    const QStringList chiave = m_pagina->ChiaveCorrente();
    const QList<CampoPagina*> campi = m_pagina->Campi().Chiave();
    if (chiave.isEmpty() || chiave.size() != campi.size())
        return;
    for (int r = 0; r < m_browser.Conteggio(); ++r) {
        bool uguale = true;
        for (int k = 0; k < campi.size() && uguale; ++k)
            uguale = m_browser.Modello().Valore(r, campi[k]->colonna).compare(chiave[k], Qt::CaseInsensitive) == 0;
        if (uguale) {
            m_browser.VaiARiga(r);
            return;
        }
    }
}

void ListPageLink::Passo(const QString& comando)
{
    const int prima = m_browser.Riga();
    m_browser.Comando(comando);
    if (m_browser.Riga() == prima)
        return;  // first or last row already
    if (!PosizionaPagina())
        m_browser.VaiARiga(prima - 1);
}

void ListPageLink::Torna()
{
    m_lista.hide();
    if (m_pagina) {
        QWidget* finestra = qobject_cast<QWidget*>(m_pagina->parent());
        if (finestra) {
            finestra->raise();
            finestra->activateWindow();
        }
        m_pagina->ListaChiusa();
    }
}

void ListPageLink::Chiusa()
{
    m_inChiusura = true;
    if (m_pagina) {
        m_pagina->CollegaLista(nullptr);
        m_pagina->ListaChiusa();
    }
    m_pagina = nullptr;
}

void ListPageLink::MostraLista()
{
    if (m_browser.Sql().isEmpty())
        Ricerca();
    SullaRigaDellaPagina();
    m_lista.show();
    m_lista.raise();
    m_lista.activateWindow();
}

// Hidden after a choice, the list is still there to step through.
bool ListPageLink::ListaAperta() const { return !m_inChiusura && !m_browser.Sql().isEmpty(); }

void ListPageLink::ListaAvanti() { Passo(QStringLiteral("Successiva")); }

void ListPageLink::ListaIndietro() { Passo(QStringLiteral("Precedente")); }

int ControlloIntervallo(const QLineEdit& da, const QLineEdit& a)
{
    if (da.text().isEmpty() || a.text().isEmpty())
        return 0;
    return da.text().compare(a.text(), Qt::CaseInsensitive) > 0 ? 1 : 0;
}
