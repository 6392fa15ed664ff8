#pragma once
// Keyed store of the base values asked before a run ("Codice.NomeCampo"):
// prompt answers and counters, read by the engine's defaults.
#include <QHash>
#include <QString>
#include <QVariant>

struct VoceValore {
    QString valore;                // Valore
    long contatore = 0;            // Contatore
    double contatoreIniziale = 0;  // ContatoreIniziale
    QVariant rottura;              // Rottura
    float segnoContatore = 0;      // SegnoContatore (123.1 marks a counter)
};

class ValueStore {
public:
    static constexpr float SegnoContatoreAttivo = 123.1f;
    static inline const QString ValoreMai = QStringLiteral("\u00a7\u00e7~$!^");

    bool Contiene(const QString& chiave) const { return m_voci.contains(chiave.toLower()); }
    VoceValore& Voce(const QString& chiave) { return m_voci[chiave.toLower()]; }
    const VoceValore* Trova(const QString& chiave) const
    {
        auto it = m_voci.constFind(chiave.toLower());
        return it == m_voci.cend() ? nullptr : &it.value();
    }
    bool Vuoto() const { return m_voci.isEmpty(); }
    int Numero() const { return static_cast<int>(m_voci.size()); }
    void Svuota() { m_voci.clear(); }

private:
    QHash<QString, VoceValore> m_voci;
};
