#include "BloccoRighe.h"

#include "DatabaseLink.h"
#include "ScrittureRaccolte.h"

#include <utility>

BloccoRighe::BloccoRighe(DatabaseLink& db, std::function<void(const QString&)> carica,
                         std::function<std::function<void()>()> salva)
    : m_db(db), m_carica(std::move(carica)), m_salva(std::move(salva))
{
}

void BloccoRighe::Riga(const QString& riga)
{
    if (m_righe.isEmpty()) {
        // A block that had to run again hints at more failures nearby: the
        // lines that follow it run one by one for a while.
        if (m_senzaBlocco > 0) {
            --m_senzaBlocco;
            m_carica(riga);
            return;
        }
        if (!m_db.IniziaBlocco()) {
            m_carica(riga);
            return;
        }
        m_ripristina = m_salva();
    }
    m_righe << riga;
    try {
        m_carica(riga);
    } catch (const BloccoDaRipetere&) {
        Ripeti();
        return;
    }
    if (!m_db.BloccoAperto())
        m_righe.clear();  // closed by a statement of this line: all written
    else if (m_righe.size() >= RighePerBlocco)
        Chiudi();
}

void BloccoRighe::Chiudi()
{
    if (m_righe.isEmpty())
        return;
    try {
        m_db.ChiudiBlocco();
        m_righe.clear();
    } catch (const BloccoDaRipetere&) {
        Ripeti();
    }
}

// Nothing the block's lines wrote reached the database; the block is closed.
void BloccoRighe::Ripeti()
{
    const QStringList righe = std::exchange(m_righe, {});
    m_ripristina();
    m_senzaBlocco = RighePerBlocco;
    for (const QString& riga : righe)
        m_carica(riga);
}
