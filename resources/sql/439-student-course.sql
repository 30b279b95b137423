-- One statistics line per student and course that has a trial lesson or an enrolment
-- receipt whose package holds the course. Timetable lines, class-record lines and receipts
-- are each aggregated per (student, course) before the joins, so none multiplies another.
WITH SCH AS (
  SELECT StudentID, CourseID, MIN(LineBgn) AS SchBgn,
    CASE WHEN SUM(LineEnd = 0) > 0 THEN 0 ELSE MAX(LineEnd) END AS SchEnd,
    COUNT(*) AS SchAll,
    SUM((EduEnd = 0 OR EduEnd >= DATE()) AND (DateEnd = 0 OR DateEnd >= DATE())) AS SchCur,
    SUM(CASE WHEN LineBgn > DATE() THEN 0
             ELSE CAST(((CASE WHEN LineEnd <> 0 AND LineEnd < DATE() THEN LineEnd ELSE DATE() END) - LineBgn) / 7 + 1 AS INTEGER) END) AS schRcd
  FROM (SELECT ES.StudentID, E.CourseID, ES.EduEnd, E.DateEnd,
          CASE WHEN ES.EduBgn <> 0 THEN ES.EduBgn ELSE E.DateBgn END AS LineBgn,
          CASE WHEN ES.EduEnd <> 0 THEN ES.EduEnd ELSE E.DateEnd END AS LineEnd
        FROM TB_EDUSCH_STUDENT AS ES INNER JOIN TB_EDUSCH AS E ON E.ID = ES.EduSchID) AS SL
  GROUP BY StudentID, CourseID),
RCD AS (
  SELECT RS.StudentID, RD.CourseID,
    SUM(RS.LessonType = 1) AS dmoTimes,
    MIN(CASE WHEN RS.LessonType = 1 THEN RD.ClassDate END) AS dmoMin,
    MAX(CASE WHEN RS.LessonType = 1 THEN RD.ClassDate END) AS dmoMax,
    COUNT(*) AS rcdTimes, MIN(RD.ClassDate) AS rcdMin, MAX(RD.ClassDate) AS rcdMax,
    SUM(RS.Attence = 1) AS rcdLeave, SUM(RS.Attence = 2) AS rcdMormal, SUM(RS.Attence = 3) AS rcdLate,
    SUM(RS.Attence = 4) AS rcdAbsent, SUM(RS.Attence = 0 AND RD.ClassStatus = 1) AS rcdCancel,
    SUM(RS.SchSubID = 0 OR RD.ClassDate > DATE()) AS rcdExtra
  FROM TB_EDURCD_STUDENT AS RS INNER JOIN TB_EDURCD AS RD ON RD.ID = RS.EduRcdID
  GROUP BY RS.StudentID, RD.CourseID),
RCP AS (
  SELECT V_RECEIPT.StudentID, CC.CourseID,
    COUNT(*) AS rcpPayTimes, MIN(V_RECEIPT.PayDate) AS rcpPayMin, MAX(V_RECEIPT.PayDate) AS rcpPayMax,
    SUM(V_RECEIPT.PayEnd) AS rcpPaySum, MAX(V_RECEIPT.ValidEnd) AS rcpEndMax, MAX(V_RECEIPT.AltMax) AS rcpAltMax,
    MAX(V_RECEIPT.AltRtr) AS rcpRtrMax, SUM(V_RECEIPT.AltRtr > 0) AS rcpRtrTimes,
    SUM(V_RECEIPT.LessonEnd) AS rcpLessonAc, SUM(V_RECEIPT.CountIn) AS rcpCountIn,
    SUM(V_RECEIPT.Remained) AS rcpRemained, SUM(V_RECEIPT.LsnInvalid) AS rcpInvalid
  FROM TB_CHARGE_COURSE AS CC INNER JOIN [V_RECEIPT] ON V_RECEIPT.ChargeID = CC.ChargeID
  GROUP BY V_RECEIPT.StudentID, CC.CourseID),
PAIRS AS (
  SELECT StudentID, CourseID FROM RCD WHERE dmoTimes > 0
  UNION SELECT StudentID, CourseID FROM RCP)
SELECT * FROM (
SELECT P.StudentID, P.CourseID,
  CASE WHEN RCP.StudentID IS NULL THEN 0
       WHEN IFNULL(RCP.rcpRtrMax, 0) > 0 AND RCP.rcpRtrMax >= RCP.rcpPayMax THEN 6
       WHEN RCP.rcpRemained = 0 THEN 5
       WHEN RCP.rcpRemained < 0 THEN 4
       WHEN IFNULL(SCH.SchCur, 0) > 0 THEN 3
       WHEN RCP.rcpEndMax > 0 AND RCP.rcpEndMax < DATE() THEN 2
       ELSE 1 END AS ItemStatus,
  IFNULL(RCD.dmoMin, 0) AS dmoMin, IFNULL(RCD.dmoMax, 0) AS dmoMax, IFNULL(RCD.dmoTimes, 0) AS dmoTimes,
  IFNULL(SCH.SchBgn, 0) AS SchBgn, IFNULL(SCH.SchEnd, 0) AS SchEnd, IFNULL(SCH.SchAll, 0) AS SchAll,
  IFNULL(SCH.SchCur, 0) AS SchCur, IFNULL(SCH.schRcd, 0) AS schRcd,
  IFNULL(RCD.rcdMin, 0) AS rcdMin, IFNULL(RCD.rcdMax, 0) AS rcdMax, IFNULL(RCD.rcdTimes, 0) AS rcdTimes,
  IFNULL(RCD.rcdMormal + RCD.rcdLate + RCD.rcdAbsent, 0) AS rcdCountIn, IFNULL(RCD.rcdLeave, 0) AS rcdLeave,
  IFNULL(RCD.rcdMormal, 0) AS rcdMormal, IFNULL(RCD.rcdLate, 0) AS rcdLate, IFNULL(RCD.rcdAbsent, 0) AS rcdAbsent,
  IFNULL(RCD.rcdCancel, 0) AS rcdCancel,
  IFNULL(SCH.schRcd, 0) + IFNULL(RCD.rcdExtra, 0) - IFNULL(RCD.rcdTimes, 0) AS rcdUncert,
  IFNULL(RCP.rcpPayTimes, 0) AS rcpPayTimes, IFNULL(RCP.rcpPayMin, 0) AS rcpPayMin, IFNULL(RCP.rcpPayMax, 0) AS rcpPayMax,
  IFNULL(RCP.rcpPaySum, 0) AS rcpPaySum, IFNULL(RCP.rcpAltMax, 0) AS rcpAltMax, IFNULL(RCP.rcpRtrMax, 0) AS rcpRtrMax,
  IFNULL(RCP.rcpRtrTimes, 0) AS rcpRtrTimes, IFNULL(RCP.rcpEndMax, 0) AS rcpEndMax,
  IFNULL(RCP.rcpLessonAc, 0) AS rcpLessonAc, IFNULL(RCP.rcpCountIn, 0) AS rcpCountIn,
  IFNULL(RCP.rcpRemained, 0) AS rcpRemained, IFNULL(RCP.rcpInvalid, 0) AS rcpInvalid
FROM PAIRS AS P
LEFT JOIN SCH ON SCH.StudentID = P.StudentID AND SCH.CourseID = P.CourseID
LEFT JOIN RCD ON RCD.StudentID = P.StudentID AND RCD.CourseID = P.CourseID
LEFT JOIN RCP ON RCP.StudentID = P.StudentID AND RCP.CourseID = P.CourseID
) AS LINES
