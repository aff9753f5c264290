-- Every table the register expects to find, for a MariaDB (or MySQL) server.
-- The program creates only "settings" itself. Dates are DATETIME, amounts
-- DECIMAL with two decimals, flags small integers, texts utf8mb4 of any
-- length the user types (TEXT; notes MEDIUMTEXT). InnoDB, so statements
-- that belong together run as one transaction. The server must compare
-- table names without regard to case: lower_case_table_names=1.
SET NAMES utf8mb4;

CREATE TABLE TipologiaPersone (
  TIPOLOGIAID BIGINT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  Tipologia TEXT,
  DateTimeCreated DATETIME,
  DateTimeLastUpdated DATETIME
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_uca1400_nopad_as_ci;

CREATE TABLE Anagrafica (
  ANAGRAFICAID BIGINT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  TIPOLOGIAID BIGINT,
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
  NoteAnagrafica MEDIUMTEXT,
  NumeroTessera TEXT,
  DataNascita DATETIME,
  DataIscrizione DATETIME,
  DataScadenzaIscrizione DATETIME,
  DateTimeCreated DATETIME,
  DateTimeLastUpdated DATETIME
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_uca1400_nopad_as_ci;

CREATE TABLE Pagamenti (
  PagamentiID BIGINT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  ANAGRAFICAID BIGINT,
  DataPagamento DATETIME,
  Importo DECIMAL(14,2),
  Causale TEXT,
  NotePagamento MEDIUMTEXT,
  DateTimeCreated DATETIME,
  DateTimeLastUpdated DATETIME
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_uca1400_nopad_as_ci;

CREATE TABLE MieiContiCorrenti (
  CONTOCORRENTEID BIGINT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  Descrizione TEXT,
  Banca TEXT,
  ABI TEXT,
  CAB TEXT,
  NumeroConto TEXT,
  Intestatari TEXT,
  DateTimeCreated DATETIME,
  DateTimeLastUpdated DATETIME
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_uca1400_nopad_as_ci;

CREATE TABLE AssegniEmessi (
  ASSEGNIEMESSIID BIGINT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  CONTOCORRENTEID BIGINT,
  ANAGRAFICAID BIGINT,
  Numero TEXT,
  DataAssegno DATETIME,
  LuogoEmissione TEXT,
  SuPiazza SMALLINT,
  Trasferibile SMALLINT,
  Sbarrato SMALLINT,
  Importo DECIMAL(14,2),
  Causale TEXT,
  AssegnoNote MEDIUMTEXT,
  DateTimeCreated DATETIME,
  DateTimeLastUpdated DATETIME
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_uca1400_nopad_as_ci;

CREATE TABLE Girate (
  GIRATEID BIGINT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  PagamentiID BIGINT,
  ANAGRAFICAID BIGINT,
  GirataPiena SMALLINT,
  DataGirata DATETIME,
  notegirata MEDIUMTEXT,
  DateTimeCreated DATETIME
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_uca1400_nopad_as_ci;

CREATE TABLE Versamenti (
  VERSAMENTIID BIGINT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  PagamentiID BIGINT,
  CONTOCORRENTEID BIGINT,
  DataVersamento DATETIME,
  noteversamento MEDIUMTEXT,
  DateTimeCreated DATETIME
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_uca1400_nopad_as_ci;

CREATE TABLE reportistica (
  ordine INT,
  sqlreport MEDIUMTEXT,
  titolo TEXT,
  numparametri INT,
  tipopar1 TEXT,
  tipopar2 TEXT,
  promptpar1 TEXT,
  promptpar2 TEXT
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_uca1400_nopad_as_ci;

-- The lookups by member, type, payment and account that the payments of one
-- member and the delete checks make (InnoDB also indexes a foreign key, but
-- the schema declares none).
CREATE INDEX PagamentiAnagrafica ON Pagamenti (ANAGRAFICAID);
CREATE INDEX AnagraficaTipologia ON Anagrafica (TIPOLOGIAID);
CREATE INDEX GiratePagamento ON Girate (PagamentiID);
CREATE INDEX VersamentiPagamento ON Versamenti (PagamentiID);
CREATE INDEX VersamentiConto ON Versamenti (CONTOCORRENTEID);
CREATE INDEX AssegniEmessiConto ON AssegniEmessi (CONTOCORRENTEID);
