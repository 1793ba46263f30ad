-- The route database. Keys are assigned by SQLite and never reused
-- (AUTOINCREMENT), so a key that once named a deleted row never names another.
-- The schema names no collation and no function of the program's own, so that
-- any SQLite client reads, orders and writes every table, and keeps every index
-- and every table the triggers keep. The program compares and orders text
-- without regard to letter case, Cyrillic included, through the KALYX_NOCASE
-- collation that it registers on its own connection and names in its own
-- statements; the waypoint catalogue's order and its search by name words are
-- built from SQLite's own functions instead, so that they hold for rows any
-- client writes. PRAGMA user_version records the schema's version; the program
-- brings an older file up to it (store/Schema.cpp, which makes what version 2
-- added with the very same text as below).

CREATE TABLE Routes (
  Code      INTEGER PRIMARY KEY AUTOINCREMENT,
  Name      TEXT,
  S         REAL,
  Vilka     REAL,
  FL        INTEGER,
  Type      TEXT,
  RouteType INTEGER,
  AP_V      TEXT,
  AP_P      TEXT,
  Dep_ID    TEXT,
  Dep_Name  TEXT,
  Dep_Pos   TEXT,
  Dest_ID   TEXT,
  Dest_Name TEXT,
  DateTime  TEXT  -- local date and time, yyyy-MM-ddTHH:mm:ss; Null: not calculated
);

CREATE TABLE Points (
  Code    INTEGER PRIMARY KEY AUTOINCREMENT,
  Route   INTEGER,
  Number  INTEGER,
  Punkt   INTEGER,
  RSBN    INTEGER,
  IPU     REAL,
  MPU     REAL,
  S       REAL,
  Sp      REAL,
  P_V     REAL,
  P_P     REAL,
  OZMPU_V REAL,
  OZMPU_P REAL,
  UKm     REAL,
  Sm      REAL,
  Zm      REAL,
  Am      REAL,
  Dm      REAL,
  LUR     INTEGER
);

CREATE TABLE Punkts (
  Code   INTEGER PRIMARY KEY AUTOINCREMENT,
  ID     TEXT,
  Region TEXT,
  Name   TEXT,
  Type   TEXT,
  Freq   REAL,
  LAT    TEXT,
  LON    TEXT,
  MS     REAL,
  H      REAL,
  ATIS   REAL,
  RSBN   INTEGER,
  H_PER  INTEGER,
  FL_PER INTEGER
);

CREATE TABLE RSBN (
  Code   INTEGER PRIMARY KEY AUTOINCREMENT,
  Region TEXT,
  ID     TEXT,
  Name   TEXT,
  LAT    TEXT,
  LON    TEXT,
  Freq   REAL
);

CREATE TABLE RSBNSelect (
  RSBN INTEGER,
  L    REAL
);

CREATE TABLE Runways (
  Code     INTEGER PRIMARY KEY AUTOINCREMENT,
  AP       INTEGER,
  Runway   TEXT,
  DPRM     REAL,
  BPRM     REAL,
  ILSAngle INTEGER,
  ILSFreq  REAL,
  Type     TEXT,
  IZPU_P   REAL,
  Zm_P     REAL,
  Sm_P     REAL
);

-- A route's points in flight order; deleting a route's points.
CREATE INDEX Points_Route_Number ON Points (Route, Number);
-- Routes that use a waypoint (deletion check, marking routes not calculated).
CREATE INDEX Points_Punkt ON Points (Punkt);
-- The flight plan import's and the waypoint editor's look-ups by ident: the
-- program narrows them through this index with SQLite's own NOCASE and then
-- compares with its own collation (store/Collation.h).
CREATE INDEX Punkts_ID_Region ON Punkts (ID COLLATE NOCASE, Region COLLATE NOCASE);
-- An airport's runways.
CREATE INDEX Runways_AP ON Runways (AP);

