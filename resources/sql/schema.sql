-- Every table, column and index of Lorvan.mdb. A new database is made from this text; older
-- databases reach the same shape through the sections of the upgrade script (447).
-- Texts are stored as '' when empty, never NULL; dates are OLE day numbers; money is REAL.
-- Names and keys compare without regard to case, as the program has always matched them.

-- Settings: only values that differ from their reader's default.
CREATE TABLE TB_PROFILE (
    SecName TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
    KeyName TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
    KeyValue TEXT NOT NULL DEFAULT '',
    UNIQUE (SecName, KeyName)
);

-- The operation log: logins, queries, changes, prints, messages, runs; also the stamps of
-- every record and the open web logins.
CREATE TABLE TB_OPERLOG (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    OperTime REAL NOT NULL DEFAULT 0,
    UserID INTEGER NOT NULL DEFAULT 0,
    UserMduID INTEGER NOT NULL DEFAULT 0,
    TypeID INTEGER NOT NULL DEFAULT 0,
    SessionEnd INTEGER NOT NULL DEFAULT 0,
    MduID INTEGER NOT NULL DEFAULT 0,
    ItemID INTEGER NOT NULL DEFAULT 0,
    OperMemo TEXT NOT NULL DEFAULT '',
    Extr TEXT NOT NULL DEFAULT '',
    UserIP TEXT NOT NULL DEFAULT '',
    UserSession TEXT NOT NULL DEFAULT ''
);
-- stamps of a module's records, and the first log row of a record (numbering)
CREATE INDEX IX_OPERLOG_ITEM ON TB_OPERLOG (MduID, ItemID, TypeID);
-- a user's logins (logout everywhere)
CREATE INDEX IX_OPERLOG_USER ON TB_OPERLOG (UserMduID, UserID, TypeID);
-- open web logins of a session
CREATE INDEX IX_OPERLOG_SESSION ON TB_OPERLOG (UserSession, SessionEnd);
-- the log module lists by time
CREATE INDEX IX_OPERLOG_TIME ON TB_OPERLOG (OperTime);
-- a module's find history, newest first
CREATE INDEX IX_OPERLOG_FIND ON TB_OPERLOG (MduID, TypeID, OperTime);

