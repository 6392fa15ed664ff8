#pragma once
// One field of a load definition (a QuivaDettaglio row) with its decode rows
// and the small operations on its rules: type codes, decoding, conversion,
// the allowed/forbidden value test and the column size.
#include <QHash>
#include <QString>
#include <QVariant>
#include <optional>
#include <vector>

class DatabaseLink;

struct scQuivaDecod {
    QString osNomeCampo;
    QString osNomeTabella;
    QString osValOrig;
    QString osValDest;
};

class ScQuivaCampi {
public:
    static constexpr qint16 NumDecNonImpostato = -9999;

    QString osNomeCampo;     // target column
    QString osTabella;       // target table of the field's slot
    QString osTabellaCampo;  // NomeCampo as stored
    QString osCodTab;        // table code, empty for slot 1
    QString osTipoOrig;
    QString osTipoDest;
    QString osNumCampo;
    QString osChiave;  // "S" for a key field
    QString osRiempie;
    qint16 oiQuanto = 0;
    qint16 oiInizio = 0;
    qint16 oiLunghezza = 0;
    QString osDefault;
    QString osObbligatorio;
    QString os0toNull;
    qint16 oiLimiteDim = 0;
    QString osTipoOper;
    QString osValoreOper;
    QString osLireOValuta;
    QString osAggiorna;
    qint16 oiNumDec = NumDecNonImpostato;

    // Codes of the two type names (2..8; unknown names give 0, handled as text).
    qint16 oiTipoOrig() const;
    qint16 oiTipoDest() const;

    // Forbidden and allowed value: writing stores the trimmed text and its
    // conversion to the destination type.
    const QString& osNonVal() const { return m_nonVal; }
    void setOsNonVal(const QString& testo);
    const QVariant& ovNonVal() const { return m_nonValConv; }
    const QString& osValValido() const { return m_valValido; }
    void setOsValValido(const QString& testo);
    const QVariant& ovValValido() const { return m_valValidoConv; }

    // Field size: a non-zero size is kept; 0 takes the declared size of the
    // target column for text destinations (0 when it cannot be read).
    qint16 oiDimensione() const { return m_dimensione; }
    void setOiDimensione(DatabaseLink* db, const QString& tabella, qint16 dimensione);
    // The size is the column's declared one, not the definition's own.
    bool DimensioneDaColonna() const { return m_dimensioneDaColonna; }

    QString osKey() const { return osTabella + QLatin1Char('.') + osNomeCampo; }

    // A row whose name joins columns with "|" ("Gruppo|Mastro|Conto", which
    // the field editor makes for account tables) and that takes nothing from
    // the line (no field number, position or default): a load passes it by.
    bool UnioneSenzaOrigine() const
    {
        return osNomeCampo.contains(QLatin1Char('|')) && osNumCampo.trimmed().isEmpty() && oiInizio == 0
            && oiLunghezza == 0 && osDefault.isEmpty();
    }

    // Adds a decode row; a second row with the same source value raises
    // ErroreRun 457 ("Chiave già associata a un elemento dell'insieme").
    void AddDecod(const QString& psValOrig, const QString& psTabella, const QString& psValDest);
    QString LeggiDecod(const QString& psValore) const;
    bool HaDecod() const { return !m_decod.empty(); }

    // Text to the type of code tipo (default: destination); codes other than
    // 2..7 give the text itself. Raises ErroreRun on failure.
    QVariant ConvValTipo(const QString& psValore, int tipo = -1) const;

    bool ValoreNonValido(const QVariant& valore) const;

    // Field number when osNumCampo is a plain number (the short cut of
    // delimited lines), empty for a template.
    std::optional<int> NumeroCampoSemplice() const;

    // Computes now what the reading computes when first asked (type codes,
    // field number, decode index): afterwards reading the field changes
    // nothing in it, and two threads may read it while its texts stay put.
    void CalcolaCache() const;

private:
    // Caches keyed by the public texts they derive from, so that a change of
    // those texts is always seen.
    struct CodiceInCache {
        QString nome;
        qint16 codice = 0;
        bool valido = false;
    };
    qint16 CodiceDi(const QString& nome, CodiceInCache& cache) const;
    void PreparaIndiceDecod(int tipoOrig) const;

    mutable CodiceInCache m_cacheTipoOrig;
    mutable CodiceInCache m_cacheTipoDest;
    mutable QString m_numCampoInCache;
    mutable std::optional<int> m_numeroCampo;
    mutable bool m_numCampoValido = false;
    // Decode lookup: normalised source text -> index of the first row.
    QHash<QString, int> m_chiaviDecod;          // AddDecod duplicates
    mutable QHash<QString, int> m_indiceDecod;  // LeggiDecod
    mutable int m_tipoIndiceDecod = -1;         // origin code of m_indiceDecod

    QString m_nonVal;
    QVariant m_nonValConv;
    QString m_valValido;
    QVariant m_valValidoConv;
    qint16 m_dimensione = 0;
    bool m_dimensioneDaColonna = false;
    std::vector<scQuivaDecod> m_decod;
};
