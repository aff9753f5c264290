-- Rows of the report catalogue shipped with a new register on a MariaDB
-- (or MySQL) server: the titles, parameters and results of data/reports.sql,
-- the queries in the server's dialect. sqlreport is the query without its
-- leading SELECT and starts with a blank. Placeholders: [P1] [P1+1M] [P1+1A]
-- (month or date), [P1ARR] (end date of two dates), [P2] ...; the query
-- supplies the quotes around them. Reports without parameters keep '' (not
-- NULL) in their type and prompt columns.
SET NAMES utf8mb4;

INSERT INTO reportistica (ordine, sqlreport, titolo, numparametri, tipopar1, tipopar2, promptpar1, promptpar2) VALUES
(1, ' a.ANAGRAFICAID, a.Cognome AS CognomeRagioneSociale, a.Nome, b.Tipologia, a.NumeroTessera, a.DataIscrizione, a.DataScadenzaIscrizione, a.Comune, a.Cellulare, a.Email FROM Anagrafica a LEFT JOIN TipologiaPersone b ON a.TIPOLOGIAID = b.TIPOLOGIAID ORDER BY a.Cognome, a.Nome',
 'Tutti i soci', 0, '', '', '', ''),

(2, ' a.ANAGRAFICAID, a.Cognome AS CognomeRagioneSociale, a.Nome, b.Tipologia, a.NumeroTessera, a.DataIscrizione, a.DataScadenzaIscrizione, a.Comune, a.Cellulare, a.Email FROM Anagrafica a LEFT JOIN TipologiaPersone b ON a.TIPOLOGIAID = b.TIPOLOGIAID WHERE a.DataScadenzaIscrizione >= CURDATE() ORDER BY a.Cognome, a.Nome',
 'Tutti i soci con tessera valida', 0, '', '', '', ''),

(3, ' a.ANAGRAFICAID, a.Cognome AS CognomeRagioneSociale, a.Nome, b.Tipologia, a.NumeroTessera, a.DataIscrizione, a.DataScadenzaIscrizione, a.Comune, a.Cellulare, a.Email FROM Anagrafica a LEFT JOIN TipologiaPersone b ON a.TIPOLOGIAID = b.TIPOLOGIAID WHERE a.DataScadenzaIscrizione < CURDATE() ORDER BY a.DataScadenzaIscrizione, a.Cognome, a.Nome',
 'Tutti i soci con tessera scaduta', 0, '', '', '', ''),

(4, ' a.ANAGRAFICAID, a.Cognome AS CognomeRagioneSociale, a.Nome, b.Tipologia, a.NumeroTessera, a.DataScadenzaIscrizione, a.Cellulare, a.Email FROM Anagrafica a LEFT JOIN TipologiaPersone b ON a.TIPOLOGIAID = b.TIPOLOGIAID WHERE a.DataScadenzaIscrizione >= CURDATE() AND a.DataScadenzaIscrizione < (CURDATE() + INTERVAL 1 MONTH + INTERVAL 1 DAY) ORDER BY a.DataScadenzaIscrizione, a.Cognome, a.Nome',
 'Tutti i soci con tessera in scadenza entro un mese', 0, '', '', '', ''),

(5, ' a.ANAGRAFICAID, a.Cognome AS CognomeRagioneSociale, a.Nome, b.Tipologia, a.NumeroTessera, a.DataScadenzaIscrizione, a.Cellulare, a.Email FROM Anagrafica a LEFT JOIN TipologiaPersone b ON a.TIPOLOGIAID = b.TIPOLOGIAID WHERE a.DataScadenzaIscrizione >= CURDATE() AND a.DataScadenzaIscrizione < (CURDATE() + INTERVAL 2 MONTH + INTERVAL 1 DAY) ORDER BY a.DataScadenzaIscrizione, a.Cognome, a.Nome',
 'Tutti i soci con tessera in scadenza entro due mesi', 0, '', '', '', ''),

(6, ' a.PagamentiID, concat(ifnull(b.Cognome, ''''), '' '', ifnull(b.Nome, '''')) AS Socio, a.DataPagamento, a.Causale, a.Importo, a.NotePagamento FROM Pagamenti a LEFT JOIN Anagrafica b ON a.ANAGRAFICAID = b.ANAGRAFICAID ORDER BY a.DataPagamento, a.PagamentiID',
 'Tutti i pagamenti', 0, '', '', '', ''),

(7, ' a.PagamentiID, concat(ifnull(b.Cognome, ''''), '' '', ifnull(b.Nome, '''')) AS Socio, a.DataPagamento, a.Causale, a.Importo, a.NotePagamento FROM Pagamenti a LEFT JOIN Anagrafica b ON a.ANAGRAFICAID = b.ANAGRAFICAID WHERE a.DataPagamento >= ''[P1]'' AND a.DataPagamento < ''[P1+1M]'' ORDER BY a.DataPagamento, a.PagamentiID',
 'Pagamenti ricevuti nel mese', 1, 'DATAMESE', '', 'il mese (formato MM/AAAA)', ''),

