#pragma once
// MenuServer reached over the menu's local socket. Requests wait for their
// answer; commands that the menu sends meanwhile are held and run once the
// wait is over, always on the user-interface thread.
#include "MenuServer.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QLocalSocket>
#include <QObject>
#include <functional>

class MenuServerSocket : public QObject, public MenuServer {
    Q_OBJECT
public:
    // Gets a command (a, b, comando, parametri) and gives back the answer.
    using GestoreComando = std::function<QJsonValue(const QString&, const QString&, const QString&, const QJsonValue&)>;

    explicit MenuServerSocket(QString idMenu, int attesaMs = 10000, QObject* parent = nullptr);
    ~MenuServerSocket() override;

    void ImpostaGestoreComandi(GestoreComando gestore) { m_gestore = std::move(gestore); }
    bool Collegato() const { return m_socket.state() == QLocalSocket::ConnectedState; }

signals:
    // The menu closed the link (it ended, or it dropped this program).
    void MenuPerso();

public:
    void Registra(const QString& idMenu, const QString& idProgramma, const QString& parametri) override;
    QString ImpostazioneUtente(const QString& chiave, const QString& gruppo, const QStringList& altri) override;
    OggettoLancio Lancio() override;
    QString IniPrincipale() override;
    QString Valore(const QString& nome) override;
    QString ParametroDitta(const QString& nome) override;
    void PassaMaschera(const QString& titolo, const QString& nome, const QString& chiave) override;
    void MostraMenu(const QString& gruppo) override;
    void LanciaSeguito(const QString& keyLancia, const QString& keySecLancia, const QString& paramLancia) override;
    void MascheraChiusa(const QString& keySec) override;

private:
    void Collega();
    QJsonValue Richiesta(const char* operazione, const QJsonObject& argomenti = {});
    void DatiArrivati();
    void EseguiComandiSospesi();

    QString m_idMenu;
    int m_attesaMs;
    QLocalSocket m_socket;
    QByteArray m_buffer;
    qint64 m_ultimoId = 0;
    QHash<qint64, QJsonObject> m_risposte;
    QList<QJsonObject> m_comandi;
    int m_inAttesa = 0;
    GestoreComando m_gestore;
};
