#pragma once
// Field location and value reading on their own: a locator in the layout of
// the test, the company's currency settings, and the rejection texts of the
// values read so far. A scratch database serves the column sizes.
#include "AmbienteProva.h"
#include "DatabaseLink.h"
#include "ImpostazioniDitta.h"
#include "LetturaValore.h"
#include "PosizioneCampo.h"
#include "ScQuivaCampi.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

class AmbienteCampi : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    // Separator and layout of the lines read next.
    void Formato(const QString& separatore, bool fisso) { posizione = PosizioneCampo(separatore, fisso); }

    static std::unique_ptr<ScQuivaCampi> NuovoCampo(const QString& numCampo,
                                                    const QString& tipoDest = QStringLiteral("String"),
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
        return posizione.Cerca(riga, c, true, false).toString();
    }

    // The answer of value reading (0 read, 1 rejected) and the value; the
    // rejection text is added to Errori().
    struct Letto {
        int esito;
        QVariant valore;
    };
    Letto Leggi(const QString& riga, const ScQuivaCampi& c)
    {
        const CampoCompilato campo = Compilato(c);
        ValoreLetto letto = LeggiValore(posizione.Testo(riga, campo, m_costruito), campo, soloAsci);
        if (!letto.errore.isEmpty())
            m_errori << letto.errore;
        return {letto.errore.isEmpty() ? 0 : 1, letto.valore};
    }

    // The field as the load reads it, with the company's currency settings.
    CampoCompilato Compilato(const ScQuivaCampi& c) const { return CompilaCampo(c, ditta); }

    const QStringList& Errori() const { return m_errori; }

    PosizioneCampo posizione {QStringLiteral(";"), false};
    ImpostazioniDitta ditta;
    bool soloAsci = false;
    QTemporaryDir m_dir;
    DatabaseProva m_db {m_dir.path()};

private:
    QStringList m_errori;
    QString m_costruito;
};