-- The waypoint catalogue's order: ident, then region, letter case ignored, then
-- Code (the rowid every index ends with). A key is its text with the capitals
-- made small: lower() for a text of Latin letters alone; for any other text its
-- first characters one at a time (10 of an ident, 2 of a region), the Cyrillic
-- capitals of Russian, Ukrainian and Belarusian turned into their small
-- letters, since SQLite's parser cannot nest the replace() calls a whole-text
-- fold would take. A Null text has the key of the empty text. Keys compare byte
-- by byte as the program's collation compares the texts (store/TextKey.h).
CREATE INDEX Punkts_Order ON Punkts ((CASE WHEN length(CAST(ifnull(ID, '') AS BLOB)) = length(ifnull(ID, '')) THEN lower(ifnull(ID, '')) ELSE lower(coalesce(substr('абвгдеёжзийклмнопрстуфхцчшщъыьэюяєіїґў', nullif(instr('АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯЄІЇҐЎ', substr(ifnull(ID, ''), 1, 1)), 0), length(substr(ifnull(ID, ''), 1, 1))), substr(ifnull(ID, ''), 1, 1)) || coalesce(substr('абвгдеёжзийклмнопрстуфхцчшщъыьэюяєіїґў', nullif(instr('АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯЄІЇҐЎ', substr(ifnull(ID, ''), 2, 1)), 0), length(substr(ifnull(ID, ''), 2, 1))), substr(ifnull(ID, ''), 2, 1)) || coalesce(substr('абвгдеёжзийклмнопрстуфхцчшщъыьэюяєіїґў', nullif(instr('АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯЄІЇҐЎ', substr(ifnull(ID, ''), 3, 1)), 0), length(substr(ifnull(ID, ''), 3, 1))), substr(ifnull(ID, ''), 3, 1)) || coalesce(substr('абвгдеёжзийклмнопрстуфхцчшщъыьэюяєіїґў', nullif(instr('АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯЄІЇҐЎ', substr(ifnull(ID, ''), 4, 1)), 0), length(substr(ifnull(ID, ''), 4, 1))), substr(ifnull(ID, ''), 4, 1)) || coalesce(substr('абвгдеёжзийклмнопрстуфхцчшщъыьэюяєіїґў', nullif(instr('АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯЄІЇҐЎ', substr(ifnull(ID, ''), 5, 1)), 0), length(substr(ifnull(ID, ''), 5, 1))), substr(ifnull(ID, ''), 5, 1)) || coalesce(substr('абвгдеёжзийклмнопрстуфхцчшщъыьэюяєіїґў', nullif(instr('АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯЄІЇҐЎ', substr(ifnull(ID, ''), 6, 1)), 0), length(substr(ifnull(ID, ''), 6, 1))), substr(ifnull(ID, ''), 6, 1)) || coalesce(substr('абвгдеёжзийклмнопрстуфхцчшщъыьэюяєіїґў', nullif(instr('АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯЄІЇҐЎ', substr(ifnull(ID, ''), 7, 1)), 0), length(substr(ifnull(ID, ''), 7, 1))), substr(ifnull(ID, ''), 7, 1)) || coalesce(substr('абвгдеёжзийклмнопрстуфхцчшщъыьэюяєіїґў', nullif(instr('АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯЄІЇҐЎ', substr(ifnull(ID, ''), 8, 1)), 0), length(substr(ifnull(ID, ''), 8, 1))), substr(ifnull(ID, ''), 8, 1)) || coalesce(substr('абвгдеёжзийклмнопрстуфхцчшщъыьэюяєіїґў', nullif(instr('АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯЄІЇҐЎ', substr(ifnull(ID, ''), 9, 1)), 0), length(substr(ifnull(ID, ''), 9, 1))), substr(ifnull(ID, ''), 9, 1)) || coalesce(substr('абвгдеёжзийклмнопрстуфхцчшщъыьэюяєіїґў', nullif(instr('АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯЄІЇҐЎ', substr(ifnull(ID, ''), 10, 1)), 0), length(substr(ifnull(ID, ''), 10, 1))), substr(ifnull(ID, ''), 10, 1)) || substr(ifnull(ID, ''), 11)) END), (CASE WHEN length(CAST(ifnull(Region, '') AS BLOB)) = length(ifnull(Region, '')) THEN lower(ifnull(Region, '')) ELSE lower(coalesce(substr('абвгдеёжзийклмнопрстуфхцчшщъыьэюяєіїґў', nullif(instr('АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯЄІЇҐЎ', substr(ifnull(Region, ''), 1, 1)), 0), length(substr(ifnull(Region, ''), 1, 1))), substr(ifnull(Region, ''), 1, 1)) || coalesce(substr('абвгдеёжзийклмнопрстуфхцчшщъыьэюяєіїґў', nullif(instr('АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯЄІЇҐЎ', substr(ifnull(Region, ''), 2, 1)), 0), length(substr(ifnull(Region, ''), 2, 1))), substr(ifnull(Region, ''), 2, 1)) || substr(ifnull(Region, ''), 3)) END));

-- The words of every waypoint name, for the search by any word of it: each
-- word's start with the name from there on (at most 24 characters), as the
-- triggers below split the first 50 characters of a name at blanks and at the
-- characters -/(),." (store/NameWords.h). SQLite's NOCASE lets the search
-- ignore the case of Latin letters; the program looks for every spelling of
-- the first Cyrillic letters.
CREATE TABLE PunktWords (
  Word  TEXT COLLATE NOCASE,
  Punkt INTEGER,
  PRIMARY KEY (Word, Punkt)
) WITHOUT ROWID;

CREATE TRIGGER Punkts_Words_Insert AFTER INSERT ON Punkts BEGIN
  INSERT OR IGNORE INTO PunktWords (Word, Punkt) SELECT substr(NEW.Name, p.column1, 24) AS Word, NEW.Code AS Punkt FROM (VALUES (1),(2),(3),(4),(5),(6),(7),(8),(9),(10),(11),(12),(13),(14),(15),(16),(17),(18),(19),(20),(21),(22),(23),(24),(25),(26),(27),(28),(29),(30),(31),(32),(33),(34),(35),(36),(37),(38),(39),(40),(41),(42),(43),(44),(45),(46),(47),(48),(49),(50)) AS p WHERE p.column1 <= length(NEW.Name) AND (p.column1 = 1 OR instr(' -/(),."', substr(NEW.Name, p.column1 - 1, 1)) > 0) AND instr(' -/(),."', substr(NEW.Name, p.column1, 1)) = 0;
