#include "MenuDaFile.h"

#include "DatabaseLink.h"
#include "FileIni.h"
#include "ImpostazioniGenerali.h"
#include "ParametriDitta.h"
#include "ProtocolloMenu.h"

QString MenuDaFile::ImpostazioneUtente(const QString& chiave, const QString& gruppo, const QStringList& altri)
{
    QString nome = chiave;
    if (chiave.compare(QLatin1String("TastiCtrl"), Qt::CaseInsensitive) == 0 && !altri.isEmpty())
        nome += QLatin1Char('_') + altri.first();
    return m_config.Leggi(QStringLiteral("Utente.") + gruppo, nome).value_or(QString());
}

QString MenuDaFile::Valore(const QString& nome)
{
    if (nome.startsWith(QLatin1String("Personal."), Qt::CaseInsensitive)) {
        const QString resto = nome.mid(9);
        const qsizetype separatore = resto.indexOf(QStringLiteral(".\u00a7"));
        if (separatore < 0)
            return ProtocolloMenu::NonTrovato;
        return m_config.Leggi(QStringLiteral("Personale.") + resto.left(separatore), resto.mid(separatore + 2))
            .value_or(ProtocolloMenu::NonTrovato);
    }
    return m_config.Leggi(QStringLiteral("Valori"), nome).value_or(QString());
}

QString MenuDaFile::ParametroDitta(const QString& nome)
{
    return m_config.Leggi(QStringLiteral("Ditta"), nome).value_or(QString());
}

void ImpostazioniDaFile(const QString& percorso, DatabaseLink& db, ImpostazioniDitta& ditta)
{
    MenuDaFile menu(percorso);
    const QString iniPrincipale = menu.IniPrincipale();
    ImpostazioniGenerali generali;
    // Without a Monete table the currencies keep their default decimals.
    DatabaseLink* conMonete = db.EsisteTabella(QStringLiteral("Monete")) ? &db : nullptr;
    LeggiParametriDitta(
        menu, conMonete,
        [&](const QString& sezione, const QString& chiave, const QString& predefinito) {
            return FormUtility::LeggiIni(iniPrincipale, sezione, chiave, predefinito);
        },
        ditta, generali);
}
