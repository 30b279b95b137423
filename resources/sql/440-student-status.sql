-- (StudentID, CourseID, ItemStatus) per course line of a student, by the same rule as the
-- statistics lines; never a NULL StudentID, since callers use it in NOT IN.
WITH SCH AS (
  SELECT ES.StudentID, E.CourseID,
    SUM((ES.EduEnd = 0 OR ES.EduEnd >= DATE()) AND (E.DateEnd = 0 OR E.DateEnd >= DATE())) AS SchCur
  FROM TB_EDUSCH_STUDENT AS ES INNER JOIN TB_EDUSCH AS E ON E.ID = ES.EduSchID
  GROUP BY ES.StudentID, E.CourseID),
RCP AS (
  SELECT V_RECEIPT.StudentID, CC.CourseID, MAX(V_RECEIPT.PayDate) AS rcpPayMax, MAX(V_RECEIPT.ValidEnd) AS rcpEndMax,
    MAX(V_RECEIPT.AltRtr) AS rcpRtrMax, SUM(V_RECEIPT.Remained) AS rcpRemained
  FROM TB_CHARGE_COURSE AS CC INNER JOIN [V_RECEIPT] ON V_RECEIPT.ChargeID = CC.ChargeID
  GROUP BY V_RECEIPT.StudentID, CC.CourseID),
PAIRS AS (
  SELECT DISTINCT RS.StudentID, RD.CourseID
  FROM TB_EDURCD_STUDENT AS RS INNER JOIN TB_EDURCD AS RD ON RD.ID = RS.EduRcdID WHERE RS.LessonType = 1
  UNION SELECT StudentID, CourseID FROM RCP)
SELECT P.StudentID, P.CourseID,
  CASE WHEN RCP.StudentID IS NULL THEN 0
       WHEN IFNULL(RCP.rcpRtrMax, 0) > 0 AND RCP.rcpRtrMax >= RCP.rcpPayMax THEN 6
       WHEN RCP.rcpRemained = 0 THEN 5
       WHEN RCP.rcpRemained < 0 THEN 4
       WHEN IFNULL(SCH.SchCur, 0) > 0 THEN 3
       WHEN RCP.rcpEndMax > 0 AND RCP.rcpEndMax < DATE() THEN 2
       ELSE 1 END AS ItemStatus
FROM PAIRS AS P
LEFT JOIN SCH ON SCH.StudentID = P.StudentID AND SCH.CourseID = P.CourseID
LEFT JOIN RCP ON RCP.StudentID = P.StudentID AND RCP.CourseID = P.CourseID
WHERE P.StudentID IS NOT NULL
