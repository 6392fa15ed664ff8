#pragma once
// The menu's window: the program's four screens, launch parameters, the
// commands that can be sent to the running program and a log of answers.
#include <QMainWindow>

class ConfigurazioneMenu;
class ServerMenu;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;

class FinestraMenu : public QMainWindow {
    Q_OBJECT
public:
    FinestraMenu(ConfigurazioneMenu& configurazione, ServerMenu& server);

    // Launches the program on the screen, or asks the running one.
    void Avvia(const QString& maschera);
    QString ProgrammaEseguibile() const;
    void Registra(const QString& riga);

    QListWidget* lstMaschere;
    QLineEdit* txtParametri;
    QComboBox* cobComandi;
    QLineEdit* txtParametriComando;
    QPlainTextEdit* txtRegistro;
    QLabel* labStato;

private:
    void AggiornaStato();

    ConfigurazioneMenu& m_config;
    ServerMenu& m_server;
};
