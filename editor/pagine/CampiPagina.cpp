#include "CampiPagina.h"

#include "FormUtilityAvvio.h"

#include <QLineEdit>
#include <QPalette>
#include <QStyle>
#include <algorithm>
#include <cmath>

QString TestoCampo(const QVariant& valore, const AttributiCampo& attributi)
{
    if (FormUtility::IsVuoto(valore))
        return {};
    if (TipiDato::IsNumerico(attributi.tipo) && !attributi.formato.isEmpty()) {
        bool ok = false;
        const double numero = valore.toDouble(&ok);
        if (ok)
            return numero == 0 ? QStringLiteral("0") : FormUtility::FormattaNumero(numero, attributi.formato);
    }
    return FormUtility::TestoValore(valore);
}

void CampiPagina::Registra(int indice, QLineEdit* txt, const QString& colonna, const QString& nome,
                           const AttributiCampo& attributi)
{
    m_campi.append(CampoPagina {indice, txt, colonna, nome.isEmpty() ? colonna : nome, attributi});
}

CampoPagina* CampiPagina::DiIndice(int indice)
{
    for (CampoPagina& c : m_campi)
        if (c.indice == indice)
            return &c;
    return nullptr;
}

CampoPagina* CampiPagina::DiCasella(const QObject* casella)
{
    for (CampoPagina& c : m_campi)
        if (c.txt == casella)
            return &c;
    return nullptr;
}

CampoPagina* CampiPagina::DiColonna(const QString& colonna)
{
    for (CampoPagina& c : m_campi)
        if (c.colonna.compare(colonna, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

QList<CampoPagina*> CampiPagina::Chiave()
{
    QList<CampoPagina*> chiave;
    for (CampoPagina& c : m_campi)
        if (c.attributi.chiave > 0)
            chiave << &c;
    std::stable_sort(chiave.begin(), chiave.end(), [](const CampoPagina* a, const CampoPagina* b) {
        return a->attributi.chiave < b->attributi.chiave;
    });
    return chiave;
}

QStringList CampiPagina::ValoriChiave()
{
    QStringList valori;
    for (CampoPagina* c : Chiave())
        valori << c->txt->text();
    return valori;
}

void CampiPagina::Svuota()
{
    for (CampoPagina& c : m_campi) {
        c.txt->clear();
        Colora(c, false);
    }
}

void CampiPagina::ApplicaPredefiniti()
{
    for (CampoPagina& c : m_campi)
        if (c.txt->text().isEmpty() && !c.attributi.predefinito.isEmpty())
            c.txt->setText(c.attributi.predefinito);
}

void CampiPagina::Mostra(const QVariantMap& riga)
{
    for (CampoPagina& c : m_campi) {
        QVariant valore;
        for (auto it = riga.cbegin(); it != riga.cend(); ++it)
            if (it.key().compare(c.colonna, Qt::CaseInsensitive) == 0)
                valore = it.value();
        c.txt->setText(TestoCampo(valore, c.attributi));
        c.txt->setCursorPosition(0);
        Colora(c, false);
    }
}

QVariant CampiPagina::ValoreDaScrivere(const CampoPagina& campo) const
{
    const QString testo = campo.txt->text();
    if (TipiDato::IsNumerico(campo.attributi.tipo)) {
        if (testo.trimmed().isEmpty())
            return {};
        if (auto numero = FormUtility::TestoANumero(testo.trimmed(), campo.attributi.tipo))
            return *numero;
        return {};
    }
    if (campo.attributi.tipo == TipiDato::Date) {
        if (testo.trimmed().isEmpty())
            return {};
        if (auto data = FormUtility::TestoAData(testo.trimmed()))
            return *data;
        return {};
    }
    return testo;
}

bool CampiPagina::Valida(CampoPagina& campo, QString& messaggio)
{
    const QString testo = campo.txt->text().trimmed();
    bool ok = true;
    if (!testo.isEmpty() && TipiDato::IsNumerico(campo.attributi.tipo)) {
        const auto numero = FormUtility::TestoANumero(testo, campo.attributi.tipo);
        ok = numero.has_value();
        // A whole-number field stores what was typed or refuses it: "2,5"
        // is not silently rounded.
        const bool intero = campo.attributi.tipo == TipiDato::Integer || campo.attributi.tipo == TipiDato::Long;
        if (ok && intero) {
            const auto esatto = FormUtility::TestoADouble(testo);
            ok = esatto && *esatto == std::trunc(*esatto);
        }
        if (ok && campo.attributi.senzaSegno && numero->toDouble() < 0)
            ok = false;
        if (ok && campo.attributi.dimensione != 0) {
            const double n = numero->toDouble();
            const long long cifre = QString::number(static_cast<long long>(std::abs(n))).size();
            ok = cifre <= std::abs(campo.attributi.dimensione) && (n >= 0 || campo.attributi.dimensione < 0);
        }
        if (!ok)
            messaggio = QStringLiteral("Campo numerico: valore non valido");
    } else if (!testo.isEmpty() && campo.attributi.tipo == TipiDato::Date && !FormUtility::TestoAData(testo)) {
        ok = false;
        messaggio = QStringLiteral("Data non valida");
    }
    campo.avviso = false;
    if (ok && controllo) {
        const QString rifiuto = controllo(campo.indice, campo.txt->text());
        campo.avviso = !rifiuto.isEmpty();
        if (campo.avviso) {
            ok = false;
            messaggio = rifiuto;
        }
    }
    Colora(campo, !ok);
    return ok;
}

void CampiPagina::Colora(CampoPagina& campo, bool errato)
{
    campo.errato = errato;
    QPalette tavolozza = campo.txt->palette();
    if (errato)
        tavolozza.setColor(QPalette::Base, colori.errore);
    else if (campo.txt->isReadOnly() && campo.attributi.chiave > 0)
        tavolozza.setColor(QPalette::Base, colori.chiaveBloccata);
    else
        tavolozza.setColor(QPalette::Base,
                           colori.normale.isValid() ? colori.normale
                                                    : campo.txt->style()->standardPalette().color(QPalette::Base));
    campo.txt->setPalette(tavolozza);
}

CampoPagina* CampiPagina::ObbligatorioVuoto()
{
    for (CampoPagina& c : m_campi)
        if (c.attributi.obbligatorio && c.txt->text().trimmed().isEmpty())
            return &c;
    return nullptr;
}

CampoPagina* CampiPagina::PrimoErrato()
{
    for (CampoPagina& c : m_campi)
        if (c.errato)
            return &c;
    return nullptr;
}

void CampiPagina::Fotografa()
{
    m_foto.clear();
    for (const CampoPagina& c : m_campi)
        m_foto << c.txt->text();
}

QString CampiPagina::VarDati() const
{
    QStringList cambiati;
    for (int i = 0; i < m_campi.size(); ++i)
        if (i >= m_foto.size() || m_campi[i].txt->text() != m_foto[i])
            cambiati << m_campi[i].nome;
    return cambiati.join(QStringLiteral(", "));
}
