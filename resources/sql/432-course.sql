-- Courses with the statistics of their packages, receipts, timetables and class records.
-- Every derived table is grouped per course before it is joined, so no figure is multiplied
-- by another table's rows; a receipt counts under each course of its package.
-- An open-ended package or timetable (end 0) counts as day 999999 when the latest end is
-- taken, and makes the course's end 0 (open).
-- A package closing today is neither closed (before today) nor on sale (after today).
SELECT * FROM (
    SELECT C.ID, C.RecordName, C.GroupName, C.IsEnabled, C.RecordMemo,
        CHG.chgBgn, CHG.chgEnd, CHG.chgAll, CHG.chgOld, CHG.chgCur, CHG.chgNew,
        RCP.rcpPayTimes, RCP.rcpPayMin, RCP.rcpPayMax, RCP.rcpPaySum, RCP.rcpRtrTimes, RCP.rcpLessonAc,
        RCP.rcpEndMax, RCP.rcpCountIn, RCP.rcpRemained, RCP.rcpInvalid,
        SCH.SchBgn, SCH.SchEnd, SCH.SchAll, SCH.SchCur, SCH.SchAll - SCH.SchCur AS SchOld,
        RCD.rcdAll, RCD.rcdMin, RCD.rcdMax
    FROM TB_COURSE AS C
    LEFT JOIN (
        SELECT CC.CourseID, MIN(G.CheckBgn) AS chgBgn,
            CASE WHEN MAX(CASE WHEN G.CheckEnd = 0 THEN 999999 ELSE G.CheckEnd END) = 999999 THEN 0
                 ELSE MAX(G.CheckEnd) END AS chgEnd,
            COUNT(*) AS chgAll,
            SUM(CASE WHEN G.CheckEnd > 0 AND G.CheckEnd < DATE() THEN 1 ELSE 0 END) AS chgOld,
            SUM(CASE WHEN G.CheckBgn <= DATE() AND (G.CheckEnd = 0 OR G.CheckEnd > DATE()) THEN 1 ELSE 0 END) AS chgCur,
            SUM(CASE WHEN G.CheckBgn > DATE() THEN 1 ELSE 0 END) AS chgNew
        FROM TB_CHARGE_COURSE AS CC
        INNER JOIN TB_CHARGE AS G ON G.ID = CC.ChargeID
        GROUP BY CC.CourseID
    ) AS CHG ON CHG.CourseID = C.ID
    LEFT JOIN (
        SELECT CC.CourseID, COUNT(*) AS rcpPayTimes, MIN(V_RECEIPT.PayDate) AS rcpPayMin,
            MAX(V_RECEIPT.PayDate) AS rcpPayMax, SUM(V_RECEIPT.PayEnd) AS rcpPaySum,
            MAX(V_RECEIPT.ValidEnd) AS rcpEndMax,
            SUM(CASE WHEN V_RECEIPT.AltRtr > 0 THEN 1 ELSE 0 END) AS rcpRtrTimes,
            SUM(V_RECEIPT.LessonEnd) AS rcpLessonAc, SUM(V_RECEIPT.CountIn) AS rcpCountIn,
            SUM(V_RECEIPT.Remained) AS rcpRemained, SUM(V_RECEIPT.LsnInvalid) AS rcpInvalid
        FROM TB_CHARGE_COURSE AS CC
        INNER JOIN [V_RECEIPT] ON V_RECEIPT.ChargeID = CC.ChargeID
        GROUP BY CC.CourseID
    ) AS RCP ON RCP.CourseID = C.ID
    LEFT JOIN (
        SELECT CourseID, MIN(DateBgn) AS SchBgn,
            CASE WHEN MAX(CASE WHEN DateEnd = 0 THEN 999999 ELSE DateEnd END) = 999999 THEN 0
                 ELSE MAX(DateEnd) END AS SchEnd,
            COUNT(*) AS SchAll,
            SUM(CASE WHEN DateEnd = 0 OR DateEnd >= DATE() THEN 1 ELSE 0 END) AS SchCur
        FROM TB_EDUSCH
        GROUP BY CourseID
    ) AS SCH ON SCH.CourseID = C.ID
    LEFT JOIN (
        SELECT CourseID, COUNT(*) AS rcdAll, MIN(ClassDate) AS rcdMin, MAX(ClassDate) AS rcdMax
        FROM TB_EDURCD
        GROUP BY CourseID
    ) AS RCD ON RCD.CourseID = C.ID
) AS COURSES
