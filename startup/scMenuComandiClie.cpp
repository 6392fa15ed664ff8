#include "scMenuComandiClie.h"

#include "FormUtility.h"
#include "FormUtilityAvvio.h"
#include "ProgrammaComandi.h"

scMenuComandiClie::scMenuComandiClie(std::unique_ptr<MenuServer> menu, ProgrammaComandi& programma)
    : m_menu(std::move(menu)), m_programma(programma)
{
}

scMenuComandiClie::~scMenuComandiClie() = default;

void scMenuComandiClie::EseguiComando(const QVariant&, const QVariant&, const QString& comando,
                                      const QVariant& parametri, QVariant& risposta)
{
    UltCom = comando;
    UltParamVar = parametri;
    if (parametri.typeId() == QMetaType::QVariantList || parametri.typeId() == QMetaType::QStringList) {
        const QVariantList lista = parametri.toList();
        UltParam = lista.isEmpty() ? QString() : lista.first().toString();
    } else {
        UltParam = parametri.toString();
    }
    Dispatcher(comando, parametri, risposta);
}

void scMenuComandiClie::Dispatcher(const QString& comando, const QVariant& parametri, QVariant& risposta)
{
    risposta = QString();
    const QString c = comando.trimmed().toLower();
    if (c == QLatin1String("fine")) {
        const QString motivo = m_programma.ControlloFine();
        if (m_programma.NumeroMaschereAperte() > 0)
            risposta = motivo.isEmpty() ? QStringLiteral("No Chiudi") : motivo;
    } else if (c == QLatin1String("esiste")) {
        risposta = true;
    } else if (c == QLatin1String("ritornoa")) {
        const QString nome = UltParam.trimmed();
        if (nome.isEmpty() || !m_programma.MascheraAperta(nome))
            m_programma.AggiornaPrincipale();
        else
            m_programma.ApriMascheraMenu(nome);
    } else if (c == QLatin1String("attiva")) {
        m_programma.Attiva();
    } else if (c == QLatin1String("preppassaa")) {
        m_programma.PreparaPassaggio();
    } else if (c == QLatin1String("passaa")) {
        m_programma.ApriMascheraMenu(UltParam.trimmed());
    } else if (c == QLatin1String("keyprgprim")) {
        risposta = m_programma.ChiavePrimaria();
    } else if (c == QLatin1String("keyprgsec")) {
        risposta = m_programma.ChiaveSecondaria();
    } else if (c == QLatin1String("paramprgclie")) {
        risposta = QStringLiteral("$Default$");
    } else if (c == QLatin1String("comandoprgclie")) {
        risposta = m_programma.ComandoProgramma();
    } else if (c == QLatin1String("feinvio") || c == QLatin1String("feattesa")) {
        m_programma.Avviso(TestoAvvisoFatture(c, parametri));
    }
}

namespace {

QString ElementoParametri(const QVariant& parametri, int indice)
{
    if (parametri.typeId() == QMetaType::QVariantList || parametri.typeId() == QMetaType::QStringList) {
        const QVariantList lista = parametri.toList();
        return indice < lista.size() ? lista.at(indice).toString().trimmed() : QString();
    }
    return indice == 0 ? parametri.toString().trimmed() : QString();
}

QString Numero(const QString& testo)
{
    return FormUtility::FormattaNumero(static_cast<double>(FormUtility::TestoAIntero(testo)), QStringLiteral("#,##0"));
}

}  // namespace

// Parameters: element 0 is the number of invoices (sent, or waiting), or a
// failure "Err:" + the menu's error text; for "FEInvio" element 1 is the
// number of invoices not sent because of errors.
QString TestoAvvisoFatture(const QString& comando, const QVariant& parametri)
{
    const bool invio = comando.compare(QLatin1String("feinvio"), Qt::CaseInsensitive) == 0;
    const QString primo = ElementoParametri(parametri, 0);
    if (primo.startsWith(QLatin1String("Err:"), Qt::CaseInsensitive)) {
        return QStringLiteral("Err: ")
            + (invio ? QStringLiteral("Errore nell'invio delle fatture")
                     : QStringLiteral("Errore nella richiesta di fatture in attesa"))
            + QStringLiteral(" - ") + primo.mid(4).trimmed();
    }
    if (!invio)
        return QStringLiteral("Ci sono ") + Numero(primo) + QStringLiteral(" fatture in attesa");
    QString testo = QStringLiteral("Inviate ") + Numero(primo) + QStringLiteral(" fatture");
    if (FormUtility::TestoAIntero(ElementoParametri(parametri, 1)) > 0)
        testo += QLatin1Char('\n') + QStringLiteral("Fatture non inviate per errori");
    return testo;
}
