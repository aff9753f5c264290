-- The Italian edition's register: the catalogue's one column named in
-- English (its average must not be named like an amount, or the report window
-- would sum the averages into a total) gets an Italian name.
UPDATE reportistica SET sqlreport = replace(sqlreport, 'AS AverageAmount', 'AS MediaPagamenti') WHERE ordine = 12;
