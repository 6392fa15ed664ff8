#pragma once
// The fields a page declares: each a text box bound to a column, with its
// attributes. Values are always exchanged as text; combo and check boxes of
// a screen are mirrors that write into their text box. Shared by the
// single-record page and the line page.
#include "FormUtility.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QVariantMap>
#include <functional>

class QLineEdit;

struct AttributiCampo {
    int chiave = 0;       // position in the key, 0 when not a key field
    QString predefinito;  // written into an empty field of a new row
    bool obbligatorio = false;
    int tipo = TipiDato::String;              // TipiDato code
    int dimensione = 0;                       // numbers: most digits; negative also allows a sign
    bool senzaSegno = false;                  // numbers: negatives refused
    QString formato;                          // display format of numbers ("#,###")
    QString operatore = QStringLiteral("=");  // search operator
};

struct CampoPagina {
    int indice = 0;  // the screen's number for the box
    QLineEdit* txt = nullptr;
    QString colonna;
    QString nome;  // display name used in messages
    AttributiCampo attributi;
    bool errato = false;  // value refused when the field was left
    bool avviso = false;  // refused by the screen's own check: said in the message window
};

struct ColoriPagina {
    QColor errore = QColor(255, 176, 176);
    QColor normale;  // invalid: the style's own base colour
    QColor chiaveBloccata = QColor(232, 232, 232);
};

class CampiPagina {
public:
    void Registra(int indice, QLineEdit* txt, const QString& colonna, const QString& nome,
                  const AttributiCampo& attributi = {});

    QList<CampoPagina>& Tutti() { return m_campi; }
    const QList<CampoPagina>& Tutti() const { return m_campi; }
    CampoPagina* DiIndice(int indice);
    CampoPagina* DiCasella(const QObject* casella);
    CampoPagina* DiColonna(const QString& colonna);
    // Key fields in key order.
    QList<CampoPagina*> Chiave();
    QStringList ValoriChiave();

    ColoriPagina colori;
    // The screen's own check of a field's value, after the type checks: a
    // non-empty answer refuses the value with that message.
    std::function<QString(int indice, const QString& valore)> controllo;

    void Svuota();
    // Empty fields take their default.
    void ApplicaPredefiniti();
    // Shows a row read from the database (column name -> value).
    void Mostra(const QVariantMap& riga);
    // The typed value of a field for writing: numbers converted, an empty
    // number or date is null.
    QVariant ValoreDaScrivere(const CampoPagina& campo) const;

    // Checks a field's value (numbers, size); colours it. False when refused,
    // with the message to show.
    bool Valida(CampoPagina& campo, QString& messaggio);
    void Colora(CampoPagina& campo, bool errato);
    // First required field left empty, or null.
    CampoPagina* ObbligatorioVuoto();
    CampoPagina* PrimoErrato();

    // Remembers the values as they are now; VarDati lists what changed since.
    void Fotografa();
    QString VarDati() const;

private:
    QList<CampoPagina> m_campi;
    QList<QString> m_foto;
};

// The text of a stored value as a field shows it.
QString TestoCampo(const QVariant& valore, const AttributiCampo& attributi);
