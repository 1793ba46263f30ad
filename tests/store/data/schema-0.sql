-- The route database. Keys are assigned by SQLite and never reused
-- (AUTOINCREMENT), so a key that once named a deleted row never names another.
-- Text columns are compared and ordered without regard to letter case through
-- the KALYX_NOCASE collation that the program registers on its connection; the
-- indexes below carry it so that those comparisons can use them. Any SQLite
-- client can read the file; writing rows needs the collation registered.

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
-- The route list's order.
CREATE INDEX Routes_Name ON Routes (Name COLLATE KALYX_NOCASE, S);
-- The waypoint catalogue's order, the flight plan import's and the waypoint
-- editor's look-ups by ident.
CREATE INDEX Punkts_ID_Region ON Punkts (ID COLLATE KALYX_NOCASE, Region COLLATE KALYX_NOCASE);
-- The beacon catalogue's order.
CREATE INDEX RSBN_Region_ID ON RSBN (Region COLLATE KALYX_NOCASE, ID COLLATE KALYX_NOCASE);
-- An airport's runways.
CREATE INDEX Runways_AP ON Runways (AP);
