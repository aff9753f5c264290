-- Every table the register expects to find. The program creates only
-- "settings" itself. Keys are never reused, so "SELECT MAX(key)" right after
-- an INSERT finds the new row.
CREATE TABLE TipologiaPersone (
  TIPOLOGIAID INTEGER PRIMARY KEY AUTOINCREMENT,
  Tipologia TEXT,
  DateTimeCreated TEXT,
  DateTimeLastUpdated TEXT
);

CREATE TABLE Anagrafica (
  ANAGRAFICAID INTEGER PRIMARY KEY AUTOINCREMENT,
  TIPOLOGIAID INTEGER,
  Nome TEXT,
  Cognome TEXT,
  Indirizzo TEXT,
  CAP TEXT,
  Comune TEXT,
  Provincia TEXT,
  TelefonoCasa TEXT,
  TelefonoUfficio TEXT,
  Fax TEXT,
  Cellulare TEXT,
  CFIva TEXT,
  Email TEXT,
  SitoWeb TEXT,
  NoteAnagrafica TEXT,
  NumeroTessera TEXT,
  DataNascita TEXT,
  DataIscrizione TEXT,
  DataScadenzaIscrizione TEXT,
  DateTimeCreated TEXT,
  DateTimeLastUpdated TEXT
);

CREATE TABLE Pagamenti (
  PagamentiID INTEGER PRIMARY KEY AUTOINCREMENT,
  ANAGRAFICAID INTEGER,
  DataPagamento TEXT,
  Importo NUMERIC,
  Causale TEXT,
  NotePagamento TEXT,
  DateTimeCreated TEXT,
  DateTimeLastUpdated TEXT
);

CREATE TABLE MieiContiCorrenti (
  CONTOCORRENTEID INTEGER PRIMARY KEY AUTOINCREMENT,
  Descrizione TEXT,
  Banca TEXT,
  ABI TEXT,
  CAB TEXT,
  NumeroConto TEXT,
  Intestatari TEXT,
  DateTimeCreated TEXT,
  DateTimeLastUpdated TEXT
);

CREATE TABLE AssegniEmessi (
  ASSEGNIEMESSIID INTEGER PRIMARY KEY AUTOINCREMENT,
  CONTOCORRENTEID INTEGER,
  ANAGRAFICAID INTEGER,
  Numero TEXT,
  DataAssegno TEXT,
  LuogoEmissione TEXT,
  SuPiazza INTEGER,
  Trasferibile INTEGER,
  Sbarrato INTEGER,
  Importo NUMERIC,
  Causale TEXT,
  AssegnoNote TEXT,
  DateTimeCreated TEXT,
  DateTimeLastUpdated TEXT
);

CREATE TABLE Girate (
  GIRATEID INTEGER PRIMARY KEY AUTOINCREMENT,
  PagamentiID INTEGER,
  ANAGRAFICAID INTEGER,
  GirataPiena INTEGER,
  DataGirata TEXT,
  notegirata TEXT,
  DateTimeCreated TEXT
);

CREATE TABLE Versamenti (
  VERSAMENTIID INTEGER PRIMARY KEY AUTOINCREMENT,
  PagamentiID INTEGER,
  CONTOCORRENTEID INTEGER,
  DataVersamento TEXT,
  noteversamento TEXT,
  DateTimeCreated TEXT
);

CREATE TABLE reportistica (
  ordine INTEGER,
  sqlreport TEXT,
  titolo TEXT,
  numparametri INTEGER,
  tipopar1 TEXT,
  tipopar2 TEXT,
  promptpar1 TEXT,
  promptpar2 TEXT
);

-- The lookups by a referring key: the payments of one member, and the checks
-- that refuse to delete a member, a member type or a bank account still
-- referred to, and the endorsement and deposit rows a payment takes with it.
-- Without them each of these reads the whole table. The program creates the
-- same indexes at start in a register made before they were here.
CREATE INDEX IF NOT EXISTS PagamentiAnagrafica ON Pagamenti (ANAGRAFICAID);
CREATE INDEX IF NOT EXISTS AnagraficaTipologia ON Anagrafica (TIPOLOGIAID);
CREATE INDEX IF NOT EXISTS GiratePagamento ON Girate (PagamentiID);
CREATE INDEX IF NOT EXISTS VersamentiPagamento ON Versamenti (PagamentiID);
CREATE INDEX IF NOT EXISTS VersamentiConto ON Versamenti (CONTOCORRENTEID);
CREATE INDEX IF NOT EXISTS AssegniEmessiConto ON AssegniEmessi (CONTOCORRENTEID);
