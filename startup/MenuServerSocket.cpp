#include "MenuServerSocket.h"

#include "AccessoMenu.h"
#include "ErroreRun.h"
#include "FormUtilityAvvio.h"
#include "ProtocolloMenu.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QTimer>

namespace P = ProtocolloMenu;

MenuServerSocket::MenuServerSocket(QString idMenu, int attesaMs, QObject* parent)
    : QObject(parent), m_idMenu(std::move(idMenu)), m_attesaMs(attesaMs)
{
    connect(&m_socket, &QLocalSocket::readyRead, this, &MenuServerSocket::DatiArrivati);
    connect(&m_socket, &QLocalSocket::disconnected, this, &MenuServerSocket::MenuPerso);
}

MenuServerSocket::~MenuServerSocket()
{
    m_socket.disconnect(this);
    m_socket.abort();
}

void MenuServerSocket::Collega()
{
    if (Collegato())
        return;
    // Only a menu of this user, in a folder only this user can enter.
    QString rifiuto;
    const QString percorso = AccessoMenu::PercorsoSocket(m_idMenu, &rifiuto);
    if (percorso.isEmpty())
        throw ErroreRun(CodiciErrore::MenuRifiutato, rifiuto);
    m_socket.connectToServer(percorso);
    if (!m_socket.waitForConnected(m_attesaMs))
        throw ErroreRun(CodiciErrore::MenuNonInEsecuzione,
                        FormUtility::TestoCodiceErrore(CodiciErrore::MenuNonInEsecuzione) + QStringLiteral(" (")
                            + m_socket.errorString() + QLatin1Char(')'));
    rifiuto = AccessoMenu::ControllaInterlocutore(m_socket.socketDescriptor());
    if (!rifiuto.isEmpty()) {
        m_socket.abort();
        throw ErroreRun(CodiciErrore::MenuRifiutato, rifiuto);
    }
}

QJsonValue MenuServerSocket::Richiesta(const char* operazione, const QJsonObject& argomenti)
{
    Collega();
    const qint64 id = ++m_ultimoId;
    QJsonObject messaggio = argomenti;
    messaggio[QStringLiteral("tipo")] = QStringLiteral("richiesta");
    messaggio[QStringLiteral("id")] = id;
    messaggio[QStringLiteral("op")] = QString::fromLatin1(operazione);
    m_socket.write(P::Codifica(messaggio));
    m_socket.flush();

    // The wait lets the socket (and an in-process menu) work, not the user.
    QEventLoop attesa;
    QTimer scadenza;
    scadenza.setSingleShot(true);
    connect(&scadenza, &QTimer::timeout, &attesa, &QEventLoop::quit);
    auto arrivo = connect(&m_socket, &QLocalSocket::readyRead, &attesa, [&] {
        if (m_risposte.contains(id))
            attesa.quit();
    });
    auto perdita = connect(&m_socket, &QLocalSocket::disconnected, &attesa, &QEventLoop::quit);
    ++m_inAttesa;
    if (!m_risposte.contains(id)) {
        scadenza.start(m_attesaMs);
        attesa.exec(QEventLoop::ExcludeUserInputEvents);
    }
    --m_inAttesa;
    disconnect(arrivo);
    disconnect(perdita);
    if (m_inAttesa == 0 && !m_comandi.isEmpty())
        QTimer::singleShot(0, this, &MenuServerSocket::EseguiComandiSospesi);

    if (!m_risposte.contains(id))
        throw ErroreRun(CodiciErrore::MenuNonInEsecuzione,
                        FormUtility::TestoCodiceErrore(CodiciErrore::MenuNonInEsecuzione));
    const QJsonObject risposta = m_risposte.take(id);
    if (!risposta.value(QStringLiteral("ok")).toBool(false))
        throw ErroreRun(CodiciErrore::ErroreGenerico, risposta.value(QStringLiteral("errore")).toString());
    return risposta.value(QStringLiteral("valore"));
}

