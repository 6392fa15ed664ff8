#pragma once
// The small window shown while a database connection is opened.
#include <QWidget>

class QLabel;

class frmConn : public QWidget {
    Q_OBJECT
public:
    frmConn();
    void Prepara(const QString& titolo, const QString& versione, const QString& data);
    // Shows the window with the caption, or hides it for an empty caption.
    void Stato(const QString& didascalia);

    QLabel* lblTitolo;
    QLabel* lblVersione;
    QLabel* lblData;
};
