-- The route database as the program's second schema made it (schema version 1):
-- no collation of the program's own; the waypoint catalogue ordered and
-- searched through the program's collation alone.
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

PRAGMA user_version = 1;
