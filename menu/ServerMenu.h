#pragma once
// The menu's server: answers the program's requests on a local socket named
// from the menu instance identifier, and sends it commands. The socket is
// private to the menu's user (see AccessoMenu).
#include "ConfigurazioneMenu.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QLocalServer>
#include <QObject>
#include <QPointer>

class QLocalSocket;

class ServerMenu : public QObject {
    Q_OBJECT
public:
    ServerMenu(ConfigurazioneMenu& configurazione, QObject* parent = nullptr);
    ~ServerMenu() override;

    // Listens on the socket; false, with the reason, when its folder is not
    // private, another menu answers on it or it belongs to another user.
    bool Avvia(QString* errore = nullptr);
    QString Percorso() const;

    // Values of the next launch object.
    void ImpostaLancio(const QString& maschera, const QString& parametri);
    QJsonObject Lancio() const { return m_lancio; }

    // True when a program is registered and still connected.
    bool ProgrammaCollegato() const;
    QString ProgrammaRegistrato() const { return m_programma; }
    // Sends a command to the program; the answer arrives with EsitoComando.
    // Gives back the command's id, 0 when no program is connected.
    qint64 InviaComando(const QString& comando, const QJsonValue& parametri = {});

signals:
    void Registrato(const QString& programma, const QString& parametri);
    void Scollegato();
    void EsitoComando(qint64 id, const QString& comando, const QJsonValue& risposta);
    void Avviso(const QString& testo);  // "MsgBox" notices of the program
    void Richiesta(const QString& descrizione);
    void MostraRichiesto();
    void CollegamentoRifiutato(const QString& motivo);  // a program of another user

private:
    void NuovaConnessione();
    void Dati(QLocalSocket* socket);
    QJsonObject Rispondi(const QJsonObject& richiesta, QLocalSocket* socket);

    ConfigurazioneMenu& m_config;
    QLocalServer m_server;
    QHash<QLocalSocket*, QByteArray> m_buffer;
    QPointer<QLocalSocket> m_collegato;
    QString m_programma;
    QJsonObject m_lancio;
    QHash<qint64, QString> m_comandi;
    qint64 m_ultimoId = 0;
};
