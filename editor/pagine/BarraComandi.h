#pragma once
// The command toolbar of a page: one button per command key, with its icon
// and its tooltip ("(R) Ricerca": the letter in brackets is the Alt key).
// Commands that write can be locked off for a read-only launch; a locked
// button stays disabled whatever the page asks, and its tooltip says why.
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QToolBar>

struct VoceComando {
    QString chiave;        // "Ricerca", "Salva"...
    QString suggerimento;  // "(R) Ricerca"; empty for buttons without one
};

class BarraComandi : public QToolBar {
    Q_OBJECT
public:
    explicit BarraComandi(const QList<VoceComando>& voci, QWidget* parent = nullptr);

    QAction* Azione(const QString& chiave) const;
    // Enabled and visible: the only state in which a key may run it.
    bool Disponibile(const QString& chiave) const;
    void Abilita(const QString& chiave, bool abilitato);
    void Mostra(const QString& chiave, bool visibile);
    // The command bound to Alt + lettera, empty when none.
    QString ChiaveDaLettera(QChar lettera) const;
    // Locks off the given commands for good, with the reason as tooltip.
    void Blocca(const QStringList& chiavi, const QString& motivo);
    bool Bloccato(const QString& chiave) const { return m_bloccati.contains(chiave); }

signals:
    void Comando(const QString& chiave);

private:
    QHash<QString, QAction*> m_azioni;
    QHash<QChar, QString> m_lettere;
    QSet<QString> m_bloccati;
};

// The commands that change data.
const QStringList& ComandiScrittura();
