-- Lagerverwaltung: Tabellen und Spalten mit Umlauten (UTF-8).
-- Bezeichner mit ä, ö, ü und ß stehen in doppelten Anführungszeichen oder ohne.

CREATE TABLE lager (
    artikel_nr   INTEGER NOT NULL PRIMARY KEY,
    bezeichnung  VARCHAR(80),
    größe        VARCHAR(10),
    gewicht_kg   NUMERIC(8, 3),
    "Menge (Stück)" INTEGER DEFAULT 0
);

SELECT l.artikel_nr, l.bezeichnung, l.größe, l."Menge (Stück)" AS stück
  FROM lager l
 WHERE l.größe IN ('S', 'M', 'L', 'XL')
   AND l.bezeichnung LIKE 'Gürtel%'
 ORDER BY l.größe;

UPDATE lager SET bezeichnung = 'Überzieher ''Spezial''' WHERE artikel_nr = 4711;

-- Straßennamen der Lieferanten, Schlüssel nach Größe sortiert.
select lieferant, straße, ort from lieferanten where ort = 'München' order by straße;

/* Kommentar mit Sonderzeichen: € £ ¥ — « » */
SELECT SUM(gewicht_kg) AS gesamtgewicht, COUNT(*) AS anzahl FROM lager WHERE größe <> 'XXL';
