#include "ServerMenu.h"

#include "AccessoMenu.h"
#include "ProtocolloMenu.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QLocalSocket>

namespace P = ProtocolloMenu;

ServerMenu::ServerMenu(ConfigurazioneMenu& configurazione, QObject* parent) : QObject(parent), m_config(configurazione)
{
    connect(&m_server, &QLocalServer::newConnection, this, &ServerMenu::NuovaConnessione);
    m_lancio = {{QStringLiteral("osParam"), QString()},
                {QStringLiteral("osChiLancia"), QString()},
                {QStringLiteral("osKeySecLancia"), QString()},
                {QStringLiteral("osParamLancia"), QString()}};
}

ServerMenu::~ServerMenu()
{
    // The connections die with the server, after this object's members:
    // they must not call back into it.
    for (QLocalSocket* socket : m_server.findChildren<QLocalSocket*>())
        socket->disconnect(this);
    m_server.close();
}

QString ServerMenu::Percorso() const { return m_server.fullServerName(); }

namespace {

bool MenuInAscolto(const QString& percorso)
{
    QLocalSocket prova;
    prova.connectToServer(percorso);
    return prova.waitForConnected(1000);
}

}  // namespace

bool ServerMenu::Avvia(QString* errore)
{
    auto rifiuta = [errore](const QString& motivo) {
        if (errore)
            *errore = motivo;
        return false;
    };
    QString motivo;
    const QString percorso = AccessoMenu::PercorsoSocket(m_config.IdMenu(), &motivo, true);
    if (percorso.isEmpty())
        return rifiuta(motivo);
    motivo = AccessoMenu::ControllaSocketEsistente(percorso);
    if (!motivo.isEmpty())
        return rifiuta(motivo);
    if (QFileInfo(percorso).exists()) {
        if (MenuInAscolto(percorso))
            return rifiuta(QStringLiteral("Un menu con identificativo %1 è già in esecuzione").arg(m_config.IdMenu()));
        QFile::remove(percorso);  // left by a menu that crashed
    }
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server.listen(percorso))
        return rifiuta(m_server.errorString());
    return true;
}

void ServerMenu::ImpostaLancio(const QString& maschera, const QString& parametri)
{
    QString osParam = QStringLiteral("/F") + maschera;
    const QString help =
        m_config.Leggi(QStringLiteral("Menu"), QStringLiteral("FileHelp")).value_or(QStringLiteral("quiva"));
    if (!help.isEmpty())
        osParam += QStringLiteral(" /H") + help;
    m_lancio[QStringLiteral("osParam")] = osParam;
    m_lancio[QStringLiteral("osChiLancia")] = QString();
    m_lancio[QStringLiteral("osKeySecLancia")] = maschera;
    m_lancio[QStringLiteral("osParamLancia")] = parametri;
}

bool ServerMenu::ProgrammaCollegato() const
{
    return m_collegato && m_collegato->state() == QLocalSocket::ConnectedState;
}

qint64 ServerMenu::InviaComando(const QString& comando, const QJsonValue& parametri)
{
    if (!ProgrammaCollegato())
        return 0;
    const qint64 id = ++m_ultimoId;
    m_comandi.insert(id, comando);
    m_collegato->write(P::Codifica({{QStringLiteral("tipo"), QStringLiteral("comando")},
                                    {QStringLiteral("id"), id},
                                    {QStringLiteral("a"), QString()},
                                    {QStringLiteral("b"), QString()},
                                    {QStringLiteral("comando"), comando},
                                    {QStringLiteral("parametri"), parametri}}));
    m_collegato->flush();
    return id;
}

void ServerMenu::NuovaConnessione()
{
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        const QString rifiuto = AccessoMenu::ControllaInterlocutore(socket->socketDescriptor());
        if (!rifiuto.isEmpty()) {
            emit CollegamentoRifiutato(rifiuto);
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Dati(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            m_buffer.remove(socket);
            if (socket == m_collegato) {
                m_collegato = nullptr;
                emit Scollegato();
            }
            socket->deleteLater();
        });
    }
}

void ServerMenu::Dati(QLocalSocket* socket)
{
    QByteArray& buffer = m_buffer[socket];
    buffer += socket->readAll();
    while (auto messaggio = P::Estrai(buffer)) {
        const QString tipo = messaggio->value(QStringLiteral("tipo")).toString();
        if (tipo == QLatin1String("richiesta")) {
            QJsonObject risposta = Rispondi(*messaggio, socket);
            risposta[QStringLiteral("tipo")] = QStringLiteral("risposta");
            risposta[QStringLiteral("id")] = messaggio->value(QStringLiteral("id"));
            socket->write(P::Codifica(risposta));
            socket->flush();
        } else if (tipo == QLatin1String("esito")) {
            const qint64 id = messaggio->value(QStringLiteral("id")).toInteger();
            emit EsitoComando(id, m_comandi.take(id), messaggio->value(QStringLiteral("risposta")));
        }
    }
}