(8, ' a.PagamentiID, concat(ifnull(b.Cognome, ''''), '' '', ifnull(b.Nome, '''')) AS Socio, a.DataPagamento, a.Causale, a.Importo, a.NotePagamento FROM Pagamenti a LEFT JOIN Anagrafica b ON a.ANAGRAFICAID = b.ANAGRAFICAID WHERE a.DataPagamento >= ''[P1]'' AND a.DataPagamento < ''[P1+1A]'' ORDER BY a.DataPagamento, a.PagamentiID',
 'Pagamenti ricevuti nell''anno', 1, 'DATAMESE', '', 'il mese di partenza (formato MM/AAAA)', ''),

-- The end date counts whole: payments up to the end of that day.
(9, ' a.PagamentiID, concat(ifnull(b.Cognome, ''''), '' '', ifnull(b.Nome, '''')) AS Socio, a.DataPagamento, a.Causale, a.Importo, a.NotePagamento FROM Pagamenti a LEFT JOIN Anagrafica b ON a.ANAGRAFICAID = b.ANAGRAFICAID WHERE a.DataPagamento >= ''[P1]'' AND a.DataPagamento < (''[P1ARR]'' + INTERVAL 1 DAY) ORDER BY a.DataPagamento, a.PagamentiID',
 'Pagamenti ricevuti tra due date', 1, 'DUEDATEPRECISE', '', 'la data di partenza (formato GG/MM/AAAA)', ''),

-- A received cheque is a payment that was endorsed or deposited; the
-- sub-queries keep one row per cheque, so its amount counts once.
(10, ' a.PagamentiID, concat(ifnull(b.Cognome, ''''), '' '', ifnull(b.Nome, '''')) AS Socio, a.DataPagamento, a.Causale, a.Importo, (SELECT g.GirataPiena FROM Girate g WHERE g.PagamentiID = a.PagamentiID ORDER BY g.DataGirata DESC LIMIT 1) AS GirataPiena, (SELECT MAX(g.DataGirata) FROM Girate g WHERE g.PagamentiID = a.PagamentiID) AS DataGirata, (SELECT MAX(v.DataVersamento) FROM Versamenti v WHERE v.PagamentiID = a.PagamentiID) AS DataVersamento FROM Pagamenti a LEFT JOIN Anagrafica b ON a.ANAGRAFICAID = b.ANAGRAFICAID WHERE (EXISTS (SELECT 1 FROM Girate g WHERE g.PagamentiID = a.PagamentiID) OR EXISTS (SELECT 1 FROM Versamenti v WHERE v.PagamentiID = a.PagamentiID)) AND a.DataPagamento >= ''[P1]'' AND a.DataPagamento < ''[P1+1A]'' ORDER BY a.DataPagamento, a.PagamentiID',
 'Assegni ricevuti nell''anno', 1, 'DATAMESE', '', 'il mese di partenza (formato MM/AAAA)', ''),

(11, ' DATE_FORMAT(DataPagamento, ''%Y'') AS Anno, DATE_FORMAT(DataPagamento, ''%m'') AS Mese, SUM(Importo) AS TotaleImporti FROM Pagamenti WHERE DataPagamento IS NOT NULL GROUP BY DATE_FORMAT(DataPagamento, ''%Y''), DATE_FORMAT(DataPagamento, ''%m'') ORDER BY 1, 2',
 'Somma degli importi ricevuti per mese', 0, '', '', '', ''),

(12, ' DATE_FORMAT(DataPagamento, ''%Y'') AS Anno, DATE_FORMAT(DataPagamento, ''%m'') AS Mese, ROUND(AVG(Importo), 2) AS AverageAmount FROM Pagamenti WHERE DataPagamento IS NOT NULL GROUP BY DATE_FORMAT(DataPagamento, ''%Y''), DATE_FORMAT(DataPagamento, ''%m'') ORDER BY 1, 2',
 'Media degli importi ricevuti per mese', 0, '', '', '', ''),

(13, ' DATE_FORMAT(DataPagamento, ''%Y'') AS Anno, DATE_FORMAT(DataPagamento, ''%m'') AS Mese, COUNT(*) AS NumeroPagamenti FROM Pagamenti WHERE DataPagamento IS NOT NULL GROUP BY DATE_FORMAT(DataPagamento, ''%Y''), DATE_FORMAT(DataPagamento, ''%m'') ORDER BY 1, 2',
 'Numero di pagamenti ricevuti per mese', 0, '', '', '', '');
