-- Demo company: target tables, currencies, and two load definitions.
-- The definition tables are created here the way another tool of the suite
-- would create them (plain columns); the loader uses them as they are.

CREATE TABLE Clienti (Codice VARCHAR(8) PRIMARY KEY, RagioneSociale VARCHAR(40), Citta VARCHAR(30),
  Provincia VARCHAR(2), Fido NUMERIC, DataInserimento DATE, Categoria VARCHAR(3));
CREATE TABLE Articoli (Codice VARCHAR(10) PRIMARY KEY, Descrizione VARCHAR(40), UnitaMisura VARCHAR(2),
  Prezzo NUMERIC);
CREATE TABLE PrezziListino (Listino VARCHAR(4), Articolo VARCHAR(10), Prezzo NUMERIC,
  PRIMARY KEY (Listino, Articolo));
CREATE TABLE Listini (Listino VARCHAR(4) PRIMARY KEY, Descrizione VARCHAR(30), Moneta VARCHAR(6));
CREATE TABLE Monete (moneta VARCHAR(6) PRIMARY KEY, NumDec INTEGER, NumDecGest INTEGER, Operatore VARCHAR(1), Cee VARCHAR(1));
INSERT INTO Listini VALUES ('L1', 'Listino base', 'Euro'), ('LIT', 'Listino storico', 'L.');
INSERT INTO Monete VALUES ('Euro', 2, 2, '/', 'S'), ('L.', 0, 0, '/', 'S');

CREATE TABLE IF NOT EXISTS QuivaFile (Codice TEXT, Descrizione TEXT, Tabella TEXT, Azzera TEXT, WhereAzz TEXT,
  Campi TEXT, Tabella2 TEXT, CodTab2 TEXT, Azzera2 TEXT, WhereAzz2 TEXT, Campi2 TEXT, Tabella3 TEXT, CodTab3 TEXT,
  Azzera3 TEXT, WhereAzz3 TEXT, Campi3 TEXT, Tabella4 TEXT, CodTab4 TEXT, Azzera4 TEXT, WhereAzz4 TEXT, Campi4 TEXT,
  Tabella5 TEXT, CodTab5 TEXT, Azzera5 TEXT, WhereAzz5 TEXT, Campi5 TEXT, QueryFin1 TEXT, QueryFin2 TEXT,
  QueryFin3 TEXT, Modalita TEXT, InsVaria TEXT, Separatore TEXT, Origine TEXT, SaltaInizio INTEGER, Tipo TEXT,
  Batch TEXT);
CREATE TABLE IF NOT EXISTS QuivaDettaglio (Codice TEXT, OrdCampo TEXT, NomeCampo TEXT, TipoOrig TEXT, TipoDest TEXT,
  NumCampo TEXT, Dimensione INTEGER, NonVal TEXT, ValValido TEXT, Riempie TEXT, Quanto INTEGER, Inizio INTEGER,
  Lunghezza INTEGER, "Default" TEXT, Conv0ToNull TEXT, Obbligatorio TEXT, LimiteDim INTEGER, TipoOper TEXT,
  ValoreOper TEXT, LireOValuta TEXT, Aggiorna TEXT, CostBatch TEXT);
CREATE TABLE IF NOT EXISTS QuivaDecod (Codice TEXT, Tabella TEXT, NomeCampo TEXT, ValOrig TEXT, ValDest TEXT);
CREATE TABLE IF NOT EXISTS ErroriQuivamento (Tabella TEXT, Riga TEXT, Errore TEXT);

-- CLIENTI: a delimited file with a header line; new customers are added,
-- known ones updated in the fields marked "A".
INSERT INTO QuivaFile (Codice, Descrizione, Tabella, Modalita, InsVaria, Separatore, Origine, SaltaInizio, Tipo, Batch)
VALUES ('CLIENTI', 'Anagrafica clienti da file CSV', 'Clienti', '0', 'V', '\059', 'clienti.csv', 1, 'D', 'N');
INSERT INTO QuivaDettaglio (Codice, OrdCampo, NomeCampo, TipoOrig, TipoDest, NumCampo, Dimensione, Obbligatorio, Aggiorna, "Default", Riempie, Quanto) VALUES
 ('CLIENTI', '1', 'Codice', 'String', 'String', 'K1', 0, 'S', '', NULL, NULL, NULL),
 ('CLIENTI', '2', 'RagioneSociale', 'String', 'String', '2', 0, 'S', 'A', NULL, NULL, NULL),
 ('CLIENTI', '3', 'Citta', 'String', 'String', '3', 0, '', 'A', NULL, NULL, NULL),
 ('CLIENTI', '4', 'Provincia', 'String', 'String', '4', 0, '', 'A', NULL, NULL, NULL),
 ('CLIENTI', '5', 'Fido', 'String', 'Currency', '5', 0, '', 'A', NULL, '2', 2),
 ('CLIENTI', '6', 'DataInserimento', 'String', 'Date', '6', 0, '', '', NULL, NULL, NULL),
 ('CLIENTI', '10', 'Categoria', 'String', 'String', '', 0, '', '', 'ITA', NULL, NULL);
INSERT INTO QuivaDecod VALUES ('CLIENTI', 'Clienti', 'Provincia', 'co', 'CO');

-- ARTICOLI: a fixed-width file feeding the articles and the base price list;
-- the price list is emptied first and the unit of measure set in capitals
-- at the end.
INSERT INTO QuivaFile (Codice, Descrizione, Tabella, Tabella2, CodTab2, Azzera2, Modalita, InsVaria, Origine,
  SaltaInizio, Tipo, QueryFin1, Batch)
VALUES ('ARTICOLI', 'Articoli e listino base da tracciato fisso', 'Articoli', 'PrezziListino', 'P', 'S', '0', 'V',
  'articoli.txt', 0, 'F', 'Update Articoli Set UnitaMisura = UCase(UnitaMisura)', 'N');
INSERT INTO QuivaDettaglio (Codice, OrdCampo, NomeCampo, TipoOrig, TipoDest, NumCampo, Inizio, Lunghezza, Quanto, Aggiorna, "Default") VALUES
 ('ARTICOLI', '1', 'Codice', 'String', 'String', '', 1, 10, NULL, '', NULL),
 ('ARTICOLI', '2', 'Descrizione', 'String', 'String', '', 11, 30, NULL, 'A', NULL),
 ('ARTICOLI', '3', 'UnitaMisura', 'String', 'String', '', 41, 2, NULL, 'A', NULL),
 ('ARTICOLI', '4', 'Prezzo', 'String', 'Double', '', 43, 10, 2, 'A', NULL),
 ('ARTICOLI', '5', 'P Listino', 'String', 'String', '', 0, 0, NULL, '', 'L1'),
 ('ARTICOLI', '6', 'P Articolo', 'String', 'String', '', 1, 10, NULL, '', NULL),
 ('ARTICOLI', '7', 'P Prezzo', 'String', 'Double', '', 43, 10, 2, 'A', NULL);
