-- The member types a new register starts with; the user renames or adds to them.
INSERT INTO TipologiaPersone (Tipologia, DateTimeCreated) VALUES ('Socio ordinario', '2026-01-01 00:00:00');
INSERT INTO TipologiaPersone (Tipologia, DateTimeCreated) VALUES ('Socio sostenitore', '2026-01-01 00:00:00');
INSERT INTO TipologiaPersone (Tipologia, DateTimeCreated) VALUES ('Contatto', '2026-01-01 00:00:00');