-- Photos of students and teachers (MduID and PersonID of the owner) and logos (0 and 0).
CREATE TABLE TB_PHOTO (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    MduID INTEGER NOT NULL DEFAULT 0,
    PersonID INTEGER NOT NULL DEFAULT 0,
    Photo BLOB,
    RecordDate REAL NOT NULL DEFAULT 0,
    DispOrder INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX IX_PHOTO_PERSON ON TB_PHOTO (MduID, PersonID);

-- Phone numbers students and teachers log in with.
CREATE TABLE TB_ACCOUNT (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    MduID INTEGER NOT NULL DEFAULT 0,
    PersonID INTEGER NOT NULL DEFAULT 0,
    Content TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
    Relation TEXT NOT NULL DEFAULT ''
);
CREATE INDEX IX_ACCOUNT_PERSON ON TB_ACCOUNT (MduID, PersonID);
CREATE INDEX IX_ACCOUNT_CONTENT ON TB_ACCOUNT (Content);

-- Saved query schemes (MduID 323) and column schemes (MduID 324) of the modules (FitMduID).
CREATE TABLE TB_PROJECT (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    MduID INTEGER NOT NULL DEFAULT 0,
    FitMduID INTEGER NOT NULL DEFAULT 0,
    PrjName TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
    DispOnTop INTEGER NOT NULL DEFAULT 1,
    SetupData TEXT NOT NULL DEFAULT '',
    RecordMemo TEXT NOT NULL DEFAULT ''
);
CREATE INDEX IX_PROJECT_MODULE ON TB_PROJECT (MduID, FitMduID);

-- Teachers and students: the columns their logins and passwords use (an empty password is
-- the module's default password).
CREATE TABLE TB_TEACHER (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    RealName TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
    UserPassword TEXT NOT NULL DEFAULT '',
    RightRole INTEGER NOT NULL DEFAULT 0,
    RightData TEXT NOT NULL DEFAULT '',
    Petname TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
    Sex INTEGER NOT NULL DEFAULT 0,
    Nation TEXT NOT NULL DEFAULT '',
    Birthday REAL NOT NULL DEFAULT 0,
    BirthApprox INTEGER NOT NULL DEFAULT 0,
    IDCard TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
    Political TEXT NOT NULL DEFAULT '',
    AreaAddr TEXT NOT NULL DEFAULT '',
    ExactAddr TEXT NOT NULL DEFAULT '',
    IsEnabled INTEGER NOT NULL DEFAULT 1,
    RecordMemo TEXT NOT NULL DEFAULT ''
);
CREATE TABLE TB_STUDENT (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    RealName TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
    UserPassword TEXT NOT NULL DEFAULT '',
    Petname TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
    Sex INTEGER NOT NULL DEFAULT 0,
    Nation TEXT NOT NULL DEFAULT '',
    Birthday REAL NOT NULL DEFAULT 0,
    BirthApprox INTEGER NOT NULL DEFAULT 0,
    IDCard TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
    Refereer TEXT NOT NULL DEFAULT '',
    AreaAddr TEXT NOT NULL DEFAULT '',
    ExactAddr TEXT NOT NULL DEFAULT '',
    IsEnabled INTEGER NOT NULL DEFAULT 1,
    RecordMemo TEXT NOT NULL DEFAULT '',
    -- name and pet name together: two students may not share both
    FullName TEXT GENERATED ALWAYS AS (RealName || Petname) VIRTUAL
);

-- Courses the school teaches.
CREATE TABLE TB_COURSE (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    RecordName TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
    GroupName TEXT NOT NULL DEFAULT '',
    IsEnabled INTEGER NOT NULL DEFAULT 1,
    RecordMemo TEXT NOT NULL DEFAULT ''
);

-- Lesson packages: sale period, billing kind (ClassType), scheduling kind (FixedDate),
-- validity or course period, lessons and unit price.
CREATE TABLE TB_CHARGE (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    RecordName TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
    CheckBgn REAL NOT NULL DEFAULT 0,
    CheckEnd REAL NOT NULL DEFAULT 0,
    ClassType INTEGER NOT NULL DEFAULT 0,
    FixedDate INTEGER NOT NULL DEFAULT 0,
    ValidDays INTEGER NOT NULL DEFAULT 0,
    UsefulBgn REAL NOT NULL DEFAULT 0,
    UsefulEnd REAL NOT NULL DEFAULT 0,
    LessonNum INTEGER NOT NULL DEFAULT 0,
    UnitPrice REAL NOT NULL DEFAULT 0,
    RecordMemo TEXT NOT NULL DEFAULT ''
);

-- The courses of each package.
CREATE TABLE TB_CHARGE_COURSE (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    ChargeID INTEGER NOT NULL DEFAULT 0,
    CourseID INTEGER NOT NULL DEFAULT 0
);
-- a package's courses (reading lines, the package statistics) and a course's packages
CREATE INDEX IX_CHARGE_COURSE_CHARGE ON TB_CHARGE_COURSE (ChargeID);
CREATE INDEX IX_CHARGE_COURSE_COURSE ON TB_CHARGE_COURSE (CourseID);

-- Enrolment receipts: a student bought a package; only the stored columns, every figure is
-- computed when read.
CREATE TABLE TB_RECEIPT (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    KeyName TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
    RecordMemo TEXT NOT NULL DEFAULT '',
    StudentID INTEGER NOT NULL DEFAULT 0,
    PayDate REAL NOT NULL DEFAULT 0,
    Payer TEXT NOT NULL DEFAULT '',
    PayType TEXT NOT NULL DEFAULT '',
    PayNum INTEGER NOT NULL DEFAULT 1,
    AdjDcntVal INTEGER NOT NULL DEFAULT 100,
    AdjDcntMemo TEXT NOT NULL DEFAULT '',
    AdjPriceVal REAL NOT NULL DEFAULT 0,
    AdjPriceMemo TEXT NOT NULL DEFAULT '',
    AdjLsnVal INTEGER NOT NULL DEFAULT 0,
    AdjLsnMemo TEXT NOT NULL DEFAULT '',
    AdjGiftVal REAL NOT NULL DEFAULT 0,
    AdjGiftMemo TEXT NOT NULL DEFAULT '',
    AdjBgnVal REAL NOT NULL DEFAULT 0,
    AdjBgnMemo TEXT NOT NULL DEFAULT '',
    AdjValidVal INTEGER NOT NULL DEFAULT 0,
    AdjValidMemo TEXT NOT NULL DEFAULT '',
    ChargeID INTEGER NOT NULL DEFAULT 0
);
-- a package's receipts (package and course statistics), a student's receipts
CREATE INDEX IX_RECEIPT_CHARGE ON TB_RECEIPT (ChargeID);
CREATE INDEX IX_RECEIPT_STUDENT ON TB_RECEIPT (StudentID);

-- Later alterations and refunds of a receipt.
CREATE TABLE TB_RECEIPT_ALTER (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    ReceiptID INTEGER NOT NULL DEFAULT 0,
    RecordDate REAL NOT NULL DEFAULT 0,
    AlterType INTEGER NOT NULL DEFAULT 0,
    AlterPrice REAL NOT NULL DEFAULT 0,
    AlterLesson INTEGER NOT NULL DEFAULT 0,
    AlterValid INTEGER NOT NULL DEFAULT 0,
    Insider TEXT NOT NULL DEFAULT '',
    RecordMemo TEXT NOT NULL DEFAULT ''
);
CREATE INDEX IX_RECEIPT_ALTER_RECEIPT ON TB_RECEIPT_ALTER (ReceiptID);

-- duplicate names (titles, merging, login by name) and login by identity card
CREATE INDEX IX_STUDENT_NAME ON TB_STUDENT (RealName);
CREATE INDEX IX_STUDENT_IDCARD ON TB_STUDENT (IDCard);

-- A student's school-year lines: grade, school and class as registered on DateBgn.
CREATE TABLE TB_STUDENT_RESUME (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    StudentID INTEGER NOT NULL DEFAULT 0,
    DateBgn REAL NOT NULL DEFAULT 0,
    Stage INTEGER NOT NULL DEFAULT 0,
    Unit TEXT NOT NULL DEFAULT '',
    Department TEXT NOT NULL DEFAULT ''
);
CREATE INDEX IX_STUDENT_RESUME_STUDENT ON TB_STUDENT_RESUME (StudentID);

CREATE INDEX IX_TEACHER_NAME ON TB_TEACHER (RealName);
CREATE INDEX IX_TEACHER_IDCARD ON TB_TEACHER (IDCard);

-- A teacher's résumé: education lines (stages 0-6) and employment lines (7 full-time, 8
-- part-time; an empty Unit is employment at this school, DateEnd 0 still employed).
CREATE TABLE TB_TEACHER_RESUME (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    TeacherID INTEGER NOT NULL DEFAULT 0,
    DateBgn REAL NOT NULL DEFAULT 0,
    DateEnd REAL NOT NULL DEFAULT 0,
    Stage INTEGER NOT NULL DEFAULT 7,
    Unit TEXT NOT NULL DEFAULT '',
    Department TEXT NOT NULL DEFAULT ''
);
CREATE INDEX IX_TEACHER_RESUME_TEACHER ON TB_TEACHER_RESUME (TeacherID);

-- A teacher's pay standards, each from the first day of its month on.
CREATE TABLE TB_TEACHER_PAY (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    TeacherID INTEGER NOT NULL DEFAULT 0,
    DateBgn REAL NOT NULL DEFAULT 0,
    MonthlyPay REAL NOT NULL DEFAULT 0,
    FullWork REAL NOT NULL DEFAULT 0,
    PerLate REAL NOT NULL DEFAULT 0,
    PerLeave REAL NOT NULL DEFAULT 0,
    PerCut REAL NOT NULL DEFAULT 0,
    PerStudent REAL NOT NULL DEFAULT 0,
    PerUnit REAL NOT NULL DEFAULT 0,
    PerEduRcd REAL NOT NULL DEFAULT 0,
    PerMin REAL NOT NULL DEFAULT 0,
    RecordMemo TEXT NOT NULL DEFAULT ''
);
CREATE INDEX IX_TEACHER_PAY_TEACHER ON TB_TEACHER_PAY (TeacherID);
-- General receipts: payments for goods and services other than lessons, and their item lines.
CREATE TABLE TB_COLLECT (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    KeyName TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
    PayDate REAL NOT NULL DEFAULT 0,
    Payer TEXT NOT NULL DEFAULT '',
    PayType TEXT NOT NULL DEFAULT '',
    RecordMemo TEXT NOT NULL DEFAULT ''
);
CREATE TABLE TB_COLLECT_ITEM (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    CollectID INTEGER NOT NULL DEFAULT 0,
    Content TEXT NOT NULL DEFAULT '',
    UnitPrice REAL NOT NULL DEFAULT 0,
    PayNum INTEGER NOT NULL DEFAULT 1,
    Unit TEXT NOT NULL DEFAULT ''
);
-- a receipt's lines (reading, saving, removing stale lines)
CREATE INDEX IX_COLLECT_ITEM_COLLECT ON TB_COLLECT_ITEM (CollectID);
-- Timetables and their student lines: the receipt view counts a student's current lines.
CREATE TABLE TB_EDUSCH (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    CourseID INTEGER NOT NULL DEFAULT 0,
    ClassForm INTEGER NOT NULL DEFAULT 0,
    DateBgn REAL NOT NULL DEFAULT 0,
    DateEnd REAL NOT NULL DEFAULT 0,
    TimeSpan INTEGER NOT NULL DEFAULT 0,
    EduLocation TEXT NOT NULL DEFAULT '',
    RecordMemo TEXT NOT NULL DEFAULT ''
);
CREATE TABLE TB_EDUSCH_STUDENT (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    EduSchID INTEGER NOT NULL DEFAULT 0,
    StudentID INTEGER NOT NULL DEFAULT 0,
    EduBgn REAL NOT NULL DEFAULT 0,
    EduEnd REAL NOT NULL DEFAULT 0,
    TimeSpan INTEGER NOT NULL DEFAULT 0,
    RecordMemo TEXT NOT NULL DEFAULT ''
);
CREATE INDEX IX_EDUSCH_STUDENT_EDUSCH ON TB_EDUSCH_STUDENT (EduSchID);
-- the students of timetables, as the class-record query asks for them
CREATE INDEX IX_EDUSCH_STUDENT_LINE ON TB_EDUSCH_STUDENT (EduSchID, StudentID);

-- A timetable's teachers, each with its own period inside the timetable's (0 = as the timetable).
CREATE TABLE TB_EDUSCH_TEACHER (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    EduSchID INTEGER NOT NULL DEFAULT 0,
    TeacherID INTEGER NOT NULL DEFAULT 0,
    EduBgn REAL NOT NULL DEFAULT 0,
    EduEnd REAL NOT NULL DEFAULT 0,
    RecordMemo TEXT NOT NULL DEFAULT ''
);
CREATE INDEX IX_EDUSCH_TEACHER_EDUSCH ON TB_EDUSCH_TEACHER (EduSchID);

-- Class records and their student lines: a line with a consuming attendance names the
-- receipt it consumes a lesson of.
CREATE TABLE TB_EDURCD (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    ClassDate REAL NOT NULL DEFAULT 0,
    CourseID INTEGER NOT NULL DEFAULT 0,
    ClassForm INTEGER NOT NULL DEFAULT 0,
    TimeSpan INTEGER NOT NULL DEFAULT 0,
    EduSchID INTEGER NOT NULL DEFAULT 0,
    EduLocation TEXT NOT NULL DEFAULT '',
    ClassStatus INTEGER NOT NULL DEFAULT 0,
    RecordMemo TEXT NOT NULL DEFAULT ''
);
-- a period of class records, and the stored ones of a timetable
CREATE INDEX IX_EDURCD_DATE ON TB_EDURCD (ClassDate, EduSchID);
CREATE TABLE TB_EDURCD_STUDENT (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    EduRcdID INTEGER NOT NULL DEFAULT 0,
    StudentID INTEGER NOT NULL DEFAULT 0,
    SchSubID INTEGER NOT NULL DEFAULT 0,
    TimeSpan INTEGER NOT NULL DEFAULT 0,
    LessonType INTEGER NOT NULL DEFAULT 0,
    Attence INTEGER NOT NULL DEFAULT 0,
    ReceiptID INTEGER NOT NULL DEFAULT 0,
    RecordMemo TEXT NOT NULL DEFAULT ''
);
CREATE INDEX IX_EDURCD_STUDENT_EDURCD ON TB_EDURCD_STUDENT (EduRcdID);
CREATE INDEX IX_EDURCD_STUDENT_LINE ON TB_EDURCD_STUDENT (EduRcdID, StudentID, ReceiptID);
-- the lessons a receipt gave: counted per receipt by the receipt view, read back by receipt
CREATE INDEX IX_EDURCD_STUDENT_RECEIPT ON TB_EDURCD_STUDENT (ReceiptID);

-- A class record's teachers with their attendance.
CREATE TABLE TB_EDURCD_TEACHER (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    EduRcdID INTEGER NOT NULL DEFAULT 0,
    TeacherID INTEGER NOT NULL DEFAULT 0,
    LessonType INTEGER NOT NULL DEFAULT 0,
    Attence INTEGER NOT NULL DEFAULT 0,
    RecordMemo TEXT NOT NULL DEFAULT ''
);
CREATE INDEX IX_EDURCD_TEACHER_EDURCD ON TB_EDURCD_TEACHER (EduRcdID);
CREATE INDEX IX_EDURCD_TEACHER_LINE ON TB_EDURCD_TEACHER (EduRcdID, TeacherID);
-- Print templates: an RTF document per template with its paper, margins and printer.
CREATE TABLE TB_TEMPL (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    RecordName TEXT NOT NULL DEFAULT '' COLLATE NOCASE,
    MduID INTEGER NOT NULL DEFAULT 0,
    IsEnabled INTEGER NOT NULL DEFAULT 1,
    Templ BLOB,
    PrintReplace INTEGER NOT NULL DEFAULT 0,
    PagingIndex INTEGER NOT NULL DEFAULT 18,
    Printer TEXT NOT NULL DEFAULT '',
    PaperID INTEGER NOT NULL DEFAULT 194644020,
    PaperWidth REAL NOT NULL DEFAULT 210,
    PaperLength REAL NOT NULL DEFAULT 297,
    Orientation INTEGER NOT NULL DEFAULT 0,
    MarginLeft INTEGER NOT NULL DEFAULT 10,
    MarginTop INTEGER NOT NULL DEFAULT 10,
    MarginRight INTEGER NOT NULL DEFAULT 10,
    MarginBottom INTEGER NOT NULL DEFAULT 10,
    PrintCopies INTEGER NOT NULL DEFAULT 1,
    PrintDuplex INTEGER NOT NULL DEFAULT 0,
    PrintColor INTEGER NOT NULL DEFAULT 0,
    RecordMemo TEXT NOT NULL DEFAULT ''
);
CREATE INDEX IX_TEMPL_MDU ON TB_TEMPL (MduID);
