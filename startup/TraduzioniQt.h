#pragma once
// Qt's own texts (context menus of text boxes, standard buttons) in Italian,
// from the translations installed with Qt.
class QCoreApplication;

// True when the Italian translation of Qt was found and installed.
bool InstallaTraduzioniQt(QCoreApplication& applicazione);
