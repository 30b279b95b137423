-- Courses with the statistics of their packages and receipts. Every derived table is
-- grouped per course before it is joined, so no figure is multiplied by another table's
-- rows; a receipt counts under each course of its package.
-- An open-ended package (CheckEnd 0) counts as day 999999 when the latest closing day is
-- taken, and makes the course's closing day 0 (open).
-- A package closing today is neither closed (before today) nor on sale (after today).
-- The timetable and class-record figures, and the receipt figures that need lesson
-- consumption (validity end, consumed, remaining and invalid lessons), are NULL until
-- those tables are part of the schema.
SELECT * FROM (
    SELECT C.ID, C.RecordName, C.GroupName, C.IsEnabled, C.RecordMemo,
        CHG.chgBgn, CHG.chgEnd, CHG.chgAll, CHG.chgOld, CHG.chgCur, CHG.chgNew,
        RCP.rcpPayTimes, RCP.rcpPayMin, RCP.rcpPayMax, RCP.rcpPaySum, RCP.rcpRtrTimes, RCP.rcpLessonAc,
        NULL AS rcpEndMax, NULL AS rcpCountIn, NULL AS rcpRemained, NULL AS rcpInvalid,
        NULL AS SchBgn, NULL AS SchEnd, NULL AS SchAll, NULL AS SchCur, NULL AS SchOld,
        NULL AS rcdAll, NULL AS rcdMin, NULL AS rcdMax
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
        SELECT CC.CourseID, COUNT(*) AS rcpPayTimes, MIN(RV.PayDate) AS rcpPayMin, MAX(RV.PayDate) AS rcpPayMax,
            SUM(RV.PayEnd) AS rcpPaySum, SUM(CASE WHEN RV.AltRtr > 0 THEN 1 ELSE 0 END) AS rcpRtrTimes,
            NULL AS rcpLessonAc
        FROM TB_CHARGE_COURSE AS CC
        INNER JOIN (
            SELECT R.ID, R.ChargeID, R.PayDate,
                R.PayNum * G.LessonNum * G.UnitPrice * R.AdjDcntVal / 100.0 + R.AdjPriceVal + IFNULL(ALT.AltPrice, 0) AS PayEnd,
                R.PayNum * G.LessonNum + R.AdjLsnVal + IFNULL(ALT.AltLesson, 0) AS LessonEnd,
                IFNULL(ALT.AltRtr, 0) AS AltRtr
            FROM TB_RECEIPT AS R
            INNER JOIN TB_CHARGE AS G ON G.ID = R.ChargeID
            LEFT JOIN (
                SELECT ReceiptID, SUM(AlterPrice) AS AltPrice, SUM(AlterLesson) AS AltLesson,
                    MAX(CASE WHEN AlterType <> 0 THEN RecordDate ELSE 0 END) AS AltRtr
                FROM TB_RECEIPT_ALTER GROUP BY ReceiptID
            ) AS ALT ON ALT.ReceiptID = R.ID
        ) AS RV ON RV.ChargeID = CC.ChargeID
        GROUP BY CC.CourseID
    ) AS RCP ON RCP.CourseID = C.ID
) AS COURSES
