CREATE TABLE IF NOT EXISTS "Documents" (
  "D_ID" TEXT CHECK (length("D_ID") <= 8) CHECK ("D_ID" <> ''),
  "D_Name" TEXT CHECK (length("D_Name") <= 255) CHECK ("D_Name" <> ''),
  "D_Description" TEXT CHECK (length("D_Description") <= 255)
);
CREATE UNIQUE INDEX "Documents_Primary Key" ON "Documents" ("D_ID");
CREATE TABLE IF NOT EXISTS "Elements" (
  "E_id" TEXT CHECK (length("E_id") <= 16) CHECK ("E_id" <> ''),
  "E_label" TEXT CHECK (length("E_label") <= 255),
  "E_DocId" TEXT CHECK (length("E_DocId") <= 16) CHECK ("E_DocId" <> ''),
  "E_CreateDate" TEXT,
  "E_ModifDate" TEXT,
  "E_DeleteDate" TEXT,
  "E_Number1" INTEGER,
  "E_Number2" INTEGER,
  "E_Number3" INTEGER,
  "E_Number4" INTEGER,
  "E_level" INTEGER,
  "E_Deleted" INTEGER NOT NULL DEFAULT 0
);
CREATE UNIQUE INDEX "Elements_Primary Key" ON "Elements" ("E_id");
CREATE TABLE IF NOT EXISTS "Properties" (
  "P_Autonum" INTEGER PRIMARY KEY AUTOINCREMENT,
  "P_Label" TEXT CHECK (length("P_Label") <= 50) CHECK ("P_Label" <> ''),
  "P_Type" TEXT CHECK (length("P_Type") <= 4) CHECK ("P_Type" <> ''),
  "P_CreationDate" TEXT,
  "P_DefaultValue" TEXT CHECK (length("P_DefaultValue") <= 16),
  "P_MinValue" TEXT CHECK (length("P_MinValue") <= 16),
  "P_MaxValue" TEXT CHECK (length("P_MaxValue") <= 16),
  "P_ComboValues" TEXT CHECK (length("P_ComboValues") <= 64) CHECK ("P_ComboValues" <> ''),
  "P_Deleted" INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE sqlite_sequence(name,seq);
CREATE UNIQUE INDEX "Properties_Primary Key" ON "Properties" ("P_Autonum");
CREATE TABLE IF NOT EXISTS "Links" (
  "L_Autonum" INTEGER PRIMARY KEY AUTOINCREMENT,
  "L_Id1" TEXT CHECK (length("L_Id1") <= 16) CHECK ("L_Id1" <> ''),
  "L_DocId1" TEXT CHECK (length("L_DocId1") <= 16) CHECK ("L_DocId1" <> ''),
  "L_Id2" TEXT CHECK (length("L_Id2") <= 16) CHECK ("L_Id2" <> ''),
  "L_DocId2" TEXT CHECK (length("L_DocId2") <= 16) CHECK ("L_DocId2" <> ''),
  "L_CreateDate" TEXT,
  "L_DeleteDate" TEXT,
  "L_Deleted" INTEGER NOT NULL DEFAULT 0,
  "L_Notes" TEXT
);
CREATE UNIQUE INDEX "Links_Primary Key" ON "Links" ("L_Autonum");
CREATE TABLE IF NOT EXISTS "ElemProperties" (
  "P_id" INTEGER,
  "E_id" TEXT CHECK (length("E_id") <= 16) CHECK ("E_id" <> ''),
  "PE_value" TEXT CHECK (length("PE_value") <= 64)
);
CREATE INDEX "ElemProperties_E_id" ON "ElemProperties" ("E_id");
CREATE INDEX "ElemProperties_P_id" ON "ElemProperties" ("P_id");