void MenuServerSocket::DatiArrivati()
{
    m_buffer += m_socket.readAll();
    while (auto messaggio = P::Estrai(m_buffer)) {
        const QString tipo = messaggio->value(QStringLiteral("tipo")).toString();
        if (tipo == QLatin1String("risposta"))
            m_risposte.insert(messaggio->value(QStringLiteral("id")).toInteger(), *messaggio);
        else if (tipo == QLatin1String("comando"))
            m_comandi.append(*messaggio);
    }
    if (m_inAttesa == 0 && !m_comandi.isEmpty())
        QTimer::singleShot(0, this, &MenuServerSocket::EseguiComandiSospesi);
}

void MenuServerSocket::EseguiComandiSospesi()
{
    while (m_inAttesa == 0 && !m_comandi.isEmpty()) {
        const QJsonObject comando = m_comandi.takeFirst();
        QJsonValue risposta = QString();
        if (m_gestore) {
            risposta = m_gestore(
                comando.value(QStringLiteral("a")).toString(), comando.value(QStringLiteral("b")).toString(),
                comando.value(QStringLiteral("comando")).toString(), comando.value(QStringLiteral("parametri")));
        }
        QJsonObject esito {{QStringLiteral("tipo"), QStringLiteral("esito")},
                           {QStringLiteral("id"), comando.value(QStringLiteral("id"))},
                           {QStringLiteral("risposta"), risposta}};
        if (Collegato()) {
            m_socket.write(P::Codifica(esito));
            m_socket.flush();
        }
    }
}

void MenuServerSocket::Registra(const QString& idMenu, const QString& idProgramma, const QString& parametri)
{
    Richiesta(P::Registra,
              {{QStringLiteral("menu"), idMenu},
               {QStringLiteral("programma"), idProgramma},
               {QStringLiteral("parametri"), parametri}});
}

QString MenuServerSocket::ImpostazioneUtente(const QString& chiave, const QString& gruppo, const QStringList& altri)
{
    return Richiesta(P::ImpostazioneUtente,
                     {{QStringLiteral("chiave"), chiave},
                      {QStringLiteral("gruppo"), gruppo},
                      {QStringLiteral("altri"), QJsonArray::fromStringList(altri)}})
        .toVariant()
        .toString();
}

OggettoLancio MenuServerSocket::Lancio()
{
    const QJsonObject o = Richiesta(P::OggettoLancio).toObject();
    return {o.value(QStringLiteral("osParam")).toString(), o.value(QStringLiteral("osChiLancia")).toString(),
            o.value(QStringLiteral("osKeySecLancia")).toString(), o.value(QStringLiteral("osParamLancia")).toString()};
}

QString MenuServerSocket::IniPrincipale() { return Richiesta(P::IniPrincipale).toString(); }

QString MenuServerSocket::Valore(const QString& nome)
{
    return Richiesta(P::ValoreNominato, {{QStringLiteral("nome"), nome}}).toVariant().toString();
}

QString MenuServerSocket::ParametroDitta(const QString& nome)
{
    return Richiesta(P::ParametroDitta, {{QStringLiteral("nome"), nome}}).toVariant().toString();
}

void MenuServerSocket::PassaMaschera(const QString& titolo, const QString& nome, const QString& chiave)
{
    Richiesta(P::PassaMaschera,
              {{QStringLiteral("titolo"), titolo}, {QStringLiteral("nome"), nome}, {QStringLiteral("chiave"), chiave}});
}

void MenuServerSocket::MostraMenu(const QString& gruppo)
{
    Richiesta(P::MostraMenu, {{QStringLiteral("gruppo"), gruppo}});
}

void MenuServerSocket::LanciaSeguito(const QString& keyLancia, const QString& keySecLancia, const QString& paramLancia)
{
    Richiesta(P::LanciaSeguito,
              {{QStringLiteral("osKeyLancia"), keyLancia},
               {QStringLiteral("osKeySecLancia"), keySecLancia},
               {QStringLiteral("osParamLancia"), paramLancia}});
}

void MenuServerSocket::MascheraChiusa(const QString& keySec)
{
    Richiesta(P::MascheraChiusa, {{QStringLiteral("chiave"), keySec}});
}
