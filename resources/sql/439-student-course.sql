-- One statistics line per student and course that has a trial lesson or an enrolment
-- receipt whose package holds the course. Class-record lines and timetable lines are
-- aggregated per (student, course) in their own branch, receipts come one row per receipt
-- and course; the branches are stacked and combined per (student, course) by window sums,
-- so no join multiplies another source's rows.
-- The list reads these lines a few thousand students at a time with "StudentID IN (...)"
-- appended at the end. SQLite moves that condition through the window query (StudentID is
-- a partition column) and the stack into every branch, where the student indexes find the
-- rows: each read costs what its students have, not what the whole school has. (A GROUP BY
-- over the stack would stop the condition there and aggregate the whole school per read.)
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
  SELECT DISTINCT StudentID, CourseID,
    IFNULL(SUM(dmoTimes) OVER W, 0) AS dmoTimes,
    IFNULL(MIN(dmoMin) OVER W, 0) AS dmoMin,
    IFNULL(MAX(dmoMax) OVER W, 0) AS dmoMax,
    IFNULL(SUM(rcdTimes) OVER W, 0) AS rcdTimes,
    IFNULL(MIN(rcdMin) OVER W, 0) AS rcdMin,
    IFNULL(MAX(rcdMax) OVER W, 0) AS rcdMax,
    IFNULL(SUM(rcdLeave) OVER W, 0) AS rcdLeave,
    IFNULL(SUM(rcdMormal) OVER W, 0) AS rcdMormal,
    IFNULL(SUM(rcdLate) OVER W, 0) AS rcdLate,
    IFNULL(SUM(rcdAbsent) OVER W, 0) AS rcdAbsent,
    IFNULL(SUM(rcdCountIn) OVER W, 0) AS rcdCountIn,
    IFNULL(SUM(rcdCancel) OVER W, 0) AS rcdCancel,
    IFNULL(SUM(rcdExtra) OVER W, 0) AS rcdExtra,
    IFNULL(MIN(SchBgn) OVER W, 0) AS SchBgn,
    -- an open timetable line leaves the range open
    CASE WHEN SUM(SchOpen) OVER W > 0 THEN 0 ELSE IFNULL(MAX(SchEnd) OVER W, 0) END AS SchEnd,
    IFNULL(SUM(SchAll) OVER W, 0) AS SchAll,
    IFNULL(SUM(SchCur) OVER W, 0) AS SchCur,
    IFNULL(SUM(schRcd) OVER W, 0) AS schRcd,
    IFNULL(SUM(rcpPayTimes) OVER W, 0) AS rcpPayTimes,
    IFNULL(MIN(rcpPayMin) OVER W, 0) AS rcpPayMin,
    IFNULL(MAX(rcpPayMax) OVER W, 0) AS rcpPayMax,
    IFNULL(SUM(rcpPaySum) OVER W, 0) AS rcpPaySum,
    IFNULL(MAX(rcpEndMax) OVER W, 0) AS rcpEndMax,
    IFNULL(MAX(rcpAltMax) OVER W, 0) AS rcpAltMax,
    IFNULL(MAX(rcpRtrMax) OVER W, 0) AS rcpRtrMax,
    IFNULL(SUM(rcpRtrTimes) OVER W, 0) AS rcpRtrTimes,
    IFNULL(SUM(rcpLessonAc) OVER W, 0) AS rcpLessonAc,
    IFNULL(SUM(rcpCountIn) OVER W, 0) AS rcpCountIn,
    IFNULL(SUM(rcpRemained) OVER W, 0) AS rcpRemained,
    IFNULL(SUM(rcpInvalid) OVER W, 0) AS rcpInvalid
  FROM (
    SELECT RS.StudentID, RD.CourseID,
      SUM(RS.LessonType = 1) AS dmoTimes,
      MIN(CASE WHEN RS.LessonType = 1 THEN RD.ClassDate END) AS dmoMin,
      MAX(CASE WHEN RS.LessonType = 1 THEN RD.ClassDate END) AS dmoMax,
      COUNT(*) AS rcdTimes, MIN(RD.ClassDate) AS rcdMin, MAX(RD.ClassDate) AS rcdMax,
      SUM(RS.Attence = 1) AS rcdLeave, SUM(RS.Attence = 2) AS rcdMormal, SUM(RS.Attence = 3) AS rcdLate,
      SUM(RS.Attence = 4) AS rcdAbsent, SUM(RS.Attence IN (2, 3, 4)) AS rcdCountIn,
      SUM(RS.Attence = 0 AND RD.ClassStatus = 1) AS rcdCancel,
      SUM(RS.SchSubID = 0 OR RD.ClassDate > DATE()) AS rcdExtra,
      NULL AS SchBgn, NULL AS SchOpen, NULL AS SchEnd, NULL AS SchAll, NULL AS SchCur, NULL AS schRcd,
      NULL AS rcpPayTimes, NULL AS rcpPayMin, NULL AS rcpPayMax, NULL AS rcpPaySum, NULL AS rcpEndMax,
      NULL AS rcpAltMax, NULL AS rcpRtrMax, NULL AS rcpRtrTimes, NULL AS rcpLessonAc, NULL AS rcpCountIn,
      NULL AS rcpRemained, NULL AS rcpInvalid
    FROM TB_EDURCD_STUDENT AS RS INNER JOIN TB_EDURCD AS RD ON RD.ID = RS.EduRcdID
    GROUP BY RS.StudentID, RD.CourseID
    UNION ALL
    SELECT StudentID, CourseID, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
      MIN(LineBgn), SUM(LineEnd = 0), MAX(LineEnd), COUNT(*),
      SUM((EduEnd = 0 OR EduEnd >= DATE()) AND (DateEnd = 0 OR DateEnd >= DATE())),
      -- lessons the line has had so far: one a week from its first day to today or its end
      SUM(CASE WHEN LineBgn > DATE() THEN 0
               ELSE CAST(((CASE WHEN LineEnd <> 0 AND LineEnd < DATE() THEN LineEnd ELSE DATE() END) - LineBgn) / 7 + 1
                         AS INTEGER) END),
      NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL
    FROM (SELECT ES.StudentID, E.CourseID, ES.EduEnd, E.DateEnd,
            CASE WHEN ES.EduBgn <> 0 THEN ES.EduBgn ELSE E.DateBgn END AS LineBgn,
            CASE WHEN ES.EduEnd <> 0 THEN ES.EduEnd ELSE E.DateEnd END AS LineEnd
          FROM TB_EDUSCH_STUDENT AS ES INNER JOIN TB_EDUSCH AS E ON E.ID = ES.EduSchID) AS SL
    GROUP BY StudentID, CourseID
    UNION ALL
    -- not grouped: the condition then also reaches into the receipt view
    SELECT V_RECEIPT.StudentID, CC.CourseID, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
      NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
      1, V_RECEIPT.PayDate, V_RECEIPT.PayDate, V_RECEIPT.PayEnd, V_RECEIPT.ValidEnd, V_RECEIPT.AltMax,
      V_RECEIPT.AltRtr, V_RECEIPT.AltRtr > 0, V_RECEIPT.LessonEnd, V_RECEIPT.CountIn, V_RECEIPT.Remained,
      V_RECEIPT.LsnInvalid
    FROM TB_CHARGE_COURSE AS CC INNER JOIN [V_RECEIPT] ON V_RECEIPT.ChargeID = CC.ChargeID
  ) AS SRC
  WINDOW W AS (PARTITION BY StudentID, CourseID)
) AS A
WHERE A.dmoTimes > 0 OR A.rcpPayTimes > 0
) AS LINES
