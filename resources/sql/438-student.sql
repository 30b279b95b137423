-- The student list: every column of TB_STUDENT with the name repeats, the predicted grade,
-- WeChat bindings, operation range, latest activity (whole day + kind/100) and its kind,
-- the receipt totals (each receipt once, whatever its package covers), and whether
-- timetable or class-record lines name the student. Each source is aggregated
-- per student before it is joined, so no join multiplies another's rows.
SELECT * FROM (
SELECT T.*, CAST(ROUND((T.LastActive - CAST(T.LastActive AS INTEGER)) * 100) AS INTEGER) AS ActiveType
FROM (
  SELECT S.*,
    CASE WHEN R.RptCount > 0 AND S.Petname <> '' THEN S.RealName || ' (' || S.Petname || ')' ELSE S.RealName END AS ItemTitle,
    R.RptCount AS RptCount,
    MIN(21, IFNULL(G.nGrade, -3)
      + (CAST(strftime('%Y', DATE() + 2415018.5) AS INTEGER) - (CAST(strftime('%m', DATE() + 2415018.5) AS INTEGER) < 9))
      - (CAST(strftime('%Y', MAX(IFNULL(G.tGrade, S.Birthday), S.Birthday) + 2415018.5) AS INTEGER)
         - (CAST(strftime('%m', MAX(IFNULL(G.tGrade, S.Birthday), S.Birthday) + 2415018.5) AS INTEGER) < 9))) AS CurGrade,
    IFNULL(RV.PayTimes, 0) AS PayTimes, IFNULL(RV.PaySum, 0) AS PaySum, IFNULL(RV.RtrTimes, 0) AS RtrTimes,
    IFNULL(RV.LessonAc, 0) AS LessonAc, IFNULL(RV.LessonCountIn, 0) AS LessonCountIn,
    IFNULL(RV.LessonInvalid, 0) AS LessonInvalid, IFNULL(RV.LessonRemained, 0) AS LessonRemained,
    IFNULL(W.WxBinds, 0) AS WxBinds,
    IFNULL(L.OperMin, 0) AS OperMin,
    IFNULL(L.OperMax, 0) AS OperMax,
    MAX(IFNULL(AD.Day + 0.01, 0), IFNULL(RP.Day + 0.02, 0), IFNULL(RA.Day + 0.03, 0),
        IFNULL(CL.Lesson + 0.04, 0), IFNULL(CL.Trial + 0.05, 0)) AS LastActive,
    (EXISTS (SELECT 1 FROM TB_EDUSCH_STUDENT AS ES WHERE ES.StudentID = S.ID)
     OR EXISTS (SELECT 1 FROM TB_EDURCD_STUDENT AS RS WHERE RS.StudentID = S.ID)) AS LessonLines
  FROM TB_STUDENT AS S
  INNER JOIN (SELECT RealName, COUNT(*) - 1 AS RptCount FROM TB_STUDENT GROUP BY RealName) AS R ON R.RealName = S.RealName
  LEFT JOIN (SELECT StudentID, MAX(Stage) AS nGrade, MAX(DateBgn) AS tGrade FROM TB_STUDENT_RESUME GROUP BY StudentID) AS G
    ON G.StudentID = S.ID
  LEFT JOIN (SELECT StudentID, COUNT(*) AS PayTimes, SUM(PayEnd) AS PaySum, SUM(AltRtr > 0) AS RtrTimes,
               SUM(LessonEnd) AS LessonAc, SUM(CountIn) AS LessonCountIn, SUM(LsnInvalid) AS LessonInvalid,
               SUM(Remained) AS LessonRemained
             FROM [V_RECEIPT] GROUP BY StudentID) AS RV ON RV.StudentID = S.ID
  LEFT JOIN (SELECT UserID, COUNT(*) AS WxBinds FROM TB_OPERLOG
             WHERE UserMduID = 'MDU_STUDENT' AND TypeID = 'OPER_LOGIN' AND SessionEnd = 0 AND LEFT(UserSession, 3) = 'wx_'
             GROUP BY UserID) AS W ON W.UserID = S.ID
  LEFT JOIN (SELECT UserID, MIN(OperTime) AS OperMin, MAX(OperTime) AS OperMax FROM TB_OPERLOG
             WHERE UserMduID = 'MDU_STUDENT' GROUP BY UserID) AS L ON L.UserID = S.ID
  LEFT JOIN (SELECT ItemID, MAX(CAST(OperTime AS INTEGER)) AS Day FROM TB_OPERLOG
             WHERE MduID = 'MDU_STUDENT' AND TypeID = 'OPER_ADD' GROUP BY ItemID) AS AD ON AD.ItemID = S.ID
  LEFT JOIN (SELECT StudentID, MAX(CAST(PayDate AS INTEGER)) AS Day FROM TB_RECEIPT GROUP BY StudentID) AS RP
    ON RP.StudentID = S.ID
  LEFT JOIN (SELECT RC.StudentID, MAX(CAST(RT.RecordDate AS INTEGER)) AS Day
             FROM TB_RECEIPT_ALTER AS RT INNER JOIN TB_RECEIPT AS RC ON RC.ID = RT.ReceiptID GROUP BY RC.StudentID) AS RA
    ON RA.StudentID = S.ID
  LEFT JOIN (SELECT RS.StudentID,
               MAX(CASE WHEN RS.LessonType = 0 THEN CAST(RD.ClassDate AS INTEGER) END) AS Lesson,
               MAX(CASE WHEN RS.LessonType = 1 THEN CAST(RD.ClassDate AS INTEGER) END) AS Trial
             FROM TB_EDURCD_STUDENT AS RS INNER JOIN TB_EDURCD AS RD ON RD.ID = RS.EduRcdID GROUP BY RS.StudentID) AS CL
    ON CL.StudentID = S.ID
) AS T
) AS STUDENTS
