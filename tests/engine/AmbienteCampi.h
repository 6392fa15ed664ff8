#pragma once
// An engine on a scratch SQLite file with the definition tables, a message
// window that records what it is shown, and helpers to build field records
// and read back the error rows.
#include "AmbienteProva.h"
#include "DatabaseLink.h"
#include "ScQuiva.h"
#include "TabelleQuiva.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

class AmbienteCampi : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        CreaTabelleQuiva(m_db.Db());
        m_ctx = std::make_unique<ContestoQuiva>(ContestoQuiva{m_db.Db(), m_messaggi, {}, {}, {}, false});
        Ricrea();
    }

    // A fresh engine (after a change of the context).
    void Ricrea()
    {
        m_motore = std::make_unique<ScQuiva>(*m_ctx);
        m_motore->osCodice = QStringLiteral("PROVA");
        m_motore->ImpostaFormato(QStringLiteral(";"), false);
    }

    ScQuiva& motore() { return *m_motore; }

    static std::unique_ptr<ScQuivaCampi> NuovoCampo(const QString& numCampo, const QString& tipoDest = QStringLiteral("String"),
                                                    const QString& tipoOrig = QStringLiteral("String"))
    {
        auto c = std::make_unique<ScQuivaCampi>();
        c->osTabella = QStringLiteral("Articoli");
        c->osNomeCampo = QStringLiteral("Codice");
        c->osTabellaCampo = c->osNomeCampo;
        c->osTipoOrig = tipoOrig;
        c->osTipoDest = tipoDest;
        c->osNumCampo = numCampo;
        return c;
    }

    // Located value as text (what the value reader works on).
    QString Trova(const QString& riga, const ScQuivaCampi& c)
    {
        return motore().CercaPosCampo(riga, c, true, false).toString();
    }

    // LeggiVal's answer and value.
    struct Letto {
        int esito;
        QVariant valore;
    };
    Letto Leggi(const QString& riga, const ScQuivaCampi& c)
    {
        QVariant valore;
        const int esito = motore().LeggiVal(riga, c, valore, 1);
        return {esito, valore};
    }

    // The field as the load reads it, with the company's currency settings.
    CampoCompilato Compilato(const ScQuivaCampi& c) const { return CompilaCampo(c, m_ctx->ditta); }

    QStringList Errori()
    {
        QStringList errori;
        QSqlQuery q(m_db->Database());
        q.exec(m_db.Sql(QStringLiteral("Select Errore from ErroriQuivamento order by rowid")));
        while (q.next())
            errori << q.value(0).toString();
        return errori;
    }
    QStringList RigheErrore()
    {
        QStringList righe;
        QSqlQuery q(m_db->Database());
        q.exec(m_db.Sql(QStringLiteral("Select Riga from ErroriQuivamento order by rowid")));
        while (q.next())
            righe << q.value(0).toString();
        return righe;
    }

    QTemporaryDir m_dir;
    DatabaseProva m_db{m_dir.path()};
    MessaggiRegistrati m_messaggi;
    std::unique_ptr<ContestoQuiva> m_ctx;
    std::unique_ptr<ScQuiva> m_motore;
};
