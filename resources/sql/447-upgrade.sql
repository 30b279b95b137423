-- Schema upgrades, one section per program version, in ascending order. A section opens with
-- a comment line holding the word VERSION and the version in square brackets; its statements
-- run once, on databases older than it.
-- A statement starts a line with SELECT, DELETE, ALTER, UPDATE, DROP, CREATE or INSERT and
-- ends at the next "--", whose line is its comment; several statements separated by ";"
-- share it. "[i]" in the comment ignores a failure, "[w]" shows the comment after the upgrade.
-- Databases made from schema.sql start at the program version that made them.

--[VERSION 4.6.0.1]
ALTER TABLE TB_STUDENT ADD COLUMN Petname TEXT NOT NULL DEFAULT '' COLLATE NOCASE -- new column TB_STUDENT.Petname
ALTER TABLE TB_STUDENT ADD COLUMN Sex INTEGER NOT NULL DEFAULT 0 -- new column TB_STUDENT.Sex
ALTER TABLE TB_STUDENT ADD COLUMN Nation TEXT NOT NULL DEFAULT '' -- new column TB_STUDENT.Nation
ALTER TABLE TB_STUDENT ADD COLUMN Birthday REAL NOT NULL DEFAULT 0 -- new column TB_STUDENT.Birthday
ALTER TABLE TB_STUDENT ADD COLUMN BirthApprox INTEGER NOT NULL DEFAULT 0 -- new column TB_STUDENT.BirthApprox
ALTER TABLE TB_STUDENT ADD COLUMN IDCard TEXT NOT NULL DEFAULT '' COLLATE NOCASE -- new column TB_STUDENT.IDCard
ALTER TABLE TB_STUDENT ADD COLUMN Refereer TEXT NOT NULL DEFAULT '' -- new column TB_STUDENT.Refereer
ALTER TABLE TB_STUDENT ADD COLUMN AreaAddr TEXT NOT NULL DEFAULT '' -- new column TB_STUDENT.AreaAddr
ALTER TABLE TB_STUDENT ADD COLUMN ExactAddr TEXT NOT NULL DEFAULT '' -- new column TB_STUDENT.ExactAddr
ALTER TABLE TB_STUDENT ADD COLUMN IsEnabled INTEGER NOT NULL DEFAULT 1 -- new column TB_STUDENT.IsEnabled
ALTER TABLE TB_STUDENT ADD COLUMN RecordMemo TEXT NOT NULL DEFAULT '' -- new column TB_STUDENT.RecordMemo
CREATE INDEX IX_STUDENT_NAME ON TB_STUDENT (RealName) -- new index IX_STUDENT_NAME
CREATE INDEX IX_STUDENT_IDCARD ON TB_STUDENT (IDCard) -- new index IX_STUDENT_IDCARD
CREATE TABLE TB_STUDENT_RESUME (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    StudentID INTEGER NOT NULL DEFAULT 0,
    DateBgn REAL NOT NULL DEFAULT 0,
    Stage INTEGER NOT NULL DEFAULT 0,
    Unit TEXT NOT NULL DEFAULT '',
    Department TEXT NOT NULL DEFAULT ''
) -- new table TB_STUDENT_RESUME
CREATE INDEX IX_STUDENT_RESUME_STUDENT ON TB_STUDENT_RESUME (StudentID) -- new index IX_STUDENT_RESUME_STUDENT
