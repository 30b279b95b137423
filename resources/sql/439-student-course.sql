-- One statistics line per student and course that has a trial lesson or an enrolment
-- receipt whose package holds the course. Class-record lines (K 1), timetable lines (K 2)
-- and receipts (K 3) are stacked and aggregated once per (student, course): no join
-- multiplies another source's rows, and a condition on StudentID reaches every source, so
-- reading the lines of some students does not aggregate the whole school.
SELECT * FROM (
SELECT A.*,
  CASE WHEN A.rcpPayTimes = 0 THEN 0
       WHEN A.rcpRtrMax > 0 AND A.rcpRtrMax >= A.rcpPayMax THEN 6
       WHEN A.rcpRemained = 0 THEN 5
       WHEN A.rcpRemained < 0 THEN 4
       WHEN A.SchCur > 0 THEN 3
       WHEN A.rcpEndMax > 0 AND A.rcpEndMax < DATE() THEN 2
       ELSE 1 END AS ItemStatus,
  A.schRcd + A.rcdExtra - A.rcdTimes AS rcdUncert
FROM (
  SELECT StudentID, CourseID,
    SUM(CASE WHEN K = 1 AND LT = 1 THEN 1 ELSE 0 END) AS dmoTimes,
    IFNULL(MIN(CASE WHEN K = 1 AND LT = 1 THEN CD END), 0) AS dmoMin,
    IFNULL(MAX(CASE WHEN K = 1 AND LT = 1 THEN CD END), 0) AS dmoMax,
    SUM(CASE WHEN K = 1 THEN 1 ELSE 0 END) AS rcdTimes,
    IFNULL(MIN(CD), 0) AS rcdMin, IFNULL(MAX(CD), 0) AS rcdMax,
    SUM(CASE WHEN K = 1 AND AT = 1 THEN 1 ELSE 0 END) AS rcdLeave,
    SUM(CASE WHEN K = 1 AND AT = 2 THEN 1 ELSE 0 END) AS rcdMormal,
    SUM(CASE WHEN K = 1 AND AT = 3 THEN 1 ELSE 0 END) AS rcdLate,
    SUM(CASE WHEN K = 1 AND AT = 4 THEN 1 ELSE 0 END) AS rcdAbsent,
    SUM(CASE WHEN K = 1 AND AT IN (2, 3, 4) THEN 1 ELSE 0 END) AS rcdCountIn,
    SUM(CASE WHEN K = 1 AND AT = 0 AND CS = 1 THEN 1 ELSE 0 END) AS rcdCancel,
    SUM(CASE WHEN K = 1 AND (SS = 0 OR CD > DATE()) THEN 1 ELSE 0 END) AS rcdExtra,
    IFNULL(MIN(LB), 0) AS SchBgn,
    CASE WHEN SUM(CASE WHEN K = 2 AND LE = 0 THEN 1 ELSE 0 END) > 0 THEN 0 ELSE IFNULL(MAX(LE), 0) END AS SchEnd,
    SUM(CASE WHEN K = 2 THEN 1 ELSE 0 END) AS SchAll,
    IFNULL(SUM(CUR), 0) AS SchCur,
    IFNULL(SUM(LS), 0) AS schRcd,
    SUM(CASE WHEN K = 3 THEN 1 ELSE 0 END) AS rcpPayTimes,
    IFNULL(MIN(PD), 0) AS rcpPayMin, IFNULL(MAX(PD), 0) AS rcpPayMax,
    IFNULL(SUM(PE), 0) AS rcpPaySum, IFNULL(MAX(VE), 0) AS rcpEndMax, IFNULL(MAX(AM), 0) AS rcpAltMax,
    IFNULL(MAX(AR), 0) AS rcpRtrMax, SUM(CASE WHEN K = 3 AND AR > 0 THEN 1 ELSE 0 END) AS rcpRtrTimes,
    IFNULL(SUM(LN), 0) AS rcpLessonAc, IFNULL(SUM(CI), 0) AS rcpCountIn,
    IFNULL(SUM(RM), 0) AS rcpRemained, IFNULL(SUM(LI), 0) AS rcpInvalid
  FROM (
    SELECT 1 AS K, RS.StudentID, RD.CourseID, RS.LessonType AS LT, RS.Attence AS AT, RD.ClassStatus AS CS,
      RS.SchSubID AS SS, RD.ClassDate AS CD, NULL AS LB, NULL AS LE, NULL AS CUR, NULL AS LS,
      NULL AS PD, NULL AS PE, NULL AS VE, NULL AS AM, NULL AS AR, NULL AS LN, NULL AS CI, NULL AS RM, NULL AS LI
    FROM TB_EDURCD_STUDENT AS RS INNER JOIN TB_EDURCD AS RD ON RD.ID = RS.EduRcdID
    UNION ALL
    SELECT 2, StudentID, CourseID, NULL, NULL, NULL, NULL, NULL, LineBgn, LineEnd,
      (EduEnd = 0 OR EduEnd >= DATE()) AND (DateEnd = 0 OR DateEnd >= DATE()),
      CASE WHEN LineBgn > DATE() THEN 0
           ELSE CAST(((CASE WHEN LineEnd <> 0 AND LineEnd < DATE() THEN LineEnd ELSE DATE() END) - LineBgn) / 7 + 1 AS INTEGER) END,
      NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL
    FROM (SELECT ES.StudentID, E.CourseID, ES.EduEnd, E.DateEnd,
            CASE WHEN ES.EduBgn <> 0 THEN ES.EduBgn ELSE E.DateBgn END AS LineBgn,
            CASE WHEN ES.EduEnd <> 0 THEN ES.EduEnd ELSE E.DateEnd END AS LineEnd
          FROM TB_EDUSCH_STUDENT AS ES INNER JOIN TB_EDUSCH AS E ON E.ID = ES.EduSchID) AS SL
    UNION ALL
    SELECT 3, V_RECEIPT.StudentID, CC.CourseID, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
      V_RECEIPT.PayDate, V_RECEIPT.PayEnd, V_RECEIPT.ValidEnd, V_RECEIPT.AltMax, V_RECEIPT.AltRtr,
      V_RECEIPT.LessonEnd, V_RECEIPT.CountIn, V_RECEIPT.Remained, V_RECEIPT.LsnInvalid
    FROM TB_CHARGE_COURSE AS CC INNER JOIN [V_RECEIPT] ON V_RECEIPT.ChargeID = CC.ChargeID
  ) AS SRC
  GROUP BY StudentID, CourseID
) AS A
WHERE A.dmoTimes > 0 OR A.rcpPayTimes > 0
) AS LINES
