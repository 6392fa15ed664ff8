#pragma once
// A menu server held in memory: values by name, settings by group and key,
// and a log of what the program asked.
#include "MenuServer.h"
#include "ProtocolloMenu.h"

#include <QHash>
#include <QStringList>

class MenuFinto : public MenuServer {
public:
    QHash<QString, QString> valori, ditta, impostazioni;  // impostazioni: "gruppo/chiave"
    QStringList chiamate;
    OggettoLancio lancio;
    QString ini;

    void Registra(const QString& m, const QString& p, const QString& par) override
    {
        chiamate << "registra " + m + "|" + p + "|" + par;
    }
    QString ImpostazioneUtente(const QString& chiave, const QString& gruppo, const QStringList& altri) override
    {
        chiamate << "impostazione " + gruppo + "/" + chiave + "|" + altri.join('|');
        QString nome = gruppo + "/" + chiave;
        if (chiave == "TastiCtrl" && !altri.isEmpty())
            nome += "_" + altri.first();
        return impostazioni.value(nome);
    }
    OggettoLancio Lancio() override { return lancio; }
    QString IniPrincipale() override { return ini; }
    QString Valore(const QString& nome) override
    {
        if (nome.startsWith("Personal."))
            return valori.value(nome, ProtocolloMenu::NonTrovato);
        return valori.value(nome);
    }
    QString ParametroDitta(const QString& nome) override { return ditta.value(nome); }
    void PassaMaschera(const QString& t, const QString& n, const QString& k) override
    {
        chiamate << "passa " + t + "|" + n + "|" + k;
    }
    void MostraMenu(const QString& g) override { chiamate << "mostra " + g; }
    void LanciaSeguito(const QString& a, const QString& b, const QString& c) override
    {
        chiamate << "seguito " + a + b + c;
    }
    void MascheraChiusa(const QString& k) override { chiamate << "chiusa " + k; }
};
