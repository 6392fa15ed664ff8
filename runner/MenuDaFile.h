#pragma once
// The menu's configuration file read directly, for a run without the menu:
// company parameters, user and personal settings, named values. Screen
// hand-overs and notices have nobody to go to and do nothing.
#include "ConfigurazioneMenu.h"
#include "MenuServer.h"

class MenuDaFile : public MenuServer {
public:
    explicit MenuDaFile(const QString& percorso) : m_config(percorso) { }

    void Registra(const QString&, const QString&, const QString&) override { }
    QString ImpostazioneUtente(const QString& chiave, const QString& gruppo, const QStringList& altri = {}) override;
    OggettoLancio Lancio() override { return {}; }
    QString IniPrincipale() override { return m_config.IniPrincipale(); }
    QString Valore(const QString& nome) override;
    QString ParametroDitta(const QString& nome) override;
    void PassaMaschera(const QString&, const QString&, const QString&) override { }
    void MostraMenu(const QString&) override { }
    void LanciaSeguito(const QString&, const QString&, const QString&) override { }
    void MascheraChiusa(const QString&) override { }

private:
    ConfigurazioneMenu m_config;
};

class DatabaseLink;
struct ImpostazioniDitta;
// Company settings from the menu configuration file (and the Monete rows of
// the database).
void ImpostazioniDaFile(const QString& percorso, DatabaseLink& db, ImpostazioniDitta& ditta);