QJsonObject ServerMenu::Rispondi(const QJsonObject& r, QLocalSocket* socket)
{
    auto ok = [](const QJsonValue& valore) {
        return QJsonObject {{QStringLiteral("ok"), true}, {QStringLiteral("valore"), valore}};
    };
    auto testo = [&r](const char* nome) { return r.value(QString::fromLatin1(nome)).toString(); };
    const QString op = testo("op");

    if (op == QLatin1String(P::Registra)) {
        m_collegato = socket;
        m_programma = testo("programma");
        emit Registrato(m_programma, testo("parametri"));
        return ok(QJsonValue());
    }
    if (op == QLatin1String(P::ImpostazioneUtente)) {
        const QString chiave = testo("chiave");
        const QString gruppo = testo("gruppo");
        const QJsonArray altri = r.value(QStringLiteral("altri")).toArray();
        if (chiave.compare(QLatin1String("MsgBox"), Qt::CaseInsensitive) == 0) {
            emit Avviso(altri.isEmpty() ? QString() : altri.first().toString());
            return ok(QString());
        }
        QString nome = chiave;
        if (chiave.compare(QLatin1String("TastiCtrl"), Qt::CaseInsensitive) == 0 && !altri.isEmpty())
            nome += QLatin1Char('_') + altri.first().toString();
        auto valore = m_config.Leggi(QStringLiteral("Utente.") + gruppo, nome);
        if (!valore && chiave.compare(QLatin1String("AddSeg"), Qt::CaseInsensitive) == 0)
            valore = altri.size() > 1 ? altri.at(1).toString() : QString();  // nothing to add
        emit Richiesta(QStringLiteral("Impostazione %1/%2").arg(gruppo, nome));
        return ok(valore.value_or(QString()));
    }
    if (op == QLatin1String(P::OggettoLancio))
        return ok(m_lancio);
    if (op == QLatin1String(P::IniPrincipale))
        return ok(m_config.IniPrincipale());
    if (op == QLatin1String(P::ValoreNominato)) {
        const QString nome = testo("nome");
        if (nome.startsWith(QLatin1String("Personal."), Qt::CaseInsensitive)) {
            // "Personal." + group + ".§" + key
            const QString resto = nome.mid(9);
            const qsizetype separatore = resto.indexOf(QStringLiteral(".§"));
            if (separatore < 0)
                return ok(P::NonTrovato);
            const auto valore =
                m_config.Leggi(QStringLiteral("Personale.") + resto.left(separatore), resto.mid(separatore + 2));
            return ok(valore.value_or(P::NonTrovato));
        }
        if (nome.compare(QLatin1String("MenuProcId"), Qt::CaseInsensitive) == 0)
            return ok(QString::number(QCoreApplication::applicationPid()));
        return ok(m_config.Leggi(QStringLiteral("Valori"), nome).value_or(QString()));
    }
    if (op == QLatin1String(P::ParametroDitta))
        return ok(m_config.Leggi(QStringLiteral("Ditta"), testo("nome")).value_or(QString()));
    if (op == QLatin1String(P::PassaMaschera)) {
        emit Richiesta(QStringLiteral("Passaggio al menu: %1 (%2) chiave %3")
                           .arg(testo("titolo"), testo("nome"), testo("chiave")));
        return ok(QJsonValue());
    }
    if (op == QLatin1String(P::MostraMenu)) {
        emit MostraRichiesto();
        return ok(QJsonValue());
    }
    if (op == QLatin1String(P::LanciaSeguito)) {
        emit Richiesta(QStringLiteral("Seguito richiesto: %1 %2 %3")
                           .arg(testo("osKeyLancia"), testo("osKeySecLancia"), testo("osParamLancia")));
        return ok(QJsonValue());
    }
    if (op == QLatin1String(P::MascheraChiusa)) {
        emit Richiesta(QStringLiteral("Maschera chiusa: ") + testo("chiave"));
        return ok(QJsonValue());
    }
    return {{QStringLiteral("ok"), false}, {QStringLiteral("errore"), QStringLiteral("Operazione sconosciuta: ") + op}};
}