END;

CREATE TRIGGER Punkts_Words_Update AFTER UPDATE OF Name, Code ON Punkts
WHEN OLD.Name IS NOT NEW.Name OR OLD.Code IS NOT NEW.Code BEGIN
  DELETE FROM PunktWords WHERE Punkt = OLD.Code AND Word IN (SELECT Word FROM (SELECT substr(OLD.Name, p.column1, 24) AS Word, OLD.Code AS Punkt FROM (VALUES (1),(2),(3),(4),(5),(6),(7),(8),(9),(10),(11),(12),(13),(14),(15),(16),(17),(18),(19),(20),(21),(22),(23),(24),(25),(26),(27),(28),(29),(30),(31),(32),(33),(34),(35),(36),(37),(38),(39),(40),(41),(42),(43),(44),(45),(46),(47),(48),(49),(50)) AS p WHERE p.column1 <= length(OLD.Name) AND (p.column1 = 1 OR instr(' -/(),."', substr(OLD.Name, p.column1 - 1, 1)) > 0) AND instr(' -/(),."', substr(OLD.Name, p.column1, 1)) = 0));
  INSERT OR IGNORE INTO PunktWords (Word, Punkt) SELECT substr(NEW.Name, p.column1, 24) AS Word, NEW.Code AS Punkt FROM (VALUES (1),(2),(3),(4),(5),(6),(7),(8),(9),(10),(11),(12),(13),(14),(15),(16),(17),(18),(19),(20),(21),(22),(23),(24),(25),(26),(27),(28),(29),(30),(31),(32),(33),(34),(35),(36),(37),(38),(39),(40),(41),(42),(43),(44),(45),(46),(47),(48),(49),(50)) AS p WHERE p.column1 <= length(NEW.Name) AND (p.column1 = 1 OR instr(' -/(),."', substr(NEW.Name, p.column1 - 1, 1)) > 0) AND instr(' -/(),."', substr(NEW.Name, p.column1, 1)) = 0;
END;

CREATE TRIGGER Punkts_Words_Delete AFTER DELETE ON Punkts BEGIN
  DELETE FROM PunktWords WHERE Punkt = OLD.Code AND Word IN (SELECT Word FROM (SELECT substr(OLD.Name, p.column1, 24) AS Word, OLD.Code AS Punkt FROM (VALUES (1),(2),(3),(4),(5),(6),(7),(8),(9),(10),(11),(12),(13),(14),(15),(16),(17),(18),(19),(20),(21),(22),(23),(24),(25),(26),(27),(28),(29),(30),(31),(32),(33),(34),(35),(36),(37),(38),(39),(40),(41),(42),(43),(44),(45),(46),(47),(48),(49),(50)) AS p WHERE p.column1 <= length(OLD.Name) AND (p.column1 = 1 OR instr(' -/(),."', substr(OLD.Name, p.column1 - 1, 1)) > 0) AND instr(' -/(),."', substr(OLD.Name, p.column1, 1)) = 0));
END;

-- Where the waypoints are, for the route map's catalogue layer: an R*Tree of
-- latitude, longitude (degrees) and rank (how soon the map shows a waypoint as
-- it zooms in: 0 first), keyed by Punkts.Code, with the ident and the kind
-- (0 airport, 1 VOR, 2 NDB, 3 intersection) that the map shows. The triggers
-- only note which waypoints changed; the program brings the tree up to date
-- from those notes before it reads it (map/core/CatalogueIndex.cpp). So a
-- client without the R*Tree module still writes Punkts, and no client must
-- know how a coordinate text is read.
CREATE VIRTUAL TABLE PunktsArea USING rtree(Code, LatMin, LatMax, LonMin, LonMax, RankMin, RankMax, +ID, +Kind);
CREATE TABLE PunktsAreaStale (
  Code INTEGER PRIMARY KEY
);
CREATE TRIGGER Punkts_Area_Insert AFTER INSERT ON Punkts
  BEGIN INSERT OR IGNORE INTO PunktsAreaStale (Code) VALUES (new.Code); END;
CREATE TRIGGER Punkts_Area_Update AFTER UPDATE OF Code, ID, Type, LAT, LON, ATIS ON Punkts
  WHEN old.Code IS NOT new.Code OR old.ID IS NOT new.ID OR old.Type IS NOT new.Type OR old.LAT IS NOT new.LAT
    OR old.LON IS NOT new.LON OR old.ATIS IS NOT new.ATIS
  BEGIN INSERT OR IGNORE INTO PunktsAreaStale (Code) VALUES (old.Code), (new.Code); END;
CREATE TRIGGER Punkts_Area_Delete AFTER DELETE ON Punkts
  BEGIN INSERT OR IGNORE INTO PunktsAreaStale (Code) VALUES (old.Code); END;

PRAGMA user_version = 3;
