-- The route database. Keys are assigned by SQLite and never reused
-- (AUTOINCREMENT), so a key that once named a deleted row never names another.
-- The schema names no collation of the program's own, so that any SQLite
-- client reads, orders and writes every table. The program compares and orders
-- text without regard to letter case, Cyrillic included, through the
-- KALYX_NOCASE collation that it registers on its own connection and names in
-- its own statements. PRAGMA user_version records the schema's version; the
-- program brings an older file up to it (store/Schema.cpp).

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
